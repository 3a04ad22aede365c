// The canvas every screen draws on. A backend (the QPainter canvas in the
// window, a recording canvas in tests) implements the few primitives below;
// every drawing operation of the program is built from them once, in
// drawing.h, so all backends draw the same pixels.
//
// Coordinates are canvas pixels, origin top-left, x to the right, y down.
// Rectangles are left, top, right, bottom with right and bottom exclusive, as
// GDI has them: a fill covers left..right-1 and top..bottom-1, and a 1-pixel
// outline runs along left, right-1, top and bottom-1.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "base/rgb.h"

namespace ui {

using Rgb = base::Rgb;

inline constexpr int kCanvasWidth = 1023;
inline constexpr int kCanvasHeight = 701;

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kPanelBeige{236, 233, 216};  // the dialog background
inline constexpr Rgb kTextDarkBlue{0, 0, 90};     // text on panels and dialog pages
inline constexpr Rgb kTitleDarkRed{120, 0, 0};    // their titles and highlighted values

class Canvas {
public:
    virtual ~Canvas() = default;

    // Solid rectangle, right and bottom exclusive.
    virtual void FillRect(int left, int top, int right, int bottom, Rgb colour) = 0;

    // 1-pixel line from (x1, y1) towards (x2, y2); the end point itself is not
    // drawn, as with MoveTo/LineTo.
    virtual void DrawLine(int x1, int y1, int x2, int y2, Rgb pen) = 0;

    // 1-pixel outline on left..right-1 x top..bottom-1 with the inside filled
    // (GDI Rectangle); no fill leaves the inside as it was.
    virtual void DrawRect(int left, int top, int right, int bottom, Rgb pen,
                          std::optional<Rgb> fill) = 0;

    // The same with corners rounded by an ellipse of the given size (GDI RoundRect).
    virtual void DrawRoundRect(int left, int top, int right, int bottom, Rgb pen,
                               std::optional<Rgb> fill, int ellipseWidth, int ellipseHeight) = 0;

    // One line of GBK text, top-left at (x, y), transparent background, in the
    // font of the size code (fonts.h: a code outside the table keeps the last
    // font), characters on the fixed-pitch grid plus the current spacing.
    virtual void DrawText(int sizeCode, int x, int y, Rgb colour, std::string_view gbkText) = 0;

    // Extra pixels between characters for later text (0 normally, -1 squeezes).
    virtual void SetCharSpacing(int pixels) = 0;

    // Keeps a copy of the whole canvas; RestoreSnapshot puts a rectangle of
    // that copy back. The chart's crosshair is drawn over the chart and erased
    // this way instead of redrawing the chart.
    virtual void SaveSnapshot() {}
    virtual void RestoreSnapshot(int left, int top, int right, int bottom) {
        (void)left, (void)top, (void)right, (void)bottom;
    }
    virtual bool HasSnapshot() const { return false; }

    // Takes what the screen shows in the rectangle into the canvas. Backends
    // that always keep the canvas in step with the screen need not do anything.
    virtual void CopyScreenToCanvas(int left, int top, int right, int bottom) {
        (void)left, (void)top, (void)right, (void)bottom;
    }
};

}  // namespace ui

// The window's canvas: a 1023 x 701 QImage painted with QPainter behind the
// drawing toolkit's Canvas interface. Lines and rectangles are set pixel by
// pixel with GDI's rules (end points left out, right and bottom exclusive),
// so the documented pixel arithmetic holds exactly.
#pragma once

#include <QFont>
#include <QImage>

#include <array>

#include "ui/canvas.h"
#include "ui/fonts.h"

namespace app {

// The scale the window's canvases draw at: BKQY_SCALE when set (1 or 2),
// otherwise 2 on a screen of twice the usual pixel density or more, else 1.
// Call with the application running.
int WindowCanvasScale();

class QtCanvas : public ui::Canvas {
public:
    // scale: screen pixels per canvas pixel (1 or 2). The image is that many
    // times larger; lines, rectangles and the text grid are scaled exactly and
    // glyphs drawn at the scaled size, so a 2x picture is crisp, not stretched.
    QtCanvas(int width = ui::kCanvasWidth, int height = ui::kCanvasHeight, int scale = 1);

    int Scale() const { return m_scale; }

    void FillRect(int left, int top, int right, int bottom, ui::Rgb colour) override;
    void DrawLine(int x1, int y1, int x2, int y2, ui::Rgb pen) override;
    void DrawRect(int left, int top, int right, int bottom, ui::Rgb pen,
                  std::optional<ui::Rgb> fill) override;
    void DrawRoundRect(int left, int top, int right, int bottom, ui::Rgb pen,
                       std::optional<ui::Rgb> fill, int ellipseWidth, int ellipseHeight) override;
    void DrawText(int sizeCode, int x, int y, ui::Rgb colour, std::string_view gbkText) override;
    void SetCharSpacing(int pixels) override { m_charSpacing = pixels; }
    void SaveSnapshot() override { m_snapshot = m_image.copy(); }
    void RestoreSnapshot(int left, int top, int right, int bottom) override;
    bool HasSnapshot() const override { return !m_snapshot.isNull(); }

    // A picture at its natural size in window pixels, top-left at (x, y).
    void DrawImage(const QImage& picture, int x, int y);
    const QImage& Image() const { return m_image; }
    QImage& Image() { return m_image; }

    // The Qt font of a size code (the family with its fallback, pixel height
    // times scale, weight).
    static QFont FontFor(const ui::FontSpec& fontSpec, int scale = 1);

private:
    // One canvas pixel: a scale x scale block of the image.
    void SetPixel(int x, int y, QRgb colour);

    int m_scale = 1;
    QImage m_image;
    QImage m_snapshot;
    ui::FontSelector m_fonts;
    int m_charSpacing = 0;
};

}  // namespace app

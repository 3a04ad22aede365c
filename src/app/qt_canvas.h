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

class QtCanvas : public ui::Canvas {
public:
    QtCanvas(int width = ui::kCanvasWidth, int height = ui::kCanvasHeight);

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

    const QImage& Image() const { return m_image; }
    QImage& Image() { return m_image; }

    // The Qt font of a size code (the family with its fallback, pixel height, weight).
    static QFont FontFor(const ui::FontSpec& fontSpec);

private:
    void SetPixel(int x, int y, QRgb colour);

    QImage m_image;
    QImage m_snapshot;
    ui::FontSelector m_fonts;
    int m_charSpacing = 0;
};

}  // namespace app

#include "app/qt_canvas.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>

#include "base/gbk.h"

namespace app {
namespace {

QRgb ToQRgb(ui::Rgb c) { return qRgb(c.r, c.g, c.b); }
QColor ToQColor(ui::Rgb c) { return QColor(c.r, c.g, c.b); }

// GDI weights run 0..1000 with 0 meaning normal; Qt's run 100..900.
int QtWeight(int gdiWeight) {
    if (gdiWeight == 0) return QFont::Normal;
    return std::clamp(gdiWeight, 100, 900);
}

}  // namespace

QtCanvas::QtCanvas(int width, int height) : m_image(width, height, QImage::Format_RGB32) {
    m_image.fill(Qt::white);
}

QFont QtCanvas::FontFor(const ui::FontSpec& fontSpec) {
    QFont font;
    font.setFamilies({QString::fromUtf8(ui::kFontFace.data(), ui::kFontFace.size()),
                      QString::fromUtf8(ui::kFallbackFontFace.data(), ui::kFallbackFontFace.size())});
    font.setPixelSize(fontSpec.pixelHeight);
    font.setWeight(static_cast<QFont::Weight>(QtWeight(fontSpec.weight)));
    font.setFixedPitch(true);
    font.setStyleHint(QFont::TypeWriter);
    // Crisp glyphs at the small sizes, as a Song face is drawn on the big terminals.
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

void QtCanvas::SetPixel(int x, int y, QRgb colour) {
    if (x < 0 || y < 0 || x >= m_image.width() || y >= m_image.height()) return;
    reinterpret_cast<QRgb*>(m_image.scanLine(y))[x] = colour;
}

void QtCanvas::FillRect(int left, int top, int right, int bottom, ui::Rgb colour) {
    const int l = std::max(left, 0), t = std::max(top, 0);
    const int r = std::min(right, m_image.width()), b = std::min(bottom, m_image.height());
    const QRgb c = ToQRgb(colour);
    for (int y = t; y < b; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(m_image.scanLine(y));
        std::fill(row + l, row + std::max(l, r), c);
    }
}

void QtCanvas::DrawLine(int x1, int y1, int x2, int y2, ui::Rgb pen) {
    // Bresenham without the end point, as LineTo draws.
    const QRgb c = ToQRgb(pen);
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx + dy, x = x1, y = y1;
    while (x != x2 || y != y2) {
        SetPixel(x, y, c);
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x += sx;
        if (e2 <= dx) err += dx, y += sy;
    }
}

void QtCanvas::DrawRect(int left, int top, int right, int bottom, ui::Rgb pen,
                        std::optional<ui::Rgb> fill) {
    if (right <= left || bottom <= top) return;
    if (fill) FillRect(left + 1, top + 1, right - 1, bottom - 1, *fill);
    FillRect(left, top, right, top + 1, pen);
    FillRect(left, bottom - 1, right, bottom, pen);
    FillRect(left, top, left + 1, bottom, pen);
    FillRect(right - 1, top, right, bottom, pen);
}

void QtCanvas::DrawRoundRect(int left, int top, int right, int bottom, ui::Rgb pen,
                             std::optional<ui::Rgb> fill, int ellipseWidth, int ellipseHeight) {
    if (right <= left || bottom <= top) return;
    QPainter painter(&m_image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(ToQColor(pen), 1));
    painter.setBrush(fill ? QBrush(ToQColor(*fill)) : QBrush(Qt::NoBrush));
    // The outline runs along left..right-1 and top..bottom-1 as with GDI.
    painter.drawRoundedRect(QRect(left, top, right - left - 1, bottom - top - 1),
                            ellipseWidth / 2.0, ellipseHeight / 2.0, Qt::AbsoluteSize);
}

void QtCanvas::DrawText(int sizeCode, int x, int y, ui::Rgb colour, std::string_view gbkText) {
    const ui::FontSpec& fontSpec = m_fonts.Select(sizeCode);
    if (gbkText.empty()) return;
    QPainter painter(&m_image);
    const QFont font = FontFor(fontSpec);
    painter.setFont(font);
    painter.setPen(ToQColor(colour));
    const int ascent = painter.fontMetrics().ascent();
    // Each character on its grid cell, whatever the face's own advance. One
    // conversion for the whole text; each cell is then one code point, except
    // where bad bytes break that, when the cells are converted one by one.
    const auto cells = ui::LayoutGlyphs(fontSpec, gbkText, m_charSpacing);
    const QList<uint> points = QString::fromStdString(base::GbkToUtf8(gbkText)).toUcs4();
    const bool oneToOne = static_cast<size_t>(points.size()) == cells.size();
    for (size_t i = 0; i < cells.size(); ++i) {
        const ui::GlyphCell& cell = cells[i];
        const QString glyph =
            oneToOne ? QString::fromUcs4(reinterpret_cast<const char32_t*>(&points[i]), 1)
                     : QString::fromStdString(
                           base::GbkToUtf8(gbkText.substr(cell.offset, cell.length)));
        painter.drawText(QPoint(x + cell.x, y + ascent), glyph);
    }
}

void QtCanvas::RestoreSnapshot(int left, int top, int right, int bottom) {
    if (m_snapshot.isNull() || right <= left || bottom <= top) return;
    QPainter painter(&m_image);
    const QRect rect(left, top, right - left, bottom - top);
    painter.drawImage(rect.topLeft(), m_snapshot, rect);
}

}  // namespace app

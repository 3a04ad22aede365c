#include "app/qt_canvas.h"

#include <QGuiApplication>
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

int WindowCanvasScale() {
    if (const char* forced = std::getenv("BKQY_SCALE")) {
        const int scale = std::atoi(forced);
        if (scale == 1 || scale == 2) return scale;
    }
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    return ratio >= 1.5 ? 2 : 1;
}

QtCanvas::QtCanvas(int width, int height, int scale)
    : m_scale(std::max(scale, 1)), m_image(width * m_scale, height * m_scale, QImage::Format_RGB32) {
    m_image.setDevicePixelRatio(m_scale);
    m_image.fill(Qt::white);
}

QFont QtCanvas::FontFor(const ui::FontSpec& fontSpec, int scale) {
    QFont font;
    font.setFamilies({QString::fromUtf8(ui::kFontFace.data(), ui::kFontFace.size()),
                      QString::fromUtf8(ui::kFallbackFontFace.data(), ui::kFallbackFontFace.size())});
    font.setPixelSize(fontSpec.pixelHeight * scale);
    font.setWeight(static_cast<QFont::Weight>(QtWeight(fontSpec.weight)));
    font.setFixedPitch(true);
    font.setStyleHint(QFont::TypeWriter);
    // Crisp glyphs at the small sizes, as a Song face is drawn on the big terminals.
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

void QtCanvas::SetPixel(int x, int y, QRgb colour) {
    const int s = m_scale;
    if (x < 0 || y < 0 || (x + 1) * s > m_image.width() || (y + 1) * s > m_image.height()) return;
    for (int dy = 0; dy < s; ++dy) {
        QRgb* row = reinterpret_cast<QRgb*>(m_image.scanLine(y * s + dy));
        std::fill(row + x * s, row + (x + 1) * s, colour);
    }
}

void QtCanvas::DrawImage(const QImage& picture, int x, int y) {
    QPainter painter(&m_image);
    const int s = m_scale;
    painter.drawImage(QRect(x * s, y * s, picture.width() * s, picture.height() * s), picture);
}

void QtCanvas::FillRect(int left, int top, int right, int bottom, ui::Rgb colour) {
    const int s = m_scale;
    const int l = std::max(left * s, 0), t = std::max(top * s, 0);
    const int r = std::min(right * s, m_image.width()), b = std::min(bottom * s, m_image.height());
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
    // The image carries its scale as its pixel ratio: the painter works in
    // canvas pixels, and a 1-pixel pen is one canvas pixel wide.
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
    // Glyphs are placed in image pixels, at the scaled size.
    painter.resetTransform();
    painter.scale(1.0 / m_scale, 1.0 / m_scale);
    const QFont font = FontFor(fontSpec, m_scale);
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
        painter.drawText(QPoint((x + cell.x) * m_scale, y * m_scale + ascent), glyph);
    }
}

void QtCanvas::RestoreSnapshot(int left, int top, int right, int bottom) {
    if (m_snapshot.isNull() || right <= left || bottom <= top) return;
    QPainter painter(&m_image);
    // Both images carry the scale: the rectangle is in canvas pixels.
    const QRect rect(left, top, right - left, bottom - top);
    painter.drawImage(rect, m_snapshot, QRect(rect.topLeft() * m_scale, rect.size() * m_scale));
}

}  // namespace app

// A tiny raster with GDI's rules for fills, axis-aligned lines and rectangles,
// so that shapes built from the primitives can be compared pixel by pixel with
// pictures worked out by hand. Round rectangles and text are not rasterised.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ui/canvas.h"

namespace uitest {

inline constexpr ui::Rgb kPaper{1, 2, 3};  // a colour no drawing here uses

class PixelCanvas : public ui::Canvas {
public:
    PixelCanvas(int width, int height)
        : m_width(width), m_height(height), m_pixels(static_cast<size_t>(width * height), kPaper) {}

    ui::Rgb At(int x, int y) const { return m_pixels[static_cast<size_t>(y * m_width + x)]; }

    void FillRect(int left, int top, int right, int bottom, ui::Rgb colour) override {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) Set(x, y, colour);
    }

    // The end point is left out, as LineTo does.
    void DrawLine(int x1, int y1, int x2, int y2, ui::Rgb pen) override {
        if (x1 != x2 && y1 != y2) {
            ADD_FAILURE() << "only axis-aligned lines are rasterised";
            return;
        }
        const int dx = x2 > x1 ? 1 : x2 < x1 ? -1 : 0;
        const int dy = y2 > y1 ? 1 : y2 < y1 ? -1 : 0;
        for (int x = x1, y = y1; x != x2 || y != y2; x += dx, y += dy) Set(x, y, pen);
    }

    void DrawRect(int left, int top, int right, int bottom, ui::Rgb pen,
                  std::optional<ui::Rgb> fill) override {
        if (fill) FillRect(left + 1, top + 1, right - 1, bottom - 1, *fill);
        for (int x = left; x < right; ++x) Set(x, top, pen), Set(x, bottom - 1, pen);
        for (int y = top; y < bottom; ++y) Set(left, y, pen), Set(right - 1, y, pen);
    }

    void DrawRoundRect(int, int, int, int, ui::Rgb, std::optional<ui::Rgb>, int, int) override {}
    void DrawText(int, int, int, ui::Rgb, std::string_view) override {}
    void SetCharSpacing(int) override {}

    // The region left..right-1 x top..bottom-1, one row per line, each pixel as
    // the key of its colour: '.' for untouched paper, '?' for a colour not in
    // the legend.
    std::string Picture(int left, int top, int right, int bottom,
                        const std::vector<std::pair<char, ui::Rgb>>& legend) const {
        std::string picture;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                const ui::Rgb colour = At(x, y);
                char key = colour == kPaper ? '.' : '?';
                for (const auto& [letter, rgb] : legend)
                    if (rgb == colour) key = letter;
                picture += key;
            }
            picture += '\n';
        }
        return picture;
    }

private:
    void Set(int x, int y, ui::Rgb colour) {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
        m_pixels[static_cast<size_t>(y * m_width + x)] = colour;
    }

    int m_width;
    int m_height;
    std::vector<ui::Rgb> m_pixels;
};

// Rows of a picture joined with line ends, so expectations read as pictures.
inline std::string Rows(std::initializer_list<const char*> rows) {
    std::string picture;
    for (const char* row : rows) picture += std::string(row) + "\n";
    return picture;
}

}  // namespace uitest

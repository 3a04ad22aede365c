// A canvas that draws nothing and records every primitive call, for tests of
// anything that draws: texts, colours and positions can be asserted exactly.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/canvas.h"

namespace ui {

enum class DrawKind { FillRect, Line, Rect, RoundRect, Text, CharSpacing, CopyScreen, SaveSnapshot, RestoreSnapshot };

struct DrawCall {
    DrawKind kind = DrawKind::FillRect;
    // FillRect, Rect, RoundRect, CopyScreen, RestoreSnapshot: left, top, right, bottom.
    // Line: x1, y1, x2, y2. Text: x, y in left, top.
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    Rgb colour;               // fill colour, pen or text colour
    std::optional<Rgb> fill;  // Rect, RoundRect
    int ellipseWidth = 0;     // RoundRect
    int ellipseHeight = 0;
    int fontCode = 0;     // Text
    int charSpacing = 0;  // Text: the spacing in force; CharSpacing: the new value
    std::string gbk;      // Text
    std::string utf8;     // Text, converted once here

    int x() const { return left; }
    int y() const { return top; }
};

class RecordingCanvas : public Canvas {
public:
    void FillRect(int left, int top, int right, int bottom, Rgb colour) override;
    void DrawLine(int x1, int y1, int x2, int y2, Rgb pen) override;
    void DrawRect(int left, int top, int right, int bottom, Rgb pen,
                  std::optional<Rgb> fill) override;
    void DrawRoundRect(int left, int top, int right, int bottom, Rgb pen, std::optional<Rgb> fill,
                       int ellipseWidth, int ellipseHeight) override;
    void DrawText(int sizeCode, int x, int y, Rgb colour, std::string_view gbkText) override;
    void SetCharSpacing(int pixels) override;
    void CopyScreenToCanvas(int left, int top, int right, int bottom) override;
    void SaveSnapshot() override;
    void RestoreSnapshot(int left, int top, int right, int bottom) override;
    bool HasSnapshot() const override { return m_hasSnapshot; }

    const std::vector<DrawCall>& Calls() const { return m_calls; }
    void Clear() { m_calls.clear(); }
    int CharSpacing() const { return m_charSpacing; }

    // The calls of one kind, in drawing order.
    std::vector<DrawCall> Of(DrawKind kind) const;
    std::vector<DrawCall> Texts() const { return Of(DrawKind::Text); }
    // The first text call whose UTF-8 text is exactly this, if any.
    std::optional<DrawCall> FindText(std::string_view utf8) const;
    std::vector<DrawCall> TextsInColour(Rgb colour) const;
    // All texts joined in drawing order, UTF-8.
    std::string JoinedText() const;

private:
    std::vector<DrawCall> m_calls;
    int m_charSpacing = 0;
    bool m_hasSnapshot = false;
};

}  // namespace ui

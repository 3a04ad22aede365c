#include "ui/recording_canvas.h"

#include "base/gbk.h"

namespace ui {

namespace {

DrawCall Shape(DrawKind kind, int left, int top, int right, int bottom, Rgb colour) {
    DrawCall call;
    call.kind = kind;
    call.left = left;
    call.top = top;
    call.right = right;
    call.bottom = bottom;
    call.colour = colour;
    return call;
}

}  // namespace

void RecordingCanvas::FillRect(int left, int top, int right, int bottom, Rgb colour) {
    m_calls.push_back(Shape(DrawKind::FillRect, left, top, right, bottom, colour));
}

void RecordingCanvas::DrawLine(int x1, int y1, int x2, int y2, Rgb pen) {
    m_calls.push_back(Shape(DrawKind::Line, x1, y1, x2, y2, pen));
}

void RecordingCanvas::DrawRect(int left, int top, int right, int bottom, Rgb pen,
                               std::optional<Rgb> fill) {
    DrawCall call = Shape(DrawKind::Rect, left, top, right, bottom, pen);
    call.fill = fill;
    m_calls.push_back(call);
}

void RecordingCanvas::DrawRoundRect(int left, int top, int right, int bottom, Rgb pen,
                                    std::optional<Rgb> fill, int ellipseWidth, int ellipseHeight) {
    DrawCall call = Shape(DrawKind::RoundRect, left, top, right, bottom, pen);
    call.fill = fill;
    call.ellipseWidth = ellipseWidth;
    call.ellipseHeight = ellipseHeight;
    m_calls.push_back(call);
}

void RecordingCanvas::DrawText(int sizeCode, int x, int y, Rgb colour, std::string_view gbkText) {
    DrawCall call = Shape(DrawKind::Text, x, y, 0, 0, colour);
    call.fontCode = sizeCode;
    call.charSpacing = m_charSpacing;
    call.gbk = std::string(gbkText);
    call.utf8 = base::GbkToUtf8(gbkText);
    m_calls.push_back(call);
}

void RecordingCanvas::SetCharSpacing(int pixels) {
    m_charSpacing = pixels;
    DrawCall call;
    call.kind = DrawKind::CharSpacing;
    call.charSpacing = pixels;
    m_calls.push_back(call);
}

void RecordingCanvas::SaveSnapshot() {
    m_calls.push_back(Shape(DrawKind::SaveSnapshot, 0, 0, 0, 0, {}));
    m_hasSnapshot = true;
}

void RecordingCanvas::RestoreSnapshot(int left, int top, int right, int bottom) {
    m_calls.push_back(Shape(DrawKind::RestoreSnapshot, left, top, right, bottom, {}));
}

void RecordingCanvas::CopyScreenToCanvas(int left, int top, int right, int bottom) {
    m_calls.push_back(Shape(DrawKind::CopyScreen, left, top, right, bottom, {}));
}

std::vector<DrawCall> RecordingCanvas::Of(DrawKind kind) const {
    std::vector<DrawCall> calls;
    for (const DrawCall& call : m_calls)
        if (call.kind == kind) calls.push_back(call);
    return calls;
}

std::optional<DrawCall> RecordingCanvas::FindText(std::string_view utf8) const {
    for (const DrawCall& call : m_calls)
        if (call.kind == DrawKind::Text && call.utf8 == utf8) return call;
    return std::nullopt;
}

std::vector<DrawCall> RecordingCanvas::TextsInColour(Rgb colour) const {
    std::vector<DrawCall> calls;
    for (const DrawCall& call : m_calls)
        if (call.kind == DrawKind::Text && call.colour == colour) calls.push_back(call);
    return calls;
}

std::string RecordingCanvas::JoinedText() const {
    std::string text;
    for (const DrawCall& call : m_calls)
        if (call.kind == DrawKind::Text) text += call.utf8;
    return text;
}

}  // namespace ui

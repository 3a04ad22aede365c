#include "ui/drawing.h"

#include <string>

#include "base/gbk.h"

namespace ui {
namespace {

// Page frame texts, in GBK once.
const std::string& CodeEntryHintText() {
    static const std::string kText = base::Utf8ToGbk("(点击股票代码或股票名称，可打开K线图)");
    return kText;
}

const std::string& CodeBoxLabel() {
    static const std::string kText = base::Utf8ToGbk("输入股票");
    return kText;
}

// Both ends inclusive: DrawLine leaves out the end point, so go one further.
void VerticalRun(Canvas& canvas, int x, int y1, int y2, Rgb colour) {
    canvas.DrawLine(x, y1, x, y2 + 1, colour);
}

void HorizontalRun(Canvas& canvas, int x1, int x2, int y, Rgb colour) {
    canvas.DrawLine(x1, y, x2 + 1, y, colour);
}

void BevelButton(Canvas& canvas, int left, int top, int right, int bottom, Rgb face, Rgb dark) {
    canvas.DrawRect(left, top, right, bottom, dark, face);
    canvas.DrawLine(left + 4, top + 3, left + 4, bottom - 3, kWhite);
    canvas.DrawLine(left + 4, top + 3, right - 4, top + 3, kWhite);
    canvas.DrawLine(left + 5, bottom - 4, right - 4, bottom - 4, dark);
    canvas.DrawLine(right - 4, top + 4, right - 4, bottom - 4, dark);
}

}  // namespace

void FillBox(Canvas& canvas, int left, int top, int right, int bottom, Rgb colour) {
    canvas.FillRect(left, top, right, bottom, colour);
}

void DrawLine(Canvas& canvas, int x1, int y1, int x2, int y2, Rgb colour) {
    canvas.DrawLine(x1, y1, x2, y2, colour);
}

void DrawBox(Canvas& canvas, int left, int top, int right, int bottom, Rgb pen, Rgb fill) {
    canvas.DrawRect(left, top, right, bottom, pen, fill);
}

void DrawBoxOutline(Canvas& canvas, int left, int top, int right, int bottom, Rgb pen) {
    canvas.DrawRect(left, top, right, bottom, pen, kWhite);
}

void DrawFrameLines(Canvas& canvas, int left, int top, int right, int bottom, Rgb colour) {
    canvas.DrawLine(left, top, right, top, colour);
    canvas.DrawLine(left, top, left, bottom, colour);
    canvas.DrawLine(right, top, right, bottom, colour);
    canvas.DrawLine(left, bottom, right, bottom, colour);
}

void DrawRoundBox(Canvas& canvas, int left, int top, int right, int bottom, Rgb pen, Rgb fill) {
    canvas.DrawRoundRect(left, top, right, bottom, pen, fill, kRoundCorner, kRoundCorner);
}

void DrawRoundBoxSmall(Canvas& canvas, int left, int top, int right, int bottom, Rgb pen,
                       Rgb fill) {
    canvas.DrawRoundRect(left, top, right, bottom, pen, fill, kSmallRoundCorner, kSmallRoundCorner);
}

void DrawRoundBoxCorner(Canvas& canvas, int left, int top, int right, int bottom, Rgb pen, Rgb fill,
                        int cornerWidth, int cornerHeight) {
    canvas.DrawRoundRect(left, top, right, bottom, pen, fill, cornerWidth, cornerHeight);
}

void DrawRoundOutline(Canvas& canvas, int left, int top, int right, int bottom, Rgb pen) {
    canvas.DrawRoundRect(left, top, right, bottom, pen, kWhite, kRoundCorner, kRoundCorner);
}

void DrawSunkenField(Canvas& canvas, int left, int top, int right, int bottom, Rgb edge) {
    canvas.FillRect(left, top, right, bottom, kWhite);
    VerticalRun(canvas, right - 1, top, bottom - 1, kSunkenLightEdge);
    HorizontalRun(canvas, left, right - 1, bottom - 1, kSunkenLightEdge);
    canvas.FillRect(left, top, right, top + 2, edge);
    canvas.FillRect(left, top, left + 2, bottom, edge);
}

void DrawSunkenPanelField(Canvas& canvas, int left, int top, int right, int bottom, Rgb edge) {
    canvas.FillRect(left, top, right, bottom, kPanelBeige);
    VerticalRun(canvas, right - 1, top, bottom - 1, kWhite);
    HorizontalRun(canvas, left, right - 1, bottom - 1, kWhite);
    HorizontalRun(canvas, left, right - 1, top, edge);
    VerticalRun(canvas, left, top, bottom - 1, edge);
}

void DrawBevelButton(Canvas& canvas, int left, int top, int right, int bottom, Rgb face) {
    BevelButton(canvas, left, top, right, bottom, face, kBlack);
}

void DrawGreyBevelButton(Canvas& canvas, int left, int top, int right, int bottom, Rgb face) {
    BevelButton(canvas, left, top, right, bottom, face, kBevelGrey);
}

void DrawTriangleRight(Canvas& canvas, int apexX, int apexY, int size, Rgb colour) {
    for (int i = 0; i < size; ++i) VerticalRun(canvas, apexX - i, apexY - i, apexY + i, colour);
}

void DrawTriangleLeft(Canvas& canvas, int apexX, int apexY, int size, Rgb colour) {
    for (int i = 0; i < size; ++i) VerticalRun(canvas, apexX + i, apexY - i, apexY + i, colour);
}

void DrawTriangleUp(Canvas& canvas, int apexX, int apexY, int size, Rgb colour) {
    for (int i = 0; i < size; ++i) HorizontalRun(canvas, apexX - i, apexX + i, apexY + i, colour);
}

void DrawTriangleDown(Canvas& canvas, int apexX, int apexY, int size, Rgb colour) {
    for (int i = 0; i < size; ++i) HorizontalRun(canvas, apexX - i, apexX + i, apexY - i, colour);
}

void DrawArrowRight(Canvas& canvas, int tipX, int tipY, int headSize, int shaftLength,
                    int shaftThickness, Rgb colour) {
    DrawTriangleRight(canvas, tipX, tipY, headSize, colour);
    const int half = shaftThickness / 2;
    canvas.FillRect(tipX - headSize - shaftLength, tipY - half, tipX - headSize + 2, tipY + half,
                    colour);
}

void DrawTextAt(Canvas& canvas, int sizeCode, int x, int y, Rgb colour, std::string_view gbkText) {
    gbkText = gbkText.substr(0, gbkText.find('\0'));
    if (gbkText.empty()) return;
    canvas.DrawText(sizeCode, x, y, colour, gbkText);
}

void DrawNumberAt(Canvas& canvas, int sizeCode, int x, int y, Rgb colour, int value) {
    DrawTextAt(canvas, sizeCode, x, y, colour, std::to_string(value));
}

void SetCharSpacing(Canvas& canvas, int pixels) {
    canvas.SetCharSpacing(pixels);
}

void CopyScreenToCanvas(Canvas& canvas, int left, int top, int right, int bottom) {
    canvas.CopyScreenToCanvas(left, top, right, bottom);
}

void DrawPageFrame(Canvas& canvas, int left, int top, int right, int bottom, Rgb colour,
                   CodeEntryHint hint) {
    canvas.FillRect(2, 26, 1022, 379, kPanelBeige);
    canvas.FillRect(318, 1, 672, 28, kPanelBeige);
    canvas.FillRect(833, 1, 1022, 28, kPanelBeige);
    DrawRoundBoxCorner(canvas, left, top, right, bottom, kWhite, kWhite, 35, 35);
    DrawRoundBoxCorner(canvas, left + 10, top + 10, right - 10, bottom - 10, colour, colour, 25,
                       25);
    if (hint == CodeEntryHint::Shown)
        DrawTextAt(canvas, 14, 388, 360, {0, 0, 90}, CodeEntryHintText());
    DrawTextAt(canvas, 12, 969, 367, kBlack, CodeBoxLabel());
}

}  // namespace ui

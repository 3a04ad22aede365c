// The drawing operations every screen uses, built from the canvas primitives.
// Colours come after the geometry; rectangles follow the canvas convention
// (right and bottom exclusive for fills, outlines as GDI draws them).
#pragma once

#include <string_view>

#include "ui/canvas.h"

namespace ui {

inline constexpr Rgb kDefaultBevelFace{220, 215, 182};
inline constexpr Rgb kBevelGrey{112, 112, 112};
inline constexpr Rgb kSunkenLightEdge{197, 197, 197};

inline constexpr int kRoundCorner = 10;      // DrawRoundBox, DrawRoundOutline
inline constexpr int kSmallRoundCorner = 5;  // DrawRoundBoxSmall

void FillBox(Canvas& canvas, int left, int top, int right, int bottom, Rgb colour);
void DrawLine(Canvas& canvas, int x1, int y1, int x2, int y2, Rgb colour);

// Rectangle with a 1-pixel border.
void DrawBox(Canvas& canvas, int left, int top, int right, int bottom, Rgb pen, Rgb fill);
// The same filled with the canvas's default brush (white).
void DrawBoxOutline(Canvas& canvas, int left, int top, int right, int bottom, Rgb pen);
// Four lines: top (left,top)-(right,top), left (left,top)-(left,bottom),
// right (right,top)-(right,bottom), bottom (left,bottom)-(right,bottom); each
// line leaves out its end point, so the corner (right, bottom) stays undrawn.
void DrawFrameLines(Canvas& canvas, int left, int top, int right, int bottom, Rgb colour);

void DrawRoundBox(Canvas& canvas, int left, int top, int right, int bottom, Rgb pen, Rgb fill);
void DrawRoundBoxSmall(Canvas& canvas, int left, int top, int right, int bottom, Rgb pen, Rgb fill);
void DrawRoundBoxCorner(Canvas& canvas, int left, int top, int right, int bottom, Rgb pen, Rgb fill,
                        int cornerWidth, int cornerHeight);
void DrawRoundOutline(Canvas& canvas, int left, int top, int right, int bottom, Rgb pen);

// White field with a 2-pixel edge along the top and left and a 1-pixel light
// grey line along the right (x = right-1) and bottom (y = bottom-1). The edge
// is drawn last, so it owns the corners it shares with the grey lines.
void DrawSunkenField(Canvas& canvas, int left, int top, int right, int bottom, Rgb edge);
// The panel variant (the setup dialog's): beige fill, a 1-pixel edge along the
// top and left, white along the right and bottom.
void DrawSunkenPanelField(Canvas& canvas, int left, int top, int right, int bottom, Rgb edge);

// Black-bordered face with a white highlight from (left+4, top+3) down to
// (left+4, bottom-3) and across to (right-4, top+3), and a black shadow from
// (left+5, bottom-4) to (right-4, bottom-4) and from (right-4, top+4) down to
// (right-4, bottom-4). Lines leave out their end points.
void DrawBevelButton(Canvas& canvas, int left, int top, int right, int bottom,
                     Rgb face = kDefaultBevelFace);
// The same with grey (112,112,112) wherever the plain button has black.
void DrawGreyBevelButton(Canvas& canvas, int left, int top, int right, int bottom, Rgb face);

// Solid triangles of n 1-pixel lines: line i (0..n-1) lies i pixels from the
// apex and spans apex-i..apex+i inclusive, so the triangle is symmetric and its
// apex is one pixel.
void DrawTriangleRight(Canvas& canvas, int apexX, int apexY, int size, Rgb colour);  // x = apex-i
void DrawTriangleLeft(Canvas& canvas, int apexX, int apexY, int size, Rgb colour);   // x = apex+i
void DrawTriangleUp(Canvas& canvas, int apexX, int apexY, int size, Rgb colour);     // y = apex+i
void DrawTriangleDown(Canvas& canvas, int apexX, int apexY, int size, Rgb colour);   // y = apex-i

// A right-pointing triangle at the tip plus the shaft
// FillBox(tip x-n-L, tip y-T/2, tip x-n+2, tip y+T/2).
void DrawArrowRight(Canvas& canvas, int tipX, int tipY, int headSize, int shaftLength,
                    int shaftThickness, Rgb colour);

// One line of GBK text; the text ends at its first NUL (fixed-width name fields).
void DrawTextAt(Canvas& canvas, int sizeCode, int x, int y, Rgb colour, std::string_view gbkText);
// The integer in decimal, otherwise as DrawTextAt.
void DrawNumberAt(Canvas& canvas, int sizeCode, int x, int y, Rgb colour, int value);

void SetCharSpacing(Canvas& canvas, int pixels);
void CopyScreenToCanvas(Canvas& canvas, int left, int top, int right, int bottom);

enum class CodeEntryHint { Hidden, Shown };

// Clears the three work areas with panel beige, draws a white rounded box
// (corner 35) on the rectangle and inside it, 10 pixels in, a rounded box all
// in `colour` (corner 25); writes the code-entry hint when asked and always the
// "输入股票" label beside the code box.
void DrawPageFrame(Canvas& canvas, int left, int top, int right, int bottom, Rgb colour,
                   CodeEntryHint hint);

}  // namespace ui

// The 板块轮动 page in the upper work area: the sectors that made the top ten
// of the scan on any of the last days (rows) over those days (columns), each
// cell coloured by that day's rank, with what entered and left the top ten
// on the last day. Plain drawing and hit testing; the controller runs the
// scans of the days and what a click asks for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sectors/rotation.h"
#include "sectors/scan.h"
#include "ui/canvas.h"

namespace screen {

// The spans a user can choose, in trading days.
inline constexpr int kRotationSpans[] = {20, 40, 60};
inline constexpr int kDefaultRotationSpan = 40;
inline constexpr size_t kRotationRows = 18;

struct RotationRow {
    uint32_t number = 0;  // the sector
    std::string name;     // GBK
};

// What the page shows; the controller fills it and is the only one to change it.
struct RotationView {
    int span = kDefaultRotationSpan;
    sectors::ScanSettings settings;
    std::vector<sectors::RotationDay> days;  // oldest first; the last is the scan's day
    std::vector<RotationRow> rows;
    std::string changeText;  // GBK: what entered and left the top ten on the last day
    int selectedRow = -1;
};

// The rows: every sector in the top ten on some day, those of the last day's
// top ten first in rank order, then by best rank, then by days in the top
// ten, then by number; at most kRotationRows. Names are filled by the caller.
std::vector<RotationRow> RotationRowsOf(const std::vector<sectors::RotationDay>& days);

// The row of the sector at `rank` on the last day, -1 when it has none.
int RotationRowOfRank(const RotationView& view, int rank);

// The fill of a cell for a day's rank (0: not ranked that day).
ui::Rgb RankCellColour(size_t rank);

void DrawRotationPage(ui::Canvas& canvas, const RotationView& view);

// What a click on the page asks for.
struct RotationClick {
    enum class Kind { None, Row, Span, Back };
    Kind kind = Kind::None;
    int value = 0;  // the row index, or the span in days
};
RotationClick RotationClickAt(const RotationView& view, int x, int y);

}  // namespace screen

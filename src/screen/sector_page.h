// The sector home page in the lower half of the window: candidate sets, the
// scan options and caption, the sector ranking with its marker and the moving
// members of the highlighted sector. Plain drawing on the canvas and hit
// testing; the controller runs what a click asks for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/code_table.h"
#include "picking/candidates.h"
#include "sectors/scan.h"
#include "ui/canvas.h"

namespace screen {

inline constexpr int kRankRows = 10;    // sectors per ranking page
// The top sector's bar in the ranking is this long; the others in proportion.
inline constexpr int kRankBarFull = 170;
inline constexpr int kMemberRows = 9;   // members per list page

// What a click on the page asks for.
struct SectorPageClick {
    enum class Kind {
        None,
        ChooseType,       // one of the three option rows
        ChooseMarket,     // 沪市 / 深市 / 创板 / 全市
        LoadList,         // 载入
        ChooseSector,     // a ranking row (rank)
        ChooseMember,     // a member row (index into the loaded members)
        ChoosePicked,     // a row of the picked list (index into the selected stocks)
        RankPage,         // the ranking's page arrows (delta)
        MemberPage,       // the member list's page arrows (delta)
    };
    Kind kind = Kind::None;
    int value = 0;
};

// What the page shows. The controller holds it and is the only one to change
// it; drawing and hit testing only read it.
struct SectorView {
    sectors::ScanType type = sectors::ScanType::Hot;
    int32_t threshold = 750;
    std::optional<picking::CandidateMarket> market;  // highlighted set button
    size_t candidateCount = 0;
    std::string listFileName;  // under 载入
    size_t pickedCount = 0;
    const sectors::ScanOutcome* outcome = nullptr;  // the published scan, if any
    bool simulation = false;
    int firstRank = 1;
    int highlightedRank = 0;  // 0: none
    std::vector<sectors::ResultEntry> members;
    int firstMember = 0;
    int selectedMember = -1;
    int selectedPicked = -1;

    // The ranks of the result, 0 when there is none.
    size_t RankCount() const;
};

// The whole page: boxes, strips, texts, options, ranking and members.
void DrawSectorPage(ui::Canvas& canvas, const SectorView& view, const data::CodeTable& codes);
void DrawScanOptions(ui::Canvas& canvas, const SectorView& view);
void DrawScanCaption(ui::Canvas& canvas, const SectorView& view);
void DrawCandidates(ui::Canvas& canvas, const SectorView& view);
void DrawSectorRanking(ui::Canvas& canvas, const SectorView& view);
void DrawMemberList(ui::Canvas& canvas, const SectorView& view, const data::CodeTable& codes);

SectorPageClick HitTestSectorPage(const SectorView& view, int x, int y);

// A ranking bar's length in pixels: score × 170 / the top score, at least 1.
int RankBarLength(int64_t score, int64_t topScore);

}  // namespace screen

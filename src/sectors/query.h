// The query field under "板块属性查询": a stock's industries and concepts, a
// sector found by name or by its four-digit number, and the maintenance
// keywords of the ranking.
//
// Keywords (case as written):
//   "Diag"            the diagnostic page of the last ranking;
//   "Set" d x nnn     weight d (1 CXL_p, 2 CX_Code_p, 3 ZF_Code_p) becomes nnn,
//                     x being any one character ("Set2-150");
//   "Max" d x nnnn    cap d (1 CXL_Max, 2 CX_Max, 3 ZF_Max) becomes nnnn.
//
// How long they last (the window keeps one RankTuning):
//   - the weights start as the sector library's; a weight set with "Set"
//     stays in force for every later scan of the session (it is never
//     saved); a sector library with other weights, installed or imported,
//     brings its own weights back;
//   - every scan derives the caps from the weights in force when it starts,
//     so a cap set with "Max" changes the diagnostic page of the result on
//     screen and lasts until the next scan starts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/prompter.h"
#include "data/code_table.h"
#include "sectors/library.h"
#include "sectors/scan.h"

namespace sectors {

inline constexpr std::string_view kDiagnosticKeyword = "Diag";
inline constexpr std::string_view kWeightKeyword = "Set";
inline constexpr std::string_view kCapKeyword = "Max";

inline constexpr size_t kPropertyIndustries = 6;
inline constexpr size_t kPropertyConcepts = 28;
inline constexpr std::string_view kPropertyColour = "/c000000090";

// The tuning the keywords change; the window keeps it beside the scan settings.
struct RankTuning {
    RankWeights weights;
    RankCaps caps = RankCaps::From(RankWeights{});
};

struct QueryContext {
    SectorLibrary library;
    const data::CodeTable* codes = nullptr;
    const ScanOutcome* outcome = nullptr;  // the published scan, may be null
    RankTuning* tuning = nullptr;
};

enum class QueryKind {
    Ignored,
    Message,      // shown through the prompter
    Property,     // caption and property text to draw in the info panel
    SectorFound,  // a ranked sector to highlight
    Diagnostic,   // draw the diagnostic page
    WeightSet,
    CapSet,
};

struct QueryAnswer {
    QueryKind kind = QueryKind::Ignored;
    std::string caption;             // GBK: "600000(浦发银行)板块属性"
    std::string propertyText;        // GBK marked-up text
    size_t rank = 0;                 // SectorFound: rank in the result (from 1)
    uint32_t members = 0;            // SectorFound: member count in the library
    std::vector<std::string> lines;  // SectorFound: the two info lines, UTF-8
};

// The property text of a stock: its industries (at most 6), then its concepts
// (at most 28), each followed by "|", after the colour tag; GBK.
std::string PropertyText(const SectorLibrary& library, uint32_t code);

// QuerySectorProperty: entry as typed (UTF-8).
QueryAnswer QuerySectorProperty(std::string_view entry, QueryContext& context,
                                base::Prompter& prompter);

struct DiagnosticPage {
    std::string headline;           // GBK
    std::vector<std::string> rows;  // GBK, at most 40: rows 1-20 the left column
    // Headline and rows as marked-up text, "/n" between lines.
    std::string Markup() const;
};

// ShowDiagnosticPage: the content of the diagnostic page of a ranking.
DiagnosticPage ShowDiagnosticPage(const ScanOutcome& outcome, const SectorLibrary& library,
                                  const RankTuning& tuning);

}  // namespace sectors

// The fixed catalogue the demo market's sectors come from: industries,
// regions, concepts and a few recent themes, with the traits that shape which
// stocks they get and how those stocks look. Names are UTF-8 here and turned
// into GBK when written.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace demo {

struct IndustryDef {
    const char* name;
    uint16_t weight;    // relative number of listed companies
    uint8_t tech;       // 0 old economy (rare on STAR/ChiNext), 1 mixed, 2 technology
    uint8_t size;       // 0 small companies, 1 ordinary, 2 with giants
    uint16_t priceLow;  // yuan: where its shares start
    uint16_t priceHigh;
    uint8_t dividend;      // 0..3: how reliably it pays cash dividends
    const char* suffixes;  // two-character name endings, '|' separated
};

struct RegionDef {
    const char* name;
    uint16_t weight;
    const char* abbreviation;  // one character used at the front of names, or ""
};

struct ConceptDef {
    const char* name;
    uint16_t weight;      // popularity: how many stocks claim it
    const char* related;  // industries whose stocks claim it far more often, '|' separated
};

// Families of the sector library.
inline constexpr uint32_t kFamilyNewConcept = 1;
inline constexpr uint32_t kFamilyNewIndustry = 2;
inline constexpr uint32_t kFamilyNewRegion = 3;
inline constexpr uint32_t kFamilyConcept = 4;
inline constexpr uint32_t kFamilyIndustry = 5;
inline constexpr uint32_t kFamilyRegion = 6;

// A recent theme of families 1-3: members are drawn from the related
// industries (families 1, 2) or regions (family 3).
struct ThemeDef {
    uint32_t family;
    const char* name;
    const char* related;     // '|' separated industry or region names
    uint16_t sharePerMille;  // of the related stocks that join
};

std::span<const IndustryDef> Industries();
std::span<const RegionDef> Regions();
// Concepts in order of importance: a small market uses the first ones.
std::span<const ConceptDef> Concepts();
std::span<const ThemeDef> Themes();

// Index in Industries() / Regions() by name, -1 when unknown.
int FindIndustry(std::string_view name);
int FindRegion(std::string_view name);

// Calls f(piece) for each '|' separated piece of a list.
template <class F>
void ForEachListItem(std::string_view list, F f) {
    while (!list.empty()) {
        const size_t bar = list.find('|');
        f(list.substr(0, bar));
        if (bar == std::string_view::npos) break;
        list.remove_prefix(bar + 1);
    }
}

}  // namespace demo

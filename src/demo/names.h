// Short names of demo stocks and their pinyin initials.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "demo/random.h"

namespace demo {

struct StockName {
    std::string utf8;      // e.g. 华兴科技 or ST华兴
    std::string initials;  // e.g. HXKJ or STHX
};

// Upper-case pinyin initial of one character of the name tables ('?' for a
// character outside them).
char PinyinInitial(std::string_view utf8Character);

// Initials of a name made of table characters and ASCII letters.
std::string NameInitials(std::string_view utf8);

// A four-character name: two leading characters (the first sometimes the
// abbreviation of the region) and an ending typical of the industry.
StockName MakeStockName(Rng& rng, const char* industryEndings, const char* regionAbbreviation);

// The ST form of a name: "ST" and its first two characters.
StockName MakeStName(const StockName& name);

}  // namespace demo

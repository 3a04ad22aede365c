#include "demo/names.h"

#include <gtest/gtest.h>

#include <set>

#include "base/gbk.h"
#include "demo/sector_catalogue.h"

namespace {

// The first-level characters of GB2312 (rows 16-55) are ordered by pinyin, so
// a character's initial follows from its code: each letter's first code.
char GbInitial(uint8_t hi, uint8_t lo) {
    static const struct {
        uint16_t first;
        char letter;
    } kStarts[] = {{0xB0A1, 'A'}, {0xB0C5, 'B'}, {0xB2C1, 'C'}, {0xB4EE, 'D'}, {0xB6EA, 'E'},
                   {0xB7A2, 'F'}, {0xB8C1, 'G'}, {0xB9FE, 'H'}, {0xBBF7, 'J'}, {0xBFA6, 'K'},
                   {0xC0AC, 'L'}, {0xC2E8, 'M'}, {0xC4C3, 'N'}, {0xC5B6, 'O'}, {0xC5BE, 'P'},
                   {0xC6DA, 'Q'}, {0xC8BB, 'R'}, {0xC8F6, 'S'}, {0xCBFA, 'T'}, {0xCDDA, 'W'},
                   {0xCEF4, 'X'}, {0xD1B9, 'Y'}, {0xD4D1, 'Z'}};
    const uint16_t code = static_cast<uint16_t>(hi << 8 | lo);
    if (code < 0xB0A1 || code > 0xD7F9) return '\0';  // not a first-level character
    char letter = '\0';
    for (const auto& s : kStarts)
        if (code >= s.first) letter = s.letter;
    return letter;
}

// Checks one name: GBK of at most 8 bytes, every character first-level, and
// the initials those characters give. 行 reads "hang" in 银行, though GB2312
// files it under "xing".
void ExpectNameAndInitials(const demo::StockName& name) {
    const std::string gbk = base::Utf8ToGbk(name.utf8);
    ASSERT_LE(gbk.size(), 8u) << name.utf8;
    EXPECT_EQ(base::GbkToUtf8(gbk), name.utf8);
    std::string expected;
    for (size_t i = 0; i < gbk.size();) {
        const auto c = static_cast<uint8_t>(gbk[i]);
        if (c < 0x80) {
            expected += static_cast<char>(c);
            ++i;
            continue;
        }
        ASSERT_LT(i + 1, gbk.size()) << name.utf8;
        const auto lo = static_cast<uint8_t>(gbk[i + 1]);
        char letter = GbInitial(c, lo);
        ASSERT_NE(letter, '\0') << name.utf8 << ": a character outside the first level";
        if (c == 0xD0 && lo == 0xD0) letter = 'H';  // 行
        expected += letter;
        i += 2;
    }
    EXPECT_EQ(name.initials, expected) << name.utf8;
}

TEST(DemoNames, InitialsFollowThePinyinOfEveryCharacter) {
    std::set<std::string> seen;
    for (const demo::IndustryDef& industry : demo::Industries()) {
        for (const demo::RegionDef& region : demo::Regions()) {
            demo::Rng rng(seen.size() + 1);
            for (int k = 0; k < 4; ++k) {
                const auto name = demo::MakeStockName(rng, industry.suffixes, region.abbreviation);
                EXPECT_EQ(base::Utf8ToGbk(name.utf8).size(), 8u) << name.utf8;
                ExpectNameAndInitials(name);
                ExpectNameAndInitials(demo::MakeStName(name));
                seen.insert(name.utf8);
            }
        }
    }
    // Enough variety that a market of thousands has mostly distinct names.
    EXPECT_GT(seen.size(), 12'000u);
}

TEST(DemoNames, StNamesKeepTheLeadingCharacters) {
    const auto st = demo::MakeStName({"华兴科技", "HXKJ"});
    EXPECT_EQ(st.utf8, "ST华兴");
    EXPECT_EQ(st.initials, "STHX");
    EXPECT_EQ(base::Utf8ToGbk(st.utf8).size(), 6u);
}

TEST(DemoNames, SectorNamesFitTheLibrary) {
    auto check = [](const char* utf8) {
        const std::string gbk = base::Utf8ToGbk(utf8);
        EXPECT_LE(gbk.size(), 20u) << utf8;
        EXPECT_EQ(gbk.find('?'), std::string::npos) << utf8;
    };
    for (const auto& i : demo::Industries()) check(i.name);
    for (const auto& r : demo::Regions()) check(r.name);
    for (const auto& c : demo::Concepts()) check(c.name);
    for (const auto& t : demo::Themes()) check(t.name);
}

TEST(DemoNames, RelatedListsNameKnownIndustriesAndRegions) {
    for (const auto& c : demo::Concepts())
        demo::ForEachListItem(c.related, [&](std::string_view name) {
            EXPECT_GE(demo::FindIndustry(name), 0) << c.name << ": " << name;
        });
    for (const auto& t : demo::Themes())
        demo::ForEachListItem(t.related, [&](std::string_view name) {
            const bool known = t.family == demo::kFamilyNewRegion ? demo::FindRegion(name) >= 0
                                                                  : demo::FindIndustry(name) >= 0;
            EXPECT_TRUE(known) << t.name << ": " << name;
        });
}

}  // namespace

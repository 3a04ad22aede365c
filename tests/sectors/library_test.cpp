// The sector library walk and its lookups, on well-formed and hostile images.
#include "sectors/library.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "base/endian.h"
#include "data/sector_library_file.h"
#include "support/fixture_market.h"

namespace {

using fixture::Gbk;

std::vector<uint8_t> Library(const std::vector<data::SectorRecord>& sectors) {
    return data::EncodeSectorLibrary(20170102, {}, sectors);
}

// One raw record: count, number, name length, name, members.
void AppendRecord(std::vector<uint8_t>& image, uint16_t count, uint32_t number,
                  const std::string& name, const std::vector<uint32_t>& members) {
    const size_t at = image.size();
    image.resize(at + 6 + name.size() + 3 * members.size());
    base::WriteU16(&image[at], count);
    base::WriteU24(&image[at + 2], number);
    image[at + 5] = static_cast<uint8_t>(name.size());
    std::copy(name.begin(), name.end(), image.begin() + static_cast<ptrdiff_t>(at + 6));
    for (size_t k = 0; k < members.size(); ++k)
        base::WriteU24(&image[at + 6 + name.size() + 3 * k], members[k]);
}

std::vector<uint8_t> Header(uint32_t count) {
    std::vector<uint8_t> image(16, 0);
    base::WriteU24(image.data(), count);
    return image;
}

TEST(SectorLibrary, LookupsFollowLibraryOrderAndFirstMatch) {
    const uint32_t concept1 = data::MakeSectorNumber(4, 12);
    const uint32_t industry = data::MakeSectorNumber(5, 3);
    const uint32_t empty = data::MakeSectorNumber(6, 1);
    const uint32_t odd = data::MakeSectorNumber(7, 2);
    const auto image = Library({
        {4, 12, Gbk("一带一路"), {1, 600000, 600100}},
        {6, 1, Gbk("空板块"), {}},
        {5, 3, Gbk("银行"), {2, 600000}},
        {7, 2, Gbk("奇怪"), {600100}},
        {4, 12, Gbk("重复号"), {5}},
    });
    sectors::SectorLibrary lib(image);
    EXPECT_EQ(lib.SectorCount(), 5u);

    sectors::StockSectorList list;
    ASSERT_EQ(sectors::FindSectorsOfStock(lib, 600000, list), 2u);
    EXPECT_EQ(list.items[0].number, concept1);
    EXPECT_EQ(list.items[1].number, industry);
    EXPECT_EQ(list.items[0].code, 600000u);
    // The early stop on ascending codes must not miss the last member nor
    // find a code that lies between two members.
    EXPECT_EQ(sectors::FindSectorsOfStock(lib, 600100, list), 2u);
    EXPECT_EQ(sectors::FindSectorsOfStock(lib, 600050, list), 0u);
    EXPECT_EQ(sectors::FindSectorsOfStock(lib, 0, list), 0u);  // M = 0 never matches

    EXPECT_EQ(sectors::SectorMemberCount(lib, concept1), 3u);  // the first of the duplicates
    EXPECT_EQ(sectors::SectorMemberCount(lib, empty), 0u);
    EXPECT_EQ(sectors::SectorMemberCount(lib, data::MakeSectorNumber(4, 99)), 0u);

    auto nf = sectors::SectorNameAndFamily(lib, industry);
    EXPECT_EQ(nf.name, Gbk("银行"));
    EXPECT_EQ(nf.family, Gbk("行业"));
    nf = sectors::SectorNameAndFamily(lib, odd);
    EXPECT_EQ(nf.name, Gbk("奇怪"));
    EXPECT_EQ(nf.family, "");
    nf = sectors::SectorNameAndFamily(lib, data::MakeSectorNumber(1, 1));
    EXPECT_EQ(nf.name, "");
    EXPECT_EQ(nf.family, "");

    EXPECT_EQ(sectors::FindSectorByName(lib, Gbk("银行")), industry);
    EXPECT_FALSE(sectors::FindSectorByName(lib, Gbk("银")).has_value());  // same length required
    EXPECT_EQ(sectors::SectorDisplayNumber(concept1), 4012u);
}

TEST(SectorLibrary, StockInManySectorsKeepsTheFirst200) {
    std::vector<data::SectorRecord> sectors;
    for (uint32_t s = 1; s <= 250; ++s) sectors.push_back({4, s, "x", {600000}});
    const auto image = Library(sectors);
    sectors::SectorLibrary lib(image);
    sectors::StockSectorList list;
    ASSERT_EQ(sectors::FindSectorsOfStock(lib, 600000, list), 200u);
    EXPECT_EQ(list.items[0].number, data::MakeSectorNumber(4, 1));
    EXPECT_EQ(list.items[199].number, data::MakeSectorNumber(4, 200));
}

TEST(SectorLibrary, HostileImagesNeverLeaveTheImage) {
    // The count promises five records; the third claims 1,000 members the
    // image does not hold. The walk ends after the second record.
    auto image = Header(5);
    AppendRecord(image, 1, data::MakeSectorNumber(4, 1), "a", {600000});
    AppendRecord(image, 2, data::MakeSectorNumber(5, 1), "b", {1, 600000});
    AppendRecord(image, 1000, data::MakeSectorNumber(5, 2), "c", {600000});
    sectors::SectorLibrary lib(image);
    sectors::StockSectorList list;
    EXPECT_EQ(sectors::FindSectorsOfStock(lib, 600000, list), 2u);
    EXPECT_EQ(sectors::SectorMemberCount(lib, data::MakeSectorNumber(5, 2)), 0u);
    size_t walked = 0;
    lib.ForEach([&](const sectors::SectorView&) { return ++walked, true; });
    EXPECT_EQ(walked, 2u);

    // A name length running past the end, with a copy of the bytes so that the
    // span's end is the true end (the sanitizer build catches a stray read).
    auto named = Header(2);
    AppendRecord(named, 1, data::MakeSectorNumber(4, 1), "ab", {7});
    named.push_back(1), named.push_back(0);  // count 1
    named.push_back(4), named.push_back(2), named.push_back(0);
    named.push_back(200);  // name length 200, two bytes follow
    named.push_back('x'), named.push_back('y');
    std::vector<uint8_t> exact(named);
    sectors::SectorLibrary namedLib(exact);
    EXPECT_EQ(sectors::FindSectorsOfStock(namedLib, 7, list), 1u);
    EXPECT_FALSE(sectors::FindSectorByName(namedLib, "xy").has_value());

    // A record head cut in the middle, and images shorter than a header.
    auto cut = Header(3);
    AppendRecord(cut, 1, data::MakeSectorNumber(4, 1), "", {9});
    cut.push_back(1), cut.push_back(0), cut.push_back(4);
    sectors::SectorLibrary cutLib(cut);
    EXPECT_EQ(sectors::FindSectorsOfStock(cutLib, 9, list), 1u);
    const std::vector<uint8_t> tiny{5, 0};
    EXPECT_EQ(sectors::SectorLibrary(tiny).SectorCount(), 0u);
    EXPECT_EQ(sectors::FindSectorsOfStock(sectors::SectorLibrary(tiny), 9, list), 0u);
    EXPECT_EQ(sectors::SectorCount(sectors::SectorLibrary()), 0u);
}

// The index answers as the walk does for every code, on images whose members
// are out of order or repeated (the walk's early stop then misses some), a
// stock in more than 200 sectors and a record cut short.
void ExpectIndexAnswersAsTheWalk(const std::vector<uint8_t>& image, uint32_t highestCode) {
    const sectors::SectorLibrary lib(image);
    sectors::StockSectorIndex index;
    index.Follow(lib);
    sectors::StockSectorList walked, found;
    for (uint32_t code = 0; code <= highestCode; ++code) {
        const size_t n = sectors::FindSectorsOfStock(lib, code, walked);
        ASSERT_EQ(index.Find(code, found), n) << code;
        for (size_t k = 0; k < n; ++k) {
            ASSERT_EQ(found.items[k].number, walked.items[k].number) << code << " #" << k;
            ASSERT_EQ(found.items[k].code, code);
        }
    }
}

TEST(StockSectorIndex, AnswersAsTheWalkOnOddAndHostileImages) {
    auto odd = Header(6);
    AppendRecord(odd, 5, data::MakeSectorNumber(4, 1), "a", {5, 3, 9, 9, 7});
    AppendRecord(odd, 4, data::MakeSectorNumber(4, 2), "b", {0, 2, 2, 1});
    AppendRecord(odd, 0, data::MakeSectorNumber(6, 1), "", {});
    AppendRecord(odd, 3, data::MakeSectorNumber(5, 1), "c", {9, 10, 4});
    AppendRecord(odd, 2, data::MakeSectorNumber(4, 1), "d", {3, 12});  // a repeated number
    AppendRecord(odd, 900, data::MakeSectorNumber(5, 2), "e", {1, 2, 3});  // cut short
    ExpectIndexAnswersAsTheWalk(odd, 13);

    std::vector<data::SectorRecord> many;
    for (uint32_t s = 1; s <= 250; ++s) many.push_back({4, s, "x", {s % 7, 8, 9}});
    ExpectIndexAnswersAsTheWalk(Library(many), 10);
    ExpectIndexAnswersAsTheWalk({5, 0}, 10);
}

TEST(StockSectorIndex, FollowsALibraryRewrittenInPlace) {
    auto image = Library({{4, 1, "a", {600000}}});
    const sectors::SectorLibrary lib(image);
    sectors::StockSectorIndex index;
    index.Follow(lib);
    sectors::StockSectorList list;
    EXPECT_EQ(index.Find(600000, list), 1u);
    // Same buffer, same size, another member: an install does this.
    const auto other = Library({{4, 1, "a", {600001}}});
    ASSERT_EQ(other.size(), image.size());
    std::copy(other.begin(), other.end(), image.begin());
    index.Follow(lib);
    EXPECT_EQ(index.Find(600000, list), 0u);
    EXPECT_EQ(index.Find(600001, list), 1u);
}

}  // namespace

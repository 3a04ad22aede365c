#include "demo_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "demo/calendar.h"

namespace demotest {
namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

float F32(const std::vector<uint8_t>& b, size_t at) {
    float v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

uint32_t U24(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (static_cast<uint32_t>(b[at + 2]) << 16);
}

// Text packed first byte highest, NULs dropped.
std::string UnpackText(uint32_t word) {
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((word >> shift) & 0xFF);
        if (c != '\0') s += c;
    }
    return s;
}

uint32_t FullDate(float yymmdd) {
    const uint32_t v = static_cast<uint32_t>(yymmdd);
    return v < 800'001 ? 20'000'000 + v : 19'000'000 + v;
}

}  // namespace

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot open " << path;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

DayFile ReadDayFile(const std::string& path, bool index) {
    DayFile f;
    const auto b = ReadBytes(path);
    if (b.size() < 32) {
        ADD_FAILURE() << path << " is shorter than its header";
        return f;
    }
    f.magic.assign(b.begin(), b.begin() + 4);
    f.code = U32(b, 4);
    f.format = U32(b, 8);
    const size_t width = index ? 28 : 20;
    f.trailingBytes = (b.size() - 32) % width;
    for (size_t at = 32; at + width <= b.size(); at += width) {
        data::Bar bar;
        bar.date = U32(b, at);
        if (index) {
            bar.open = U32(b, at + 4);
            bar.high = U32(b, at + 8);
            bar.low = U32(b, at + 12);
            bar.close = U32(b, at + 16);
            bar.amount = U32(b, at + 20);
            bar.volume = U32(b, at + 24);
        } else {
            bar.open = U32(b, at + 4) & 0xFFFF;
            bar.high = U32(b, at + 4) >> 16;
            bar.low = U32(b, at + 8) & 0xFFFF;
            bar.close = U32(b, at + 8) >> 16;
            bar.amount = U32(b, at + 12);
            bar.volume = U32(b, at + 16);
        }
        f.bars.push_back(bar);
    }
    return f;
}

CodeTableFile ReadCodeTable(const std::string& path) {
    CodeTableFile t;
    const auto b = ReadBytes(path);
    t.bytes = b.size();
    if (b.size() < 28) {
        ADD_FAILURE() << path << " is shorter than its header";
        return t;
    }
    t.count = U32(b, 0);
    t.date = U32(b, 16);
    for (size_t at = 28; at + 28 <= b.size(); at += 28) {
        CodeRecord r;
        r.code = U32(b, at);
        r.name = UnpackText(U32(b, at + 4)) + UnpackText(U32(b, at + 8));
        r.initials = UnpackText(U32(b, at + 12));
        r.totalShares = U32(b, at + 16);
        r.floatShares = U32(b, at + 20);
        t.records.push_back(r);
    }
    return t;
}

ExRightsFile ReadExRights(const std::string& path) {
    ExRightsFile x;
    const auto b = ReadBytes(path);
    x.bytes = b.size();
    if (b.size() < 20 || b.size() % 20 != 0) {
        ADD_FAILURE() << path << " is not made of 20-byte records";
        return x;
    }
    x.headerCount = F32(b, 0);
    x.headerDate = F32(b, 12);
    x.records = b.size() / 20 - 1;
    for (size_t r = 1; r < b.size() / 20;) {
        const uint32_t code = static_cast<uint32_t>(F32(b, r * 20)) - 6'000'000;
        const uint32_t n = static_cast<uint32_t>(F32(b, r * 20 + 4));
        x.order.push_back(code);
        auto& events = x.events[code];
        for (uint32_t k = 1; k <= n && r + k < b.size() / 20; ++k) {
            const size_t at = (r + k) * 20;
            events.push_back({FullDate(F32(b, at)), F32(b, at + 4), F32(b, at + 8), F32(b, at + 12),
                              F32(b, at + 16)});
        }
        r += 1 + n;
    }
    return x;
}

LibraryFile ReadLibrary(const std::string& path) {
    LibraryFile l;
    const auto b = ReadBytes(path);
    l.bytes = b.size();
    if (b.size() < 16) {
        ADD_FAILURE() << path << " is shorter than its header";
        return l;
    }
    l.count = U24(b, 0);
    for (int i = 0; i < 3; ++i) l.weights[i] = b[9 + i];
    l.date = U32(b, 12);
    size_t at = 16;
    while (at + 6 <= b.size()) {
        data::SectorRecord s;
        const uint32_t members = b[at] | (b[at + 1] << 8);
        const uint32_t number = U24(b, at + 2);
        s.family = number & 0xFF;
        s.serial = number >> 8;
        const size_t nameLength = b[at + 5];
        if (at + 6 + nameLength + 3 * members > b.size()) {
            ADD_FAILURE() << "sector record at " << at << " runs past the end";
            break;
        }
        s.name.assign(b.begin() + static_cast<long>(at + 6),
                      b.begin() + static_cast<long>(at + 6 + nameLength));
        at += 6 + nameLength;
        for (uint32_t k = 0; k < members; ++k, at += 3) s.members.push_back(U24(b, at));
        l.sectors.push_back(std::move(s));
    }
    return l;
}

uint32_t BoardLimitPercent(uint32_t code, bool st, uint32_t date) {
    if (code >= 688'000 && code <= 689'999) return 20;
    if (code >= 300'000 && code <= 301'999) return date >= 20'200'824 ? 20 : 10;
    return st ? 5 : 10;
}

uint32_t ReferencePrice(uint32_t previousClose, const data::ExRightsEvent& e) {
    const int64_t dividend = std::lround(static_cast<double>(e.dividend) * 100);
    const int64_t rightsPrice = std::lround(static_cast<double>(e.rightsPrice) * 100);
    const int64_t bonus = std::lround(e.bonus), rights = std::lround(e.rights);
    const int64_t numerator = int64_t{previousClose} * 10 - dividend + rights * rightsPrice;
    const int64_t shares = 10 + bonus + rights;
    return static_cast<uint32_t>((2 * numerator + shares) / (2 * shares));
}

bool GeneratedMarket::IsSt(uint32_t code) const {
    const CodeRecord* r = Find(code);
    return r && r->name.compare(0, 2, "ST") == 0;
}

const CodeRecord* GeneratedMarket::Find(uint32_t code) const {
    for (const CodeRecord& r : codes.records)
        if (r.code == code) return &r;
    return nullptr;
}

void Generate(const demo::DemoOptions& options, GeneratedMarket& market) {
    market.options = options;
    auto result = demo::WriteDemoMarket(options);
    ASSERT_TRUE(result.ok()) << result.error();
    market.summary = *result;
    market.paths = data::BuildDataPaths(options.dataRoot);
    market.codes = ReadCodeTable(market.paths.codeTable);
    for (const CodeRecord& r : market.codes.records)
        market.bars[r.code] =
            ReadDayFile(data::DayFilePath(market.paths, r.code), data::IsIndexCode(r.code)).bars;
    market.exRights = ReadExRights(market.paths.exRights);
    market.library = ReadLibrary(market.paths.sectorLibrary);
    market.calendar = demo::TradingDays(market.summary.firstDate, market.summary.lastDate);
}

const GeneratedMarket& SmallMarket() {
    static GeneratedMarket market;
    static const bool generated = [] {
        demo::DemoOptions o;
        o.dataRoot = market.dir.Path() + "/market";
        o.stocks = 200;
        o.years = 3;
        o.endDate = 20210630;
        o.seed = 7;
        Generate(o, market);
        return true;
    }();
    (void)generated;
    return market;
}

}  // namespace demotest

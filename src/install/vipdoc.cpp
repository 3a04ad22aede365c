#include "install/vipdoc.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "base/endian.h"
#include "base/file_io.h"
#include "data/paths.h"
#include "install/csv_text.h"
#include "install/package.h"

namespace install {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMarkets[] = {"sh", "sz"};
constexpr std::string_view kDayFolder = "lday";
constexpr std::string_view kDayExtension = ".day";
constexpr uint32_t kVipdocShanghaiIndex = 1;  // sh000001
constexpr double kYuanPerAmountUnit = 10'000.0;
constexpr uint64_t kSharesPerLot = 100;

// The names in a folder, sorted; empty when it cannot be listed.
std::vector<fs::path> Entries(const fs::path& folder) {
    std::vector<fs::path> out;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) out.push_back(it->path());
    std::sort(out.begin(), out.end());
    return out;
}

// The sub-folder of that name, in any case.
std::optional<fs::path> Child(const fs::path& folder, std::string_view name) {
    for (const fs::path& entry : Entries(folder)) {
        std::error_code ec;
        if (LowerAscii(entry.filename().string()) == name && fs::is_directory(entry, ec))
            return entry;
    }
    return std::nullopt;
}

void ListMarket(const fs::path& root, std::string_view market, VipdocTree& tree) {
    const auto marketFolder = Child(root, market);
    const auto dayFolder = marketFolder ? Child(*marketFolder, kDayFolder) : std::nullopt;
    if (!dayFolder) return;
    for (const fs::path& entry : Entries(*dayFolder)) {
        std::error_code ec;
        if (!fs::is_regular_file(entry, ec)) continue;
        if (auto code = VipdocCode(market, entry.filename().string()))
            tree.files.push_back({entry.string(), *code});
        else
            ++tree.skippedOther;
    }
}

// A stock of the A-share boards or one of the three market indices, in our numbering.
std::optional<uint32_t> OurCode(std::string_view market, uint32_t code) {
    if (market == "sh" && code == kVipdocShanghaiIndex) return data::kShanghaiIndexCode;
    // Index numbers of the other market (sh999999) are not ours to read.
    if (code == data::kShanghaiIndexCode || !IsImportedCode(code)) return std::nullopt;
    if ((market == "sz") != data::IsShenzhenCode(code)) return std::nullopt;
    return code;
}

}  // namespace

std::optional<uint32_t> VipdocCode(std::string_view market, std::string_view fileName) {
    const std::string name = LowerAscii(fileName);
    const size_t length = market.size() + 6 + kDayExtension.size();
    if (name.size() != length || !name.starts_with(market) || !name.ends_with(kDayExtension))
        return std::nullopt;
    uint32_t code = 0;
    for (char c : std::string_view(name).substr(market.size(), 6)) {
        if (c < '0' || c > '9') return std::nullopt;
        code = code * 10 + static_cast<uint32_t>(c - '0');
    }
    return OurCode(market, code);
}

base::Result<VipdocTree> ListVipdocTree(const std::string& folder) {
    fs::path root(folder);
    if (auto inner = Child(root, "vipdoc")) root = *inner;
    if (!Child(root, kMarkets[0]) && !Child(root, kMarkets[1]))
        return base::Error{"找不到通达信数据目录（应含 sh/lday 或 sz/lday）：" + folder};
    VipdocTree tree;
    for (std::string_view market : kMarkets) ListMarket(root, market, tree);
    return tree;
}

base::Status ReadVipdocBars(const std::string& path, uint32_t source,
                            std::vector<SourceBar>& bars) {
    auto bytes = base::ReadWholeFile(path, kMaxVipdocFileBytes);
    if (!bytes) return base::Error{"文件无法读取或过大：" + path};
    if (bytes->size() % kVipdocRecordBytes != 0)
        return base::Error{"文件长度不是整条记录（最后一条记录不完整）：" + path};
    const size_t count = bytes->size() / kVipdocRecordBytes;
    bars.reserve(bars.size() + count);
    for (size_t r = 0; r < count; ++r) {
        const uint8_t* p = bytes->data() + r * kVipdocRecordBytes;
        SourceBar bar;
        bar.place = static_cast<uint32_t>(r + 1);
        bar.source = source;
        bar.date = base::ReadU32(p);
        const auto place = [&] { return PlaceText(path, PlaceKind::Record, r + 1); };
        if (!IsPlausibleDate(bar.date))
            return base::Error{"日期" + std::to_string(bar.date) + "无效：" + place()};
        bar.open = base::ReadU32(p + 4);
        bar.high = base::ReadU32(p + 8);
        bar.low = base::ReadU32(p + 12);
        bar.close = base::ReadU32(p + 16);
        const double yuan = base::ReadF32(p + 20);
        if (!std::isfinite(yuan) || yuan < 0) return base::Error{"成交额无效：" + place()};
        bar.amount =
            static_cast<uint64_t>(std::min(std::floor(yuan / kYuanPerAmountUnit + 0.5), 1e18));
        bar.volume = (uint64_t{base::ReadU32(p + 24)} + kSharesPerLot / 2) / kSharesPerLot;
        bars.push_back(bar);
    }
    return {};
}

std::string VipdocRelativePath(uint32_t code) {
    const std::string_view market = kMarkets[data::IsShenzhenCode(code) ? 1 : 0];
    const uint32_t number = code == data::kShanghaiIndexCode ? kVipdocShanghaiIndex : code;
    return std::string(market) + "/" + std::string(kDayFolder) + "/" + std::string(market) +
           data::CodeText(number) + std::string(kDayExtension);
}

std::vector<uint8_t> EncodeVipdocFile(std::span<const data::Bar> bars, size_t* saturated) {
    std::vector<uint8_t> bytes(bars.size() * kVipdocRecordBytes, 0);
    for (size_t i = 0; i < bars.size(); ++i) {
        const data::Bar& bar = bars[i];
        uint8_t* p = bytes.data() + i * kVipdocRecordBytes;
        const uint64_t shares = uint64_t{bar.volume} * kSharesPerLot;
        if (shares > UINT32_MAX && saturated) ++*saturated;
        base::WriteU32(p, bar.date);
        base::WriteU32(p + 4, bar.open);
        base::WriteU32(p + 8, bar.high);
        base::WriteU32(p + 12, bar.low);
        base::WriteU32(p + 16, bar.close);
        base::WriteF32(p + 20, static_cast<float>(bar.amount * kYuanPerAmountUnit));
        base::WriteU32(p + 24, static_cast<uint32_t>(std::min<uint64_t>(shares, UINT32_MAX)));
    }
    return bytes;
}

}  // namespace install

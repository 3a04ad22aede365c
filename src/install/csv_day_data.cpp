#include "install/csv_day_data.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <string_view>

namespace install {
namespace {

namespace fs = std::filesystem;

constexpr int kPriceExponent = 2;    // yuan to 0.01 yuan
constexpr int kVolumeExponent = -2;  // shares to lots of 100
constexpr int kAmountExponent = -4;  // yuan to 10,000 yuan
constexpr size_t kPlainColumns = 7;
constexpr std::string_view kCsvExtension = ".csv";

// The columns a header names, when it names all seven.
std::optional<DayColumns> NamedColumns(const std::vector<std::string>& fields) {
    DayColumns columns;
    std::array<std::pair<std::string_view, size_t*>, 7> wanted = {{{"date", &columns.date},
                                                                   {"open", &columns.open},
                                                                   {"high", &columns.high},
                                                                   {"low", &columns.low},
                                                                   {"close", &columns.close},
                                                                   {"volume", &columns.volume},
                                                                   {"amount", &columns.amount}}};
    for (auto& entry : wanted) {
        // Not a structured binding: clang 14 (the fuzz build) cannot capture one.
        const auto& name = entry.first;
        const auto at = std::find_if(fields.begin(), fields.end(),
                                     [&](const std::string& f) { return LowerAscii(f) == name; });
        if (at == fields.end()) return std::nullopt;
        *entry.second = static_cast<size_t>(at - fields.begin());
    }
    const auto code = std::find_if(fields.begin(), fields.end(),
                                   [](const std::string& f) { return LowerAscii(f) == "code"; });
    if (code != fields.end()) columns.code = static_cast<size_t>(code - fields.begin());
    columns.count = fields.size();
    return columns;
}

// Without names: the seven columns in order, after a code column when there are eight.
std::optional<DayColumns> PlainColumns(size_t fieldCount) {
    if (fieldCount != kPlainColumns && fieldCount != kPlainColumns + 1) return std::nullopt;
    DayColumns columns;
    if (fieldCount == kPlainColumns + 1) {
        columns.code = 0;
        for (size_t* c : {&columns.date, &columns.open, &columns.high, &columns.low, &columns.close,
                          &columns.volume, &columns.amount})
            ++*c;
    }
    columns.count = fieldCount;
    return columns;
}

std::string LineError(const std::string& path, const CsvLine& line, const std::string& why) {
    return why + "：" + PlaceText(path, PlaceKind::Line, line.number);
}

std::string NotDayData(const std::string& path) {
    return "不是日线数据CSV文件（列数或列名不符）：" + path;
}

std::optional<DayLayout> PeekLayout(const std::string& path) {
    auto file = CsvFile::Open(path);
    CsvLine first;
    if (!file || file->Next(first) != CsvRead::Line) return std::nullopt;
    return DetectDayLayout(first);
}

// Walks the data lines of a day-data file, its layout taken from the first line.
base::Status ForEachDayLine(
    const std::string& path,
    const std::function<base::Status(const DayLayout&, const CsvLine&)>& onLine) {
    std::optional<DayLayout> layout;
    bool empty = true;
    const auto isHeader = [&](const CsvLine& first) {
        layout = DetectDayLayout(first);
        return layout && layout->headerLine;
    };
    auto walked = ForEachCsvLine(path, isHeader, [&](const CsvLine& line) -> base::Status {
        if (!layout) return base::Error{NotDayData(path)};
        empty = false;
        return onLine(*layout, line);
    });
    if (walked && !layout) return base::Error{NotDayData(path)};
    if (walked && empty) return base::Error{"文件中没有数据：" + path};
    return walked;
}

// The code a file of one security is named by: "600000.csv".
std::optional<uint32_t> CodeOfName(const fs::path& path) {
    const std::string name = path.filename().string();
    if (LowerAscii(path.extension().string()) != kCsvExtension) return std::nullopt;
    return ParseSixDigitCode(std::string_view(name).substr(0, name.size() - kCsvExtension.size()));
}

}  // namespace

std::optional<DayLayout> DetectDayLayout(const CsvLine& first) {
    if (first.fields.empty()) return std::nullopt;
    const bool header = IsColumnName(first.fields[0]);
    std::optional<DayColumns> columns = header ? NamedColumns(first.fields) : std::nullopt;
    if (!columns) columns = PlainColumns(first.fields.size());
    if (!columns) return std::nullopt;
    return DayLayout{*columns, header};
}

base::Status ParseDayLine(const CsvLine& line, const DayColumns& columns, uint32_t source,
                          SourceBar& bar) {
    const auto& f = line.fields;
    if (f.size() != columns.count)
        return base::Error{"应有" + std::to_string(columns.count) + "列，实有" +
                           std::to_string(f.size()) + "列"};
    const auto date = ParseCsvDate(f[columns.date]);
    if (!date) return base::Error{"日期无效（" + f[columns.date] + "）"};
    bar = SourceBar{};
    bar.date = *date;
    bar.place = static_cast<uint32_t>(line.number);
    bar.source = source;
    const std::pair<size_t, uint64_t*> prices[] = {{columns.open, &bar.open},
                                                   {columns.high, &bar.high},
                                                   {columns.low, &bar.low},
                                                   {columns.close, &bar.close}};
    for (const auto& [column, slot] : prices) {
        const auto value = ParseScaledDecimal(f[column], kPriceExponent);
        if (!value) return base::Error{"价格无法识别（" + f[column] + "）"};
        *slot = *value;
    }
    const auto volume = ParseScaledDecimal(f[columns.volume], kVolumeExponent);
    if (!volume) return base::Error{"成交量无法识别（" + f[columns.volume] + "）"};
    const auto amount = ParseScaledDecimal(f[columns.amount], kAmountExponent);
    if (!amount) return base::Error{"成交额无法识别（" + f[columns.amount] + "）"};
    bar.volume = *volume;
    bar.amount = *amount;
    return {};
}

base::Status ReadCsvSecurityFile(const std::string& path, uint32_t source,
                                 std::vector<SourceBar>& bars) {
    return ForEachDayLine(path, [&](const DayLayout& layout, const CsvLine& line) -> base::Status {
        if (layout.columns.code) return base::Error{"文件含代码列，不是单只证券的文件：" + path};
        SourceBar bar;
        if (auto s = ParseDayLine(line, layout.columns, source, bar); !s)
            return base::Error{LineError(path, line, s.error())};
        bars.push_back(bar);
        return {};
    });
}

base::Result<std::map<uint32_t, CodeColumnSecurity>> ReadCsvCodeColumnFile(const std::string& path,
                                                                           uint32_t source) {
    std::map<uint32_t, CodeColumnSecurity> securities;
    auto walked =
        ForEachDayLine(path, [&](const DayLayout& layout, const CsvLine& line) -> base::Status {
            if (!layout.columns.code) return base::Error{"文件没有代码列：" + path};
            const size_t column = *layout.columns.code;
            const auto code =
                column < line.fields.size() ? ParseSixDigitCode(line.fields[column]) : std::nullopt;
            if (!code)
                return base::Error{LineError(path, line, "股票代码无法识别，整个文件未导入")};
            CodeColumnSecurity& security = securities[*code];
            if (!security.refusal.empty()) return {};
            SourceBar bar;
            if (auto s = ParseDayLine(line, layout.columns, source, bar); !s) {
                security.refusal = LineError(path, line, s.error());
                security.bars.clear();
                return {};
            }
            security.bars.push_back(bar);
            return {};
        });
    if (!walked) return base::Error{walked.error()};
    return securities;
}

base::Result<CsvSources> ListCsvSources(const std::string& path) {
    std::error_code ec;
    CsvSources sources;
    if (fs::is_regular_file(path, ec)) {
        const auto layout = PeekLayout(path);
        if (!layout) return base::Error{NotDayData(path)};
        if (layout->columns.code) {
            sources.files.push_back({path, std::nullopt});
            return sources;
        }
        const auto code = CodeOfName(path);
        if (!code) return base::Error{"文件名不是六位股票代码，也没有代码列：" + path};
        sources.files.push_back({path, *code});
        return sources;
    }
    if (!fs::is_directory(path, ec)) return base::Error{"找不到CSV文件或目录：" + path};
    std::vector<fs::path> entries;
    fs::directory_iterator it(path, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code kindError;
        if (it->is_regular_file(kindError) &&
            LowerAscii(it->path().extension().string()) == kCsvExtension)
            entries.push_back(it->path());
    }
    if (ec) return base::Error{"目录无法读取：" + path};
    std::sort(entries.begin(), entries.end());
    for (const fs::path& entry : entries) {
        const auto layout = PeekLayout(entry.string());
        const auto code = CodeOfName(entry);
        if (layout && layout->columns.code)
            sources.files.push_back({entry.string(), std::nullopt});
        else if (layout && code)
            sources.files.push_back({entry.string(), *code});
        else
            ++sources.skippedOther;
    }
    return sources;
}

}  // namespace install

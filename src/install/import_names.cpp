#include "install/import_names.h"

#include <algorithm>

#include "base/gbk.h"
#include "data/code_table.h"
#include "install/csv_text.h"
#include "install/import_bars.h"

namespace install {
namespace {

constexpr size_t kCodeField = 0;
constexpr size_t kNameField = 1;
constexpr size_t kInitialsField = 2;
constexpr size_t kTotalSharesField = 3;
constexpr size_t kFloatSharesField = 4;
constexpr size_t kMaxFields = 5;

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::optional<std::string> Field(const CsvLine& line, size_t index) {
    if (index >= line.fields.size() || line.fields[index].empty()) return std::nullopt;
    return line.fields[index];
}

// Reads one line into entry; the error says what is wrong with it.
base::Status ParseNamesLine(const CsvLine& line, NamedCode& entry) {
    if (line.fields.size() < 2 || line.fields.size() > kMaxFields)
        return base::Error{"应有2至5列，实有" + std::to_string(line.fields.size()) + "列"};
    const auto code = ParseSixDigitCode(line.fields[kCodeField]);
    if (!code) return base::Error{"股票代码不是六位数字"};
    entry.code = *code;
    const std::string& name = line.fields[kNameField];
    if (HasControlCharacter(name)) return base::Error{"名称含控制字符"};
    entry.name = base::Utf8ToGbk(name);
    if (auto initials = Field(line, kInitialsField)) {
        if (initials->size() > data::kCodeInitialsBytes ||
            !std::all_of(initials->begin(), initials->end(), IsAsciiLetter))
            return base::Error{"拼音首字母应为至多4个英文字母（" + *initials + "）"};
        std::transform(initials->begin(), initials->end(), initials->begin(),
                       [](char c) { return static_cast<char>(c & ~0x20); });
        entry.initials = *initials;
    }
    const std::pair<size_t, std::optional<uint32_t>*> shares[] = {
        {kTotalSharesField, &entry.totalShares}, {kFloatSharesField, &entry.floatShares}};
    for (const auto& [index, slot] : shares) {
        const auto text = Field(line, index);
        if (!text) continue;
        const auto value = ParseScaledDecimal(*text, 0);
        if (!value || *value > UINT32_MAX) return base::Error{"股本无法识别（" + *text + "）"};
        *slot = static_cast<uint32_t>(*value);
    }
    return {};
}

}  // namespace

base::Result<NamesFile> ReadNamesFile(const std::string& path) {
    NamesFile names;
    const auto isHeader = [](const CsvLine& first) {
        return IsColumnName(first.fields[kCodeField]);
    };
    auto walked = ForEachCsvLine(path, isHeader, [&](const CsvLine& line) -> base::Status {
        NamedCode entry;
        if (auto s = ParseNamesLine(line, entry); !s)
            names.problems.push_back(
                {entry.code,
                 "名称文件" + s.error() + "：" + PlaceText(path, PlaceKind::Line, line.number)});
        else
            names.entries.push_back(std::move(entry));
        return {};
    });
    if (!walked) return base::Error{"名称文件未能读取：" + walked.error()};
    return names;
}

}  // namespace install

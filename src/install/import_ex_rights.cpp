// The ex-rights CSV merged event by event into the ex-rights table.
#include "base/dates.h"
#include "data/ex_rights.h"
#include "data/file_formats.h"
#include "install/csv_text.h"
#include "install/ex_rights_merge.h"
#include "install/import.h"
#include "install/import_bars.h"
#include "install/tables.h"

namespace install {
namespace {

constexpr size_t kCodeField = 0;
constexpr size_t kDateField = 1;
constexpr size_t kFirstNumberField = 2;
constexpr size_t kMaxFields = 6;

// Reads one line into event; the error says what is wrong with it.
base::Status ParseEventLine(const CsvLine& line, StoredEvent& event) {
    const auto& f = line.fields;
    if (f.size() < kFirstNumberField || f.size() > kMaxFields)
        return base::Error{"应有2至6列，实有" + std::to_string(f.size()) + "列"};
    const auto code = ParseSixDigitCode(f[kCodeField]);
    if (!code) return base::Error{"股票代码不是六位数字"};
    const auto date = ParseCsvDate(f[kDateField]);
    if (!date) return base::Error{"除权日期无效（" + f[kDateField] + "）"};
    // The table keeps YYMMDD and reads it back as 1980-2079.
    const uint32_t shortDate = data::ExRightsShortDate(*date);
    if (data::ExRightsFullDate(shortDate) != *date)
        return base::Error{"除权日期不在除权表可存的1980至2079年内（" + f[kDateField] + "）"};
    event.code = *code;
    event.date = static_cast<float>(shortDate);
    float* numbers[] = {&event.bonus, &event.dividend, &event.rights, &event.rightsPrice};
    for (size_t i = 0; i < std::size(numbers); ++i) {
        const size_t field = kFirstNumberField + i;
        const auto value =
            field < f.size() ? ParseDecimalFloat(f[field]) : std::optional<float>(0.0f);
        if (!value) return base::Error{"送派配数值无法识别（" + f[field] + "）"};
        *numbers[i] = *value;
    }
    return {};
}

}  // namespace

base::Result<ExRightsImportReport> ImportExRights(data::Workspace& workspace,
                                                  data::MarketState& market,
                                                  const std::string& csv) {
    ExRightsImportReport report;
    std::vector<StoredEvent> events;
    const auto isHeader = [](const CsvLine& first) {
        return IsColumnName(first.fields[kCodeField]);
    };
    auto walked = ForEachCsvLine(csv, isHeader, [&](const CsvLine& line) -> base::Status {
        StoredEvent event;
        if (auto s = ParseEventLine(line, event); !s)
            report.problems.push_back("除权文件" + s.error() + "，该行未导入：" +
                                      PlaceText(csv, PlaceKind::Line, line.number));
        else
            events.push_back(event);
        return {};
    });
    if (!walked) return base::Error{"除权文件未导入，" + walked.error()};
    auto merge = MergeExRightsEvents(workspace, market, events);
    if (!merge) return base::Error{merge.error()};
    report.changed = merge->changed;
    report.unchanged = merge->unchanged;
    report.problems.insert(report.problems.end(), merge->problems.begin(), merge->problems.end());
    return report;
}

}  // namespace install

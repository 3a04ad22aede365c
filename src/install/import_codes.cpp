// The code-table side of an import: records for new codes, names file fields
// for codes already there.
#include <algorithm>
#include <map>

#include "base/gbk.h"
#include "data/code_table.h"
#include "install/import.h"
#include "install/tables.h"

namespace install {
namespace {

struct IndexName {
    uint32_t code;
    const char* name;  // UTF-8
    const char* initials;
};
// The usual names of the indices, for a names file that does not give them.
constexpr IndexName kIndexNames[] = {{data::kShanghaiIndexCode, "上证指数", "SZZS"},
                                     {data::kShenzhenIndexCode, "深证成指", "SZCZ"},
                                     {data::kChiNextIndexCode, "创业板指", "CYBZ"}};

data::CodeEntry DefaultEntry(uint32_t code) {
    for (const IndexName& index : kIndexNames)
        if (index.code == code) return {code, base::Utf8ToGbk(index.name), index.initials, 0, 0};
    return {code, data::CodeText(code), "", 0, 0};
}

// A new code's record: what the names file gives over the default.
data::CodeRecordWords NewRecord(uint32_t code, const NamedCode* named) {
    data::CodeEntry entry = DefaultEntry(code);
    if (named) {
        if (!named->name.empty()) entry.name = named->name;
        if (named->initials) entry.initials = *named->initials;
        entry.totalShares = named->totalShares.value_or(0);
        entry.floatShares = named->floatShares.value_or(0);
    }
    return data::PackCodeRecord(entry);
}

// An existing record with the fields the names file gives replaced.
data::CodeRecordWords UpdatedRecord(data::CodeRecordWords record, const NamedCode& named) {
    const data::CodeRecordWords given =
        data::PackCodeRecord({named.code, named.name, named.initials.value_or(""),
                              named.totalShares.value_or(0), named.floatShares.value_or(0)});
    if (!named.name.empty()) {
        record[data::kCodeRecordName] = given[data::kCodeRecordName];
        record[data::kCodeRecordName + 1] = given[data::kCodeRecordName + 1];
    }
    if (named.initials) record[data::kCodeRecordInitials] = given[data::kCodeRecordInitials];
    if (named.totalShares)
        record[data::kCodeRecordTotalShares] = given[data::kCodeRecordTotalShares];
    if (named.floatShares)
        record[data::kCodeRecordFloatShares] = given[data::kCodeRecordFloatShares];
    return record;
}

}  // namespace

base::Status ApplyImportedCodes(data::Workspace& workspace, data::MarketState& market,
                                const ImportReport& report, CodeImportCounts* counts) {
    std::map<uint32_t, const NamedCode*> named;  // the last entry of a code counts
    for (const NamedCode& entry : report.names) named[entry.code] = &entry;
    std::vector<uint32_t> codes = report.importedCodes;
    for (const auto& [code, entry] : named) codes.push_back(code);
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    std::vector<uint32_t> imported = report.importedCodes;
    std::sort(imported.begin(), imported.end());

    const data::CodeTable table(workspace.CodeTableRegion());
    std::vector<data::CodeRecordWords> records;
    std::vector<uint32_t> newCodes;
    CodeImportCounts made;
    for (uint32_t code : codes) {
        const auto name = named.find(code);
        const NamedCode* entry = name == named.end() ? nullptr : name->second;
        if (const size_t offset = table.FindCode(code); offset != 0) {
            if (!entry) continue;
            const data::CodeRecordWords old = table.RecordAt(offset);
            const data::CodeRecordWords updated = UpdatedRecord(old, *entry);
            if (updated == old) continue;
            records.push_back(updated);
            ++made.changed;
        } else if (std::binary_search(imported.begin(), imported.end(), code)) {
            // A name alone makes no record: the code has no day file to show.
            records.push_back(NewRecord(code, entry));
            newCodes.push_back(code);
        }
    }
    if (records.empty()) {
        if (counts) *counts = made;
        return {};
    }
    auto merge = MergeCodeRecords(workspace, market, records);
    if (!merge) return base::Error{merge.error()};
    made.added = newCodes.size() - merge->skippedCodes.size();
    if (counts) *counts = made;
    if (!merge->problems.empty()) {
        std::string text;
        for (const std::string& problem : merge->problems)
            text += (text.empty() ? "" : "\n") + problem;
        return base::Error{text};
    }
    return {};
}

}  // namespace install

#include "demo/packages.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "base/file_io.h"
#include "data/capacities.h"
#include "data/code_table.h"
#include "data/ex_rights.h"
#include "data/file_formats.h"
#include "data/paths.h"
#include "demo/calendar.h"
#include "install/csv_export.h"
#include "install/import_bars.h"
#include "install/package.h"
#include "install/vipdoc.h"

namespace demo {
namespace {

namespace fs = std::filesystem;

// Far above any demo day file; a reader never takes more.
constexpr size_t kMaxDayFileBytes = 64u << 20;

base::Status WriteBytes(const std::string& path, std::span<const uint8_t> bytes) {
    return base::WriteFileAtomic(path, bytes, base::Durability::NoFlush);
}

base::Status WriteText(const std::string& path, const std::string& text) {
    return WriteBytes(path, {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

// Sample data is never written over a folder of other files; earlier sample
// data, known by its marker, is replaced whole.
base::Status PreparePackagesFolder(const std::string& folder, const std::string& dataRoot) {
    const fs::path root(folder);
    std::error_code ec;
    if (fs::exists(root, ec) && fs::exists(dataRoot, ec) && fs::equivalent(root, dataRoot, ec))
        return base::Error{"the packages folder must not be the data folder"};
    if (fs::exists(root, ec)) {
        if (!fs::is_directory(root, ec)) return base::Error{folder + " is not a folder"};
        if (!fs::exists(root / kPackagesMarkerFile, ec)) {
            if (!fs::is_empty(root, ec))
                return base::Error{folder +
                                   " already holds files and is not demo sample data: "
                                   "give a new or empty folder"};
        } else {
            for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
                std::error_code removed;
                fs::remove_all(it->path(), removed);
                if (removed) return base::Error{"cannot remove " + it->path().string()};
            }
        }
    }
    for (const char* sub : {"/vipdoc/sh/lday", "/vipdoc/sz/lday", "/csv"})
        if (auto s = base::MakeFolders(folder + sub); !s) return s;
    return WriteText(folder + "/" + kPackagesMarkerFile, "bkqy demo sample data\n");
}

base::Result<std::vector<data::CodeEntry>> ReadCodeEntries(const std::string& path) {
    auto bytes = base::ReadWholeFile(path, data::kCodeTableWords * 4);
    if (!bytes) return base::Error{"cannot read " + path};
    std::vector<uint32_t> words(data::kCodeTableWords, 0);
    std::memcpy(words.data(), bytes->data(), bytes->size());
    const data::CodeTable table(words);
    std::vector<data::CodeEntry> entries;
    for (size_t i = 0; i < table.Count(); ++i) {
        const size_t at = data::CodeTable::RecordOffset(i);
        const auto initials = table.Initials(at);
        const auto initialsEnd = std::find(initials.begin(), initials.end(), '\0');
        const data::CodeRecordWords record = table.RecordAt(at);
        entries.push_back(data::CodeEntry{record[data::kCodeRecordCode], table.NameAt(at),
                                          std::string(initials.begin(), initialsEnd),
                                          record[data::kCodeRecordTotalShares],
                                          record[data::kCodeRecordFloatShares]});
    }
    return entries;
}

// What the cut does with one security's day file.
struct Cut {
    std::vector<data::Bar> bars;      // the whole file
    std::vector<uint32_t> lateWords;  // records after the cut date
    bool newListing = false;          // every bar after the cut date
};

base::Result<Cut> CutDayFile(const std::string& path, uint32_t code, uint32_t cutDate) {
    auto bytes = base::ReadWholeFile(path, kMaxDayFileBytes);
    if (!bytes || bytes->size() < data::kDayHeaderBytes) return base::Error{"cannot read " + path};
    const size_t width = install::RecordWordsOf(code);
    const size_t count = (bytes->size() - data::kDayHeaderBytes) / (width * 4);
    std::vector<uint32_t> words(count * width);
    std::memcpy(words.data(), bytes->data() + data::kDayHeaderBytes, words.size() * 4);
    Cut cut;
    size_t kept = 0;
    for (size_t r = 0; r < count; ++r) {
        const std::span<const uint32_t> record(words.data() + r * width, width);
        cut.bars.push_back(install::RecordValues(code, record));
        if (record[0] <= cutDate) ++kept;
    }
    cut.lateWords.assign(words.begin() + static_cast<ptrdiff_t>(kept * width), words.end());
    cut.newListing = count > 0 && kept == 0;
    if (cut.newListing) {
        std::error_code ec;
        if (!fs::remove(path, ec)) return base::Error{"cannot remove " + path};
    } else if (kept < count) {
        bytes->resize(data::kDayHeaderBytes + kept * width * 4);
        if (auto s = WriteBytes(path, *bytes); !s) return base::Error{s.error()};
    }
    return cut;
}

// The events of the listed codes, split at the cut date.
struct EventSplit {
    std::vector<data::ExRightsStock> early;  // the data folder keeps these
    std::vector<install::CodeEvent> late;    // CQADD.TXT
    std::vector<install::CodeEvent> all;     // exrights.csv
};

base::Result<EventSplit> SplitEvents(const std::string& path,
                                     std::span<const data::CodeEntry> entries, uint32_t cutDate) {
    auto bytes = base::ReadWholeFile(path, data::kExRightsBufferBytes);
    if (!bytes) return base::Error{"cannot read " + path};
    const data::ExRightsTable table(*bytes);
    EventSplit split;
    for (const data::CodeEntry& entry : entries) {
        const size_t at = table.FindEntry(entry.code);
        data::ExRightsStock early{entry.code, {}};
        for (uint32_t k = 0; at != 0 && k < table.EventCount(at); ++k) {
            const data::ExRightsEvent event = table.EventAt(at, k);
            split.all.push_back({entry.code, event});
            if (event.date <= cutDate)
                early.events.push_back(event);
            else
                split.late.push_back({entry.code, event});
        }
        if (!early.events.empty()) split.early.push_back(std::move(early));
    }
    return split;
}

}  // namespace

base::Result<PackagesSummary> WriteDemoPackages(const DemoOptions& options,
                                                const std::string& packagesDir,
                                                DemoSummary* market,
                                                const std::function<void()>& whole) {
    if (auto s = CheckOptions(options); !s) return base::Error{s.error()};
    if (auto s = PreparePackagesFolder(packagesDir, options.dataRoot); !s)
        return base::Error{s.error()};
    auto written = WriteDemoMarket(options);
    if (!written) return base::Error{written.error()};
    if (market) *market = *written;
    if (whole) whole();
    const std::vector<uint32_t> calendar = TradingDays(written->firstDate, written->lastDate);
    if (calendar.size() <= kPackageTradingDays)
        return base::Error{"the market has too few trading days for a package"};

    PackagesSummary summary;
    summary.cutDate = calendar[calendar.size() - kPackageTradingDays - 1];
    summary.firstDate = calendar[calendar.size() - kPackageTradingDays];
    summary.lastDate = calendar.back();
    const data::DataPaths paths = data::BuildDataPaths(options.dataRoot);
    auto entries = ReadCodeEntries(paths.codeTable);
    if (!entries) return base::Error{entries.error()};
    auto events = SplitEvents(paths.exRights, *entries, summary.cutDate);
    if (!events) return base::Error{events.error()};

    std::vector<install::BlockToWrite> blocks;
    std::vector<data::CodeEntry> listed;
    std::vector<data::CodeEntry> newListings;
    size_t saturated = 0;
    for (const data::CodeEntry& entry : *entries) {
        auto cut = CutDayFile(data::DayFilePath(paths, entry.code), entry.code, summary.cutDate);
        if (!cut) return base::Error{cut.error()};
        const auto vipdoc = install::EncodeVipdocFile(cut->bars, &saturated);
        if (auto s = WriteBytes(packagesDir + "/vipdoc/" + install::VipdocRelativePath(entry.code),
                                vipdoc);
            !s)
            return base::Error{s.error()};
        const std::string csvPath = packagesDir + "/csv/" + data::CodeText(entry.code) + ".csv";
        if (auto s = WriteText(csvPath, install::DayCsvText(cut->bars)); !s)
            return base::Error{s.error()};
        ++summary.securities;
        // Index blocks in the long form, stock blocks in the short one.
        if (!cut->lateWords.empty())
            blocks.push_back({entry.code,
                              data::IsIndexCode(entry.code) ? install::BlockForm::Long
                                                            : install::BlockForm::Short,
                              std::move(cut->lateWords)});
        (cut->newListing ? newListings : listed).push_back(entry);
    }
    summary.blocks = static_cast<uint32_t>(blocks.size());
    summary.newListings = static_cast<uint32_t>(newListings.size());
    summary.exRightsEvents = static_cast<uint32_t>(events->late.size());
    summary.saturatedVolumes = static_cast<uint32_t>(saturated);

    // The data folder's tables as they stood on the cut date: older than the
    // additions, so an install takes them.
    if (auto s = WriteBytes(paths.codeTable, data::EncodeCodeTable(summary.cutDate, listed)); !s)
        return base::Error{s.error()};
    if (auto s =
            WriteBytes(paths.exRights, data::EncodeExRightsTable(summary.cutDate, events->early));
        !s)
        return base::Error{s.error()};

    summary.packageName =
        "DAY" + std::to_string(summary.firstDate) + "-" + std::to_string(summary.lastDate) + ".TXT";
    const std::string dir = packagesDir + "/";
    const auto library = base::ReadWholeFile(paths.sectorLibrary, data::kSectorLibraryBytes);
    if (!library) return base::Error{"cannot read " + paths.sectorLibrary};
    const base::Status statuses[] = {
        WriteBytes(dir + summary.packageName, install::EncodePackage(blocks)),
        WriteBytes(dir + "CODEADD.TXT", data::EncodeCodeTable(summary.lastDate, newListings)),
        WriteText(dir + "CQADD.TXT", install::ExRightsAdditionText(events->late)),
        WriteText(dir + "names.csv", install::NamesCsvText(*entries)),
        WriteText(dir + "sectors.csv", install::SectorsCsvText(*library)),
        WriteText(dir + "exrights.csv", install::ExRightsCsvText(events->all)),
    };
    for (const base::Status& s : statuses)
        if (!s) return base::Error{s.error()};
    (void)base::SyncFileSystem(packagesDir);
    (void)base::SyncFileSystem(options.dataRoot);
    return summary;
}

}  // namespace demo

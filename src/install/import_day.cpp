// Importing day data: every security of the source read, converted, checked
// and merged into its day file on its own, so one bad security never keeps
// the others out and never leaves its own file half changed.
#include <algorithm>
#include <map>

#include "base/file_io.h"
#include "install/csv_day_data.h"
#include "install/day_merge.h"
#include "install/import.h"
#include "install/import_bars.h"
#include "install/import_names.h"
#include "install/package.h"
#include "install/vipdoc.h"

namespace install {
namespace {

// One security's bars: files still to read when its turn comes, and bars
// already read from files holding several securities.
struct ImportJob {
    uint32_t code = 0;
    ImportSource source = ImportSource::Vipdoc;
    std::vector<SourceFile> files;
    std::vector<bool> pending;  // by file: read when the job runs
    std::vector<SourceBar> bars;
    std::string refusal;  // found while listing
};

ImportJob& JobOf(std::map<uint32_t, ImportJob>& jobs, uint32_t code, ImportSource source) {
    ImportJob& job = jobs[code];
    job.code = code;
    job.source = source;
    return job;
}

base::Status ListVipdocJobs(const std::string& path, std::map<uint32_t, ImportJob>& jobs,
                            ImportReport& report) {
    auto tree = ListVipdocTree(path);
    if (!tree) return base::Error{tree.error()};
    report.skippedOther += tree->skippedOther;
    for (const VipdocFile& file : tree->files) {
        ImportJob& job = JobOf(jobs, file.code, ImportSource::Vipdoc);
        job.files.push_back({file.path, PlaceKind::Record});
        job.pending.push_back(true);
    }
    return {};
}

// The securities of a file with a code column, read now: their bars join
// those of any other file of the same code.
void AddCodeColumnFile(const std::string& path, std::map<uint32_t, ImportJob>& jobs,
                       ImportReport& report) {
    auto securities = ReadCsvCodeColumnFile(path, 0);
    if (!securities) {
        report.refused.push_back({0, securities.error()});
        return;
    }
    for (auto& [code, security] : *securities) {
        if (!IsImportedCode(code)) {
            ++report.skippedOther;
            continue;
        }
        ImportJob& job = JobOf(jobs, code, ImportSource::Csv);
        const auto source = static_cast<uint32_t>(job.files.size());
        job.files.push_back({path, PlaceKind::Line});
        job.pending.push_back(false);
        if (job.refusal.empty()) job.refusal = security.refusal;
        for (SourceBar& bar : security.bars) bar.source = source;
        job.bars.insert(job.bars.end(), security.bars.begin(), security.bars.end());
    }
}

base::Status ListCsvJobs(const std::string& path, std::map<uint32_t, ImportJob>& jobs,
                         ImportReport& report) {
    auto sources = ListCsvSources(path);
    if (!sources) return base::Error{sources.error()};
    report.skippedOther += sources->skippedOther;
    for (const CsvSource& file : sources->files) {
        if (!file.code) {
            AddCodeColumnFile(file.path, jobs, report);
        } else if (!IsImportedCode(*file.code)) {
            ++report.skippedOther;
        } else {
            ImportJob& job = JobOf(jobs, *file.code, ImportSource::Csv);
            job.files.push_back({file.path, PlaceKind::Line});
            job.pending.push_back(true);
        }
    }
    return {};
}

// The job's day-file records, or why the security is refused.
base::Result<std::vector<uint32_t>> JobRecords(ImportJob& job) {
    if (!job.refusal.empty()) return base::Error{job.refusal};
    for (size_t i = 0; i < job.files.size(); ++i) {
        if (!job.pending[i]) continue;
        const auto source = static_cast<uint32_t>(i);
        const base::Status read = job.source == ImportSource::Vipdoc
                                      ? ReadVipdocBars(job.files[i].path, source, job.bars)
                                      : ReadCsvSecurityFile(job.files[i].path, source, job.bars);
        if (!read) return base::Error{read.error()};
    }
    return BuildDayRecords(job.code, job.bars, job.files);
}

void RunJob(const data::DataPaths& paths, ImportJob& job, MergeScratch& scratch,
            ImportReport& report) {
    auto records = JobRecords(job);
    job.bars = {};  // the records hold what is needed now
    if (!records) {
        report.refused.push_back({job.code, records.error()});
        return;
    }
    const MergeResult merged = MergeDayRecords(paths, job.code, *records, scratch);
    switch (merged.outcome) {
        case MergeOutcome::Skipped:
            report.refused.push_back({job.code, merged.reason});
            return;
        case MergeOutcome::Created:
            ++report.created;
            break;
        case MergeOutcome::Unchanged:
            ++report.unchanged;
            break;
        case MergeOutcome::Merged:
            break;
    }
    ++report.imported;
    report.importedCodes.push_back(job.code);
    const uint32_t last = (*records)[records->size() - RecordWordsOf(job.code)];
    report.lastDate = std::max(report.lastDate, last);
}

}  // namespace

ImportReport ImportDayData(const data::DataPaths& paths, const ImportOptions& options,
                           ImportProgress& progress) {
    ImportReport report;
    progress.done = 0;
    progress.total = 0;
    if (!options.namesFile.empty()) {
        // Names are read first: a names file that cannot be read stops the
        // import before any day file changes.
        auto names = ReadNamesFile(options.namesFile);
        if (!names) {
            report.refused.push_back({0, names.error()});
            return report;
        }
        report.names = std::move(names->entries);
        report.refused = std::move(names->problems);
    }
    std::map<uint32_t, ImportJob> jobs;
    const base::Status listed = options.source == ImportSource::Vipdoc
                                    ? ListVipdocJobs(options.path, jobs, report)
                                    : ListCsvJobs(options.path, jobs, report);
    if (!listed) {
        report.refused.push_back({0, listed.error()});
        return report;
    }
    progress.total = static_cast<uint32_t>(jobs.size());
    MergeScratch scratch;
    for (auto& [code, job] : jobs) {
        RunJob(paths, job, scratch, report);
        ++progress.done;
        if (progress.stopRequested.load()) {
            report.stopped = progress.done < progress.total;
            break;
        }
    }
    // Day files are written without waiting for the disk one by one.
    if (report.imported > report.unchanged) (void)base::SyncFileSystem(paths.root);
    return report;
}

}  // namespace install

// Start-up of the data layer: the single-instance lock, the ten buffers, the
// data paths and the loading of every table, with the messages the user sees.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "base/instance_lock.h"
#include "base/prompter.h"
#include "data/day_files.h"
#include "data/ex_rights.h"
#include "data/examples.h"
#include "data/paths.h"
#include "data/sector_library_file.h"
#include "data/settings.h"
#include "data/workspace.h"

namespace data {

// Everything start-up loads besides the buffer images, read by the rest of
// the program.
struct MarketState {
    DataPaths paths;
    uint32_t codeTableDate = 0;        // YYMMDD when the stored date is YYYYMMDD
    bool codeTableLoaded = false;
    ExRightsTable exRights;            // a view of the ex-rights buffer
    bool sectorLibraryLoaded = false;
    size_t sectorLibraryBytes = 0;
    size_t sectorsSkipped = 0;         // sectors left out at load (CheckSectorLibrary)
    SectorLibraryHeader sectorHeader;  // date and the three ranking weights
    Settings settings;
    bool settingsCreated = false;
    ExampleTable examples;
    uint32_t exampleCount = 0;         // 0 missing file, 0xFFFF none stored
    std::string todayShort;            // YYMMDD, names files saved today
    IndexState index;
    SimulationDate simulation;
};

enum class StartupOutcome { Ready, Quit };

// The tables a start-up loads besides the buffers and the market index, which
// it always loads. A part left out stays as a MarketState starts, with no
// message: a command that never reads a table neither loads it nor complains
// of its absence (nor creates a missing settings file).
struct StartupParts {
    bool codeTable = true;
    bool exRights = true;
    bool sectorLibrary = true;
    bool settings = true;
    bool examples = true;
};
// The window: everything.
inline constexpr StartupParts kEveryPart{};
// Scans, picks and estimates: codes, events and sectors, without the
// window's settings and picking examples.
inline constexpr StartupParts kAnalysisParts{.settings = false, .examples = false};

// The lock that refuses a second copy on the same data root; shows
// "《板块擎宇》已经在运行" when another copy holds it, and what failed when the
// lock file cannot be created (a read-only folder, no permission). `held`,
// when given, tells the two apart: true only when another copy holds it.
// Once held, the temporaries a killed write left in the root, MKDAT, the day
// folders and XG are removed.
std::optional<base::InstanceLock> AcquireSingleInstance(const DataPaths& paths,
                                                        base::Prompter& prompter,
                                                        bool* held = nullptr);

// Allocates the buffers (unless already allocated) and loads, in order: the
// code table, the ex-rights table, the sector library, the settings file, the
// example file (each when among `parts`), today's date and the market index.
// Missing optional files give their message and an empty table; a failed
// allocation or a missing market index gives its message and Quit.
StartupOutcome RunStartup(Workspace& workspace, const std::string& dataRoot,
                          base::Prompter& prompter, std::time_t now, MarketState& state,
                          const StartupParts& parts = kEveryPart);

// YYMMDD of the local date of `now`.
std::string ShortDate(std::time_t now);

// The message for sectors CheckSectorLibrary left out: the file, how many
// were kept and left out, and the first ten problems.
std::string SectorProblemsText(const DataPaths& paths, const SectorLibraryCheck& check);

// Why start-up found no market index: each index file's real path and what
// is wrong with it ("未找到" only when it does not exist).
std::string MissingIndexMessage(const DataPaths& paths);

}  // namespace data

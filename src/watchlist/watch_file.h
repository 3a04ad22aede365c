// Watch-list files: XG/ZX<yymmdd>-<nnn>.TXT, GBK text with CR LF line ends,
// "擎宇软件自选股共" N "个:" and then one line per stock, code and name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/prompter.h"
#include "data/code_table.h"
#include "data/paths.h"
#include "watchlist/watch_list.h"

namespace watchlist {

inline constexpr std::string_view kWatchFileHead = "擎宇软件自选股共";
inline constexpr std::string_view kTooManyFiles = "今日生成的自选股文件太多，请先删除一些文件再保存。";
inline constexpr std::string_view kSaveFailed = "保存自选股文件失败,可能\\XG目录被删除。";
inline constexpr std::string_view kOverwriteQuestion = "当前自选股将被覆盖，是否继续？";
inline constexpr std::string_view kDamagedFile = "非擎宇自选股文件，或者文件已被破坏。";
inline constexpr int kMaxFileSerial = 999;

// The file's whole text (GBK).
std::string WatchFileText(const std::vector<uint32_t>& codes, const data::CodeTable& table);

// The first free name "ZX" + yymmdd + "-" + nnn + ".TXT" in the XG folder
// (nnn from 001 to 999); nothing when all are taken.
std::optional<std::string> FreeWatchFileName(const data::DataPaths& paths,
                                             std::string_view todayShort);

// 保存: asks, then writes the list into the XG folder (made when missing).
// Nothing for an empty list, a No, a day with all names taken or a failed
// write (each but the first two says so); else the path written.
std::optional<std::string> SaveWatchList(const WatchList& list, const data::DataPaths& paths,
                                         std::string_view todayShort,
                                         const data::CodeTable& table, base::Prompter& prompter);

// The codes of a watch-list file, at most kWatchLimit. Nothing when the file
// is not one of ours or ends before the stocks it declares.
std::optional<std::vector<uint32_t>> ReadWatchFile(const std::string& path);

enum class LoadOutcome { Cancelled, Refused, Loaded };

// 载入: asks before a list with stocks is replaced, lets the user choose a
// file in the XG folder, and takes its stocks in file order. A damaged file
// is refused with its message and the list stays as it was.
LoadOutcome LoadWatchList(WatchList& list, const data::DataPaths& paths, base::Prompter& prompter);

// The same with the file already chosen (the question is still asked).
LoadOutcome LoadWatchFile(WatchList& list, const std::string& path, base::Prompter& prompter);

}  // namespace watchlist

#include "watchlist/watch_file.h"

#include <cstdio>

#include "base/file_io.h"
#include "base/gbk.h"
#include "data/stock_list_file.h"

namespace watchlist {
namespace {

void Tell(base::Prompter& prompter, std::string_view text) {
    prompter.ShowMessage(std::string(text), std::string(kCaption));
}

}  // namespace

std::string WatchFileText(const std::vector<uint32_t>& codes, const data::CodeTable& table) {
    std::string text =
        base::Utf8ToGbk(std::string(kWatchFileHead) + std::to_string(codes.size()) + "个:");
    for (uint32_t code : codes) text += "\r\n" + data::CodeText(code) + " " + table.StockName(code);
    return text + "\r\n";
}

std::optional<std::string> FreeWatchFileName(const data::DataPaths& paths,
                                             std::string_view todayShort) {
    for (int serial = 1; serial <= kMaxFileSerial; ++serial) {
        char number[8];
        std::snprintf(number, sizeof number, "%03d", serial);
        std::string name = "ZX" + std::string(todayShort) + "-" + number + ".TXT";
        if (!base::FileExists(paths.listFolder + name)) return name;
    }
    return std::nullopt;
}

std::optional<std::string> SaveWatchList(const WatchList& list, const data::DataPaths& paths,
                                         std::string_view todayShort,
                                         const data::CodeTable& table, base::Prompter& prompter) {
    if (list.Count() == 0) return std::nullopt;
    const auto name = FreeWatchFileName(paths, todayShort);
    if (!name) {
        Tell(prompter, kTooManyFiles);
        return std::nullopt;
    }
    if (!prompter.AskYesNo("将自选股以文件名：" + *name + "保存(在当前文件夹的\\XG中，以日期命名)",
                           std::string(kCaption)))
        return std::nullopt;
    const std::string text = WatchFileText(list.Codes(), table);
    const std::string path = paths.listFolder + *name;
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()),
                                         text.size());
    if (!data::MakeListFolder(paths).ok() || !base::WriteFileAtomic(path, bytes).ok()) {
        Tell(prompter, kSaveFailed);
        return std::nullopt;
    }
    return path;
}

std::optional<std::vector<uint32_t>> ReadWatchFile(const std::string& path) {
    return data::ReadStockListFile(path, kWatchLimit);
}

namespace {

bool MayReplace(const WatchList& list, base::Prompter& prompter) {
    return list.Count() == 0 ||
           prompter.AskYesNo(std::string(kOverwriteQuestion), std::string(kCaption));
}

// The whole file is read before the list is touched: a damaged one loses nothing.
LoadOutcome TakeFile(WatchList& list, const std::string& path, base::Prompter& prompter) {
    auto codes = ReadWatchFile(path);
    if (!codes) {
        Tell(prompter, kDamagedFile);
        return LoadOutcome::Refused;
    }
    list.Replace(std::move(*codes));
    return LoadOutcome::Loaded;
}

}  // namespace

LoadOutcome LoadWatchFile(WatchList& list, const std::string& path, base::Prompter& prompter) {
    if (!MayReplace(list, prompter)) return LoadOutcome::Cancelled;
    return TakeFile(list, path, prompter);
}

LoadOutcome LoadWatchList(WatchList& list, const data::DataPaths& paths, base::Prompter& prompter) {
    if (!MayReplace(list, prompter)) return LoadOutcome::Cancelled;
    const auto chosen = prompter.ChooseFile(paths.listFolder + "*.TXT");
    if (!chosen) return LoadOutcome::Cancelled;
    return TakeFile(list, *chosen, prompter);
}

}  // namespace watchlist

// bkqy-cli watch: the watch list kept in the settings file, listed and edited
// with the window's rules and messages.
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "base/gbk.h"
#include "cli/command_prompter.h"
#include "cli/dispatch.h"
#include "cli/json.h"
#include "data/capacities.h"
#include "data/code_table.h"
#include "data/settings.h"
#include "data/startup.h"
#include "watchlist/watch_file.h"

namespace cli {
namespace {

void PrintList(const watchlist::WatchList& list, const data::CodeTable& table, OutputFormat format) {
    if (format == OutputFormat::Json) {
        JsonWriter json;
        json.BeginObject().Field("count", list.Count()).Key("stocks").BeginArray();
        for (uint32_t code : list.Codes())
            json.BeginObject()
                .Field("code", data::CodeText(code))
                .Field("name", base::GbkToUtf8(table.StockName(code)))
                .EndObject();
        std::fputs(json.EndArray().EndObject().Line().c_str(), stdout);
        return;
    }
    std::printf("%s\n", watchlist::CaptionText(list.Count()).c_str());
    for (uint32_t code : list.Codes())
        std::printf("%s %s\n", data::CodeText(code).c_str(), base::GbkToUtf8(table.StockName(code)).c_str());
}

// The words after the options: the action and its argument.
struct Action {
    std::string verb;
    std::string argument;
};

std::optional<Action> ReadAction(const std::vector<std::string>& words) {
    if (words.empty()) return std::nullopt;
    const std::string& verb = words[0];
    const bool takesArgument = verb == "add" || verb == "remove" || verb == "load";
    if (verb != "list" && verb != "save" && !takesArgument) return std::nullopt;
    if (words.size() != (takesArgument ? 2u : 1u)) return std::nullopt;
    return Action{verb, takesArgument ? words[1] : std::string()};
}

// Carries out an editing action on the list; the exit code when it fails.
std::optional<int> Edit(const Invocation& in, const Action& action, watchlist::WatchList& list,
                        const data::CodeTable& table, base::Prompter& prompter) {
    if (action.verb == "load") {
        if (watchlist::LoadWatchFile(list, action.argument, prompter) == watchlist::LoadOutcome::Loaded)
            return std::nullopt;
        return static_cast<int>(Exit::Refused);
    }
    const auto code = data::ParseCodeText(action.argument);
    if (!code) return in.Fail(Exit::Usage, "“" + action.argument + "”不是股票代码（六位数字）");
    if (action.verb == "remove") {
        if (list.Remove(*code)) return std::nullopt;
        return in.Fail(Exit::Refused, data::CodeText(*code) + " 不在自选股中");
    }
    if (table.FindCode(*code) == 0 && !data::IsIndexCode(*code))
        return in.Fail(Exit::Refused, data::CodeText(*code) + " 不在代码表中");
    // As 加入自选 on a chart of the stock.
    if (list.AddOpenStock(*code, prompter)) return std::nullopt;
    return static_cast<int>(Exit::Refused);
}

}  // namespace

int RunWatchCommand(const Invocation& in) {
    const auto action = ReadAction(in.Files());
    if (!action) return in.Fail(Exit::Usage, "请给出一个动作：list、add CODE、remove CODE、save 或 load FILE");

    // Saving and loading are what the command was asked for: their questions answer Yes.
    CommandPrompter prompter(in.Command().name, CommandPrompter::Answer::Yes);
    const data::DataPaths paths = data::BuildDataPaths(in.Text("data"));
    // The window keeps the list too and writes it when it ends: one at a time.
    const auto lock = data::AcquireSingleInstance(paths, prompter);
    if (!lock) return static_cast<int>(Exit::Refused);

    std::vector<uint32_t> region(data::kCodeTableWords);
    uint32_t tableDate = 0;
    data::LoadCodeTable(paths.codeTable, region, &tableDate);
    const data::CodeTable table(region);
    bool created = false;
    data::Settings settings = data::LoadSettings(paths.settings, &created);
    watchlist::WatchList list(settings.watchList);

    if (action->verb == "list") {
        PrintList(list, table, in.Format());
        return 0;
    }
    if (action->verb == "save") {
        const auto path = watchlist::SaveWatchList(list, paths, data::ShortDate(std::time(nullptr)), table, prompter);
        if (!path) return list.Count() == 0 ? in.Fail(Exit::Refused, "自选股为空，没有可保存的") : 1;
        if (in.Format() == OutputFormat::Json)
            std::fputs(JsonWriter().BeginObject().Field("file", *path).Field("count", list.Count()).EndObject().Line().c_str(),
                       stdout);
        else
            std::printf("%s\n", path->c_str());
        return 0;
    }
    if (auto failed = Edit(in, *action, list, table, prompter)) return *failed;
    settings.watchList = list.Codes();
    if (auto saved = data::SaveSettings(paths.settings, settings); !saved)
        return in.Fail(Exit::Refused, saved.error());
    PrintList(list, table, in.Format());
    return 0;
}

}  // namespace cli

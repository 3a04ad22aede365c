// The commands of bkqy-cli as data: what each takes (read by the option parser
// and printed by the help), the parsed options of one run with their typed
// values, and the one way a command fails.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/bars.h"
#include "picking/candidates.h"
#include "sectors/scan.h"

namespace cli {

// 0 done, 1 data or input refused (or only partly done), 2 usage.
enum class Exit : int { Ok = 0, Refused = 1, Usage = 2 };

inline constexpr std::string_view kProgram = "bkqy-cli";

// How an option's value is read; every kind has one parser (values.h).
enum class OptionKind {
    Flag,       // takes no value
    Path,       // a file or folder
    Text,       // any text (a method entry)
    Count,      // a whole number within the option's bounds
    Date,       // YYYYMMDD or YYYY-MM-DD
    Code,       // a security code
    Market,     // sh|sz|cy|all
    ScanType,   // 1|2|3
    Threshold,  // in the unit of the scan type
    Indicator,  // 0..17 or a name
    Period,     // day|week|month
    Adjust,     // none|forward|backward
    Area,       // window|chart|page
};

struct OptionSpec {
    std::string_view name{};  // without "--"
    OptionKind kind = OptionKind::Flag;
    std::string_view value{};  // the placeholder the usage shows: "DIR"
    std::string_view help{};   // meaning, unit and default
    bool required = false;
    uint64_t min = 0;  // Count and Indicator bounds
    uint64_t max = UINT64_MAX;
    std::string_view alias = {};  // an older name still accepted
};

// Options of which exactly one (required) or at most one may be given.
struct OptionGroup {
    std::array<std::string_view, 4> names{};
    bool required = false;
};

struct CommandSpec {
    std::string_view name{};
    std::string_view summary{};   // one line of the command list
    std::string_view synopsis{};  // the usage after "bkqy-cli NAME", lines joined by '\n'
    std::string_view description{};
    std::span<const OptionSpec> options{};
    std::span<const OptionGroup> groups{};
    std::string_view examples{};  // command lines, one a line
    bool takesFiles = false;    // plain words are files (install)
    bool needsWindow = false;   // runs in the window program (shot, chart)
};

// Every command, in the order the help lists them; nullptr for an unknown name.
std::span<const CommandSpec> Commands();
const CommandSpec* FindCommand(std::string_view name);

enum class OutputFormat { Text, Json, Csv };

// Calls the printer of the format asked for.
template <class JsonPrinter, class CsvPrinter, class TextPrinter>
void PrintIn(OutputFormat format, JsonPrinter json, CsvPrinter csv, TextPrinter text) {
    switch (format) {
        case OutputFormat::Json:
            json();
            return;
        case OutputFormat::Csv:
            csv();
            return;
        case OutputFormat::Text:
            text();
            return;
    }
}

// One parsed value: the text as given and, for the kinds that have one, the
// number it stands for (a date as YYYYMMDD, a market, a threshold's raw units).
struct OptionValue {
    std::string text;
    int64_t number = 0;
};

// The options of one run, every value checked by its kind when parsed.
class Invocation {
public:
    // `words` come after the command word. Nothing, with the reason, when an
    // option is unknown, a value does not parse, a required option or group
    // is missing or a group has several.
    static std::optional<Invocation> Parse(const CommandSpec& command,
                                           const std::vector<std::string>& words,
                                           std::string* error);

    const CommandSpec& Command() const { return *m_command; }
    bool Has(std::string_view name) const { return m_values.count(std::string(name)) != 0; }
    // The value as given; empty when absent.
    std::string Text(std::string_view name) const;
    std::optional<std::string> Optional(std::string_view name) const;
    std::optional<int64_t> Number(std::string_view name) const;
    const std::vector<std::string>& Files() const { return m_files; }

    std::optional<uint32_t> Date(std::string_view name = "date") const;
    std::optional<uint32_t> Code() const;
    std::optional<picking::CandidateMarket> Market() const;
    // --type, type 1 when absent.
    sectors::ScanType Type() const;
    // --threshold in the raw units of Type(): hundredths of a percent for
    // rises and falls, whole percent for turnover increases.
    std::optional<int32_t> Threshold() const;
    std::optional<int> Indicator() const;
    data::Period Period() const;     // day when absent
    data::AdjustMode Adjust() const;  // none when absent
    OutputFormat Format() const;

    // The one error path: "bkqy-cli COMMAND: message" on stderr; returns the
    // exit code.
    int Fail(Exit exit, std::string_view message) const;

private:
    const CommandSpec* m_command = nullptr;
    std::map<std::string, OptionValue> m_values;
    std::vector<std::string> m_files;
};

// Prints "bkqy-cli COMMAND: message" on stderr.
void Tell(std::string_view command, std::string_view message);
// Tells and returns the exit code.
int Fail(std::string_view command, Exit exit, std::string_view message);

// The help texts (help.cpp): the overview, and the page of one command.
std::string OverviewHelp();
std::string CommandHelp(const CommandSpec& command);
std::string VersionText();

}  // namespace cli

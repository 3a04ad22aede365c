// The option parser of every command: each value is read once, by its kind,
// when the command line is parsed; the commands then ask for typed values.
#include <cstdio>

#include "cli/command.h"
#include "cli/values.h"

namespace cli {
namespace {

std::string Dashed(std::string_view name) { return "--" + std::string(name); }

const OptionSpec* FindOption(const CommandSpec& command, std::string_view name) {
    for (const OptionSpec& option : command.options)
        if (option.name == name || (!option.alias.empty() && option.alias == name)) return &option;
    return nullptr;
}

std::string Quoted(std::string_view text) { return "“" + std::string(text) + "”"; }

// "不小于 1 的整数", " 0 到 15 的整数" (to follow "应为").
std::string BoundsText(const OptionSpec& option) {
    if (option.max == UINT64_MAX) return "不小于 " + std::to_string(option.min) + " 的整数";
    return " " + std::to_string(option.min) + " 到 " + std::to_string(option.max) + " 的整数";
}

// The number a value stands for, or nothing with the reason.
std::optional<int64_t> ReadValue(const OptionSpec& option, const std::string& text,
                                 std::string* error) {
    const std::string head = Dashed(option.name) + " 的值 " + Quoted(text);
    switch (option.kind) {
        case OptionKind::Flag:
        case OptionKind::Threshold:  // read once the scan type is known
            return 0;
        case OptionKind::Path:
        case OptionKind::Text:
            if (!text.empty()) return 0;
            *error = Dashed(option.name) + " 的值不能为空";
            return std::nullopt;
        case OptionKind::Count: {
            const auto n = ParseCount(text);
            if (n && *n >= option.min && *n <= option.max && *n <= INT64_MAX)
                return static_cast<int64_t>(*n);
            *error = head + " 应为" + BoundsText(option);
            return std::nullopt;
        }
        case OptionKind::Date:
            if (const auto d = ParseDate(text)) return *d;
            *error = head + " 不是日期：应为 YYYYMMDD 或 YYYY-MM-DD，如 20140321";
            return std::nullopt;
        case OptionKind::Code:
            if (const auto c = ParseCode(text)) return *c;
            *error = head + " 不是证券代码：应为六位数字，如 600000";
            return std::nullopt;
        case OptionKind::Market:
            if (const auto m = ParseMarket(text)) return static_cast<int64_t>(*m);
            *error = head + " 应为 sh（沪市）、sz（深市）、cy（创板）或 all（全市）";
            return std::nullopt;
        case OptionKind::ScanType:
            if (const auto t = ParseScanType(text)) return static_cast<int64_t>(*t);
            *error = head + " 应为 1（涨幅）、2（成交增加）或 3（跌幅）";
            return std::nullopt;
        case OptionKind::Indicator:
            if (const auto i = ParseIndicator(text);
                i && static_cast<uint64_t>(*i) >= option.min && static_cast<uint64_t>(*i) <= option.max)
                return *i;
            *error = head + " 应为 " + std::to_string(option.min) + " 到 " +
                     std::to_string(option.max) + " 的指标号或指标名（如 4 或 MACD）";
            return std::nullopt;
        case OptionKind::Period:
            if (const auto p = ParsePeriod(text)) return static_cast<int64_t>(*p);
            *error = head + " 应为 day（日线）、week（周线）或 month（月线）";
            return std::nullopt;
        case OptionKind::Adjust:
            if (const auto a = ParseAdjust(text)) return static_cast<int64_t>(*a);
            *error = head + " 应为 none（除权）、forward（前复权）或 backward（后复权）";
            return std::nullopt;
        case OptionKind::Area:
            if (const auto a = ParseArea(text)) return static_cast<int64_t>(*a);
            *error = head + " 应为 window（整个窗口）、chart（上半部的图表）或 page（下半部的板块页）";
            return std::nullopt;
    }
    return std::nullopt;
}

std::string ThresholdHint(sectors::ScanType type) {
    switch (type) {
        case sectors::ScanType::Hot:
            return "涨幅阈值是最多两位小数的百分数，如 7.5";
        case sectors::ScanType::Fund:
            return "成交增加阈值是整数百分数，如 100";
        case sectors::ScanType::Fall:
            return "跌幅阈值是最多两位小数的百分数，如 3.5";
    }
    return {};
}

std::string GroupText(const OptionGroup& group) {
    std::string text;
    for (std::string_view name : group.names) {
        if (name.empty()) continue;
        if (!text.empty()) text += "、";
        text += Dashed(name);
    }
    return text;
}

// A required option or group that is missing, a group given twice over.
bool CheckPresence(const CommandSpec& command, const Invocation& in, std::string* error) {
    for (const OptionSpec& option : command.options) {
        if (!option.required || in.Has(option.name)) continue;
        *error = "缺少 " + Dashed(option.name) +
                 (option.value.empty() ? "" : " " + std::string(option.value));
        return false;
    }
    for (const OptionGroup& group : command.groups) {
        size_t given = 0;
        for (std::string_view name : group.names) given += !name.empty() && in.Has(name);
        if (given > 1) {
            *error = GroupText(group) + " 只能给出其中一个";
            return false;
        }
        if (given == 0 && group.required) {
            *error = "需要 " + GroupText(group) + " 之一";
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<Invocation> Invocation::Parse(const CommandSpec& command,
                                            const std::vector<std::string>& words,
                                            std::string* error) {
    Invocation in;
    in.m_command = &command;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() < 3 || word.compare(0, 2, "--") != 0) {
            if (!command.takesFiles) {
                *error = "多余的参数 " + Quoted(word);
                return std::nullopt;
            }
            in.m_files.push_back(word);
            continue;
        }
        std::string name = word.substr(2);
        std::optional<std::string> inlineValue;
        if (const size_t equals = name.find('='); equals != std::string::npos) {
            inlineValue = name.substr(equals + 1);
            name.resize(equals);
        }
        const OptionSpec* option = FindOption(command, name);
        if (!option) {
            *error = "未知选项 " + Dashed(name) + "（bkqy-cli help " + std::string(command.name) +
                     " 列出全部选项）";
            return std::nullopt;
        }
        if (in.Has(option->name)) {
            *error = Dashed(option->name) + " 给出了不止一次";
            return std::nullopt;
        }
        std::string text;
        if (option->kind == OptionKind::Flag) {
            if (inlineValue) {
                *error = Dashed(option->name) + " 不带值";
                return std::nullopt;
            }
        } else if (inlineValue) {
            text = *inlineValue;
        } else if (i + 1 < words.size() && words[i + 1].compare(0, 2, "--") != 0) {
            text = words[++i];
        } else {
            *error = Dashed(option->name) + " 缺少值 " + std::string(option->value);
            return std::nullopt;
        }
        const auto number = ReadValue(*option, text, error);
        if (!number) return std::nullopt;
        in.m_values[std::string(option->name)] = {text, *number};
    }
    if (!CheckPresence(command, in, error)) return std::nullopt;
    if (auto it = in.m_values.find("threshold"); it != in.m_values.end()) {
        const auto threshold = sectors::ParseThreshold(in.Type(), it->second.text);
        if (!threshold) {
            *error = "--threshold 的值 " + Quoted(it->second.text) + " 不是有效阈值：" +
                     ThresholdHint(in.Type());
            return std::nullopt;
        }
        it->second.number = *threshold;
    }
    return in;
}

std::string Invocation::Text(std::string_view name) const {
    auto it = m_values.find(std::string(name));
    return it == m_values.end() ? std::string() : it->second.text;
}

std::optional<std::string> Invocation::Optional(std::string_view name) const {
    auto it = m_values.find(std::string(name));
    if (it == m_values.end()) return std::nullopt;
    return it->second.text;
}

std::optional<int64_t> Invocation::Number(std::string_view name) const {
    auto it = m_values.find(std::string(name));
    if (it == m_values.end()) return std::nullopt;
    return it->second.number;
}

std::optional<uint32_t> Invocation::Date(std::string_view name) const {
    const auto n = Number(name);
    return n ? std::optional<uint32_t>(static_cast<uint32_t>(*n)) : std::nullopt;
}

std::optional<uint32_t> Invocation::Code() const {
    const auto n = Number("code");
    return n ? std::optional<uint32_t>(static_cast<uint32_t>(*n)) : std::nullopt;
}

std::optional<picking::CandidateMarket> Invocation::Market() const {
    const auto n = Number("market");
    if (!n) return std::nullopt;
    return static_cast<picking::CandidateMarket>(*n);
}

sectors::ScanType Invocation::Type() const {
    return static_cast<sectors::ScanType>(Number("type").value_or(1));
}

std::optional<int32_t> Invocation::Threshold() const {
    const auto n = Number("threshold");
    return n ? std::optional<int32_t>(static_cast<int32_t>(*n)) : std::nullopt;
}

std::optional<int> Invocation::Indicator() const {
    const auto n = Number("indicator");
    return n ? std::optional<int>(static_cast<int>(*n)) : std::nullopt;
}

data::Period Invocation::Period() const {
    return static_cast<data::Period>(Number("period").value_or(static_cast<int>(data::Period::Daily)));
}

data::AdjustMode Invocation::Adjust() const {
    return static_cast<data::AdjustMode>(
        Number("adjust").value_or(static_cast<int>(data::AdjustMode::None)));
}

OutputFormat Invocation::Format() const {
    if (Has("json")) return OutputFormat::Json;
    const OptionSpec* csv = FindOption(*m_command, "csv");
    if (csv && csv->kind == OptionKind::Flag && Has("csv")) return OutputFormat::Csv;
    return OutputFormat::Text;
}

int Invocation::Fail(Exit exit, std::string_view message) const {
    return cli::Fail(m_command->name, exit, message);
}

void Tell(std::string_view command, std::string_view message) {
    std::string line(kProgram);
    if (!command.empty()) line += " " + std::string(command);
    line += ": " + std::string(message) + "\n";
    std::fputs(line.c_str(), stderr);
}

int Fail(std::string_view command, Exit exit, std::string_view message) {
    Tell(command, message);
    return static_cast<int>(exit);
}

}  // namespace cli

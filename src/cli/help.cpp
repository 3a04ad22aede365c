// The help pages, made from the command table so that they always list what
// the parser accepts.
#include <algorithm>
#include <sstream>

#include "cli/command.h"
#include "cli/text_table.h"
#include "cli/values.h"
#include "indicators/catalogue.h"

#ifndef BKQY_VERSION
#define BKQY_VERSION "0"
#endif

namespace cli {
namespace {

std::string OptionWords(const OptionSpec& option) {
    std::string words = "--" + std::string(option.name);
    if (!option.value.empty()) words += " " + std::string(option.value);
    return words;
}

// "0 MA、1 VOL … 17 DMA" for the indicators an option takes.
std::string IndicatorList(const OptionSpec& option) {
    std::string list;
    for (uint64_t index = option.min; index <= option.max; ++index) {
        if (!list.empty()) list += "、";
        list += std::to_string(index) + " " + IndicatorName(static_cast<int>(index));
    }
    return list;
}

std::string OptionHelp(const OptionSpec& option) {
    std::string help(option.help);
    if (option.kind == OptionKind::Indicator) help += "：" + IndicatorList(option);
    if (option.required) help += "（必需）";
    if (!option.alias.empty()) help += "（旧名 --" + std::string(option.alias) + " 仍可用）";
    return help;
}

// Lines after the first are indented under the first's text.
std::string Indented(std::string_view text, std::string_view first, size_t indent) {
    std::string out;
    std::istringstream lines{std::string(text)};
    std::string line;
    bool head = true;
    while (std::getline(lines, line)) {
        out += (head ? std::string(first) : std::string(indent, ' ')) + line + "\n";
        head = false;
    }
    return out;
}

}  // namespace

std::string VersionText() {
    return std::string(kProgram) + " " + BKQY_VERSION + "（《板块擎宇》命令行）\n";
}

std::string CommandHelp(const CommandSpec& command) {
    const std::string head = "用法：" + std::string(kProgram) + " " + std::string(command.name) + " ";
    std::string text = Indented(command.synopsis, head, DisplayWidth(head));
    text += "\n" + std::string(command.summary) + "。\n\n";
    text += Indented(command.description, "", 0) + "\n选项：\n";
    size_t width = 0;
    for (const OptionSpec& option : command.options)
        width = std::max(width, DisplayWidth(OptionWords(option)));
    for (const OptionSpec& option : command.options)
        text += "  " + PadRight(OptionWords(option), width + 2) + OptionHelp(option) + "\n";
    text += "  " + PadRight("--help", width + 2) + "显示本说明\n";
    text += "\n示例：\n" + Indented(command.examples, "  ", 2);
    return text;
}

std::string OverviewHelp() {
    std::string text = VersionText();
    text += "对本地行情数据做板块扫描、选股、测算和导出，结果可为中文文本、JSON 或 CSV。\n\n";
    text += "用法：bkqy-cli COMMAND [选项]\n";
    text += "      bkqy-cli help COMMAND     一个命令的用法、选项和示例（同 bkqy-cli COMMAND --help）\n";
    text += "      bkqy-cli --version\n\n命令：\n";
    TextTable commands({false, false});
    for (const CommandSpec& command : Commands())
        commands.Add({std::string(command.name), std::string(command.summary)});
    text += commands.Text("  ");
    OptionSpec everyIndicator{"indicator", OptionKind::Indicator};
    everyIndicator.max = indicators::kLastIndicator;
    TextTable rules({false, false});
    rules.Add({"--data DIR", "数据目录（含 MKDAT/、MKDAY/），除 methods 外每个命令都要"});
    rules.Add({"日期", "YYYYMMDD 或 YYYY-MM-DD；--date 是模拟日期，须在数据的日期范围内，"
                       "参考日为它或它之前最近的交易日"});
    rules.Add({"--type", "扫描类型：1 涨幅（rise）、2 成交增加（turnover）、3 跌幅（fall）"});
    rules.Add({"--threshold", "类型 1、3 为百分数，至多两位小数（7.5 即 7.50%，须小于 20%）；"
                              "类型 2 为整数百分数（100 即成交额翻一倍）"});
    rules.Add({"--indicator", IndicatorList(everyIndicator) + "（号或名均可）"});
    rules.Add({"--method", "选股方法条目，如 \"a3(5,2.00,30.00);\"：条件代码和参数，"
                           "bkqy-cli methods 列出全部条件"});
    rules.Add({"输出", "默认为中文文本；--json 输出一个 JSON 对象，--csv 输出 CSV 表（scan、pick、"
                       "indicator、bars）；字段和单位见 docs/cli.md"});
    rules.Add({"退出码", "0 完成；1 数据或输入被拒绝，或只完成了一部分（原因在 stderr）；2 用法错误"});
    text += "\n约定：\n" + rules.Text("  ");
    return text;
}

}  // namespace cli

#include "cli/command_prompter.h"

#include "cli/command.h"

namespace cli {
namespace {

// The captions every refusal of the window carries say nothing on a terminal.
bool PlainCaption(const std::string& caption) {
    return caption.empty() || caption == "提示" || caption == "《板块擎宇》提示";
}

}  // namespace

void CommandPrompter::ShowMessage(const std::string& text, const std::string& caption) {
    m_told = true;
    const std::string line = PlainCaption(caption) ? text : caption + "：" + text;
    Tell(m_command, line);
}

bool CommandPrompter::AskYesNo(const std::string& text, const std::string& caption) {
    const bool yes = m_answer == Answer::Yes;
    ShowMessage(text + (yes ? "（是）" : "（否）"), caption);
    return yes;
}

}  // namespace cli

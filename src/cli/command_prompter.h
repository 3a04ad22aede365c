// The prompter of a command: what the program would show in a message box
// goes to stderr in the command's one error format, "bkqy-cli COMMAND: text"
// (a caption other than the usual prompt captions goes before the text).
// Questions answer No, unless the command was asked to do the very thing the
// question is about (saving, replacing a list); no file or folder is ever
// chosen (paths are options).
#pragma once

#include <string>
#include <string_view>

#include "base/prompter.h"

namespace cli {

class CommandPrompter : public base::Prompter {
public:
    enum class Answer { No, Yes };
    explicit CommandPrompter(std::string_view command, Answer answer = Answer::No)
        : m_command(command), m_answer(answer) {}

    void ShowMessage(const std::string& text, const std::string& caption) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    std::optional<std::string> ChooseFile(const std::string&) override { return std::nullopt; }

    // Whether a message was shown since the start.
    bool Told() const { return m_told; }

private:
    std::string m_command;
    Answer m_answer;
    bool m_told = false;
};

}  // namespace cli

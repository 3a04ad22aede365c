// The command line's Prompter: messages go to stderr, questions answer No,
// and no file or folder is ever chosen (paths come as arguments; the
// filtered-file and folder choices keep the Prompter's "nothing").
#pragma once

#include "base/prompter.h"

namespace base {

class StderrPrompter : public Prompter {
public:
    void ShowMessage(const std::string& text, const std::string& caption) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    std::optional<std::string> ChooseFile(const std::string& pattern) override;
};

}  // namespace base

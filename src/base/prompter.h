// Everything the program tells or asks the user goes through a Prompter: the
// window shows message boxes, the command line writes to stderr, tests record.
#pragma once

#include <optional>
#include <string>

namespace base {

class Prompter {
public:
    virtual ~Prompter() = default;
    // Texts and captions are UTF-8.
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
    // A Yes/No question; true means Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
    // An open-file dialog for a pattern such as "XG/*.TXT"; nothing when cancelled.
    virtual std::optional<std::string> ChooseFile(const std::string& pattern) = 0;
    // An open-file dialog with a filter list of description and pattern pairs
    // separated by "|" and ended by "||", such as "Files (*.*) |*.* ||";
    // nothing when cancelled. Prompters without dialogs choose nothing.
    virtual std::optional<std::string> ChooseFileWithFilter(const std::string& filter) {
        (void)filter;
        return std::nullopt;
    }
    // A folder dialog with its title; nothing when cancelled. Prompters
    // without dialogs choose nothing.
    virtual std::optional<std::string> ChooseFolder(const std::string& title) {
        (void)title;
        return std::nullopt;
    }
};

}  // namespace base

#include "base/stderr_prompter.h"

#include <cstdio>

namespace base {

void StderrPrompter::ShowMessage(const std::string& text, const std::string& caption) {
    if (caption.empty())
        std::fprintf(stderr, "%s\n", text.c_str());
    else
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
}

bool StderrPrompter::AskYesNo(const std::string& text, const std::string& caption) {
    ShowMessage(text + " (否)", caption);
    return false;
}

std::optional<std::string> StderrPrompter::ChooseFile(const std::string&) { return std::nullopt; }

}  // namespace base

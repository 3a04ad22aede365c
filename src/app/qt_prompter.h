// The window's Prompter: message boxes and the open-file dialog.
#pragma once

#include <QWidget>

#include "base/prompter.h"

namespace app {

class QtPrompter : public base::Prompter {
public:
    explicit QtPrompter(QWidget* parent) : m_parent(parent) {}

    void ShowMessage(const std::string& text, const std::string& caption) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    std::optional<std::string> ChooseFile(const std::string& pattern) override;

private:
    QWidget* m_parent;
};

}  // namespace app

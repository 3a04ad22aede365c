// The window's Prompter: message boxes and the open-file and folder dialogs.
#pragma once

#include <QString>
#include <QWidget>

#include <string_view>

#include "base/prompter.h"

namespace app {

class QtPrompter : public base::Prompter {
public:
    explicit QtPrompter(QWidget* parent) : m_parent(parent) {}

    void ShowMessage(const std::string& text, const std::string& caption) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    std::optional<std::string> ChooseFile(const std::string& pattern) override;
    std::optional<std::string> ChooseFileWithFilter(const std::string& filter) override;
    std::optional<std::string> ChooseFolder(const std::string& title) override;

private:
    QWidget* m_parent;
};

// A filter list of "description|patterns|" pairs ended by "|" ("Files (*.*)
// |*.* ||") as the Qt file dialog takes it: one "description (patterns)"
// entry a pair, ";;"-separated ("Files (*.*)").
QString QtFileFilter(std::string_view pairs);

}  // namespace app

// CCodeFindDlg: the small finder that opens when a digit or letter is typed
// into the main code box. It narrows the code table by code prefix or pinyin
// initials, offers the indicators by abbreviation, and hands back the chosen
// code or indicator.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

#include "base/prompter.h"
#include "data/code_finder.h"
#include "data/code_table.h"

class QLineEdit;
class QListWidget;

namespace app {

class CCodeFindDlg : public QDialog {
    Q_OBJECT

public:
    // initialText: the main code box's content, of which the first character is kept.
    CCodeFindDlg(const data::CodeTable& table, const std::string& initialText,
                 base::Prompter& prompter, QWidget* parent);

    uint32_t ChosenCode() const { return m_code; }
    int ChosenIndicator() const { return m_indicator; }

    QLineEdit* Edit() const { return m_edit; }
    QListWidget* List() const { return m_list; }
    const std::vector<std::string>& Lines() const { return m_lines; }  // GBK

    // 确定 or Enter; a double-click on a line.
    void TakeLine(data::FinderTrigger trigger);

public Q_SLOTS:
    void accept() override;  // 确定 and Enter
    void reject() override;  // 取消 and Escape

private:
    void Refill();

    const data::CodeTable& m_table;
    base::Prompter& m_prompter;
    QLineEdit* m_edit = nullptr;
    QListWidget* m_list = nullptr;
    std::vector<std::string> m_lines;
    uint32_t m_code = 0;
    int m_indicator = 0;
};

}  // namespace app

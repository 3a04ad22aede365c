// The method list (选股方法): the configured conditions of the picking page,
// shown seven rows at a time, edited through add, insert, modify, move and
// delete. A run evaluates the first entry.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/prompter.h"
#include "picking/catalogue.h"

namespace picking {

inline constexpr size_t kMethodListLimit = 100;
inline constexpr int kMethodPageRows = 7;
inline constexpr size_t kMethodEntryBytes = 50;
// The list's scroll bar runs from 0 to this position.
inline constexpr int kMethodScrollEnd = 125;

class MethodList {
public:
    size_t Count() const { return m_entries.size(); }
    // Entry by 1-based list index.
    const std::string& Entry(size_t index) const { return m_entries.at(index - 1); }
    const std::vector<std::string>& Entries() const { return m_entries; }

    int TopRow() const { return m_topRow; }
    int SelectedRow() const { return m_selectedRow; }  // within the page, 0 for none
    // 1-based list index of the selection; 0 when none is selected.
    size_t SelectedIndex() const {
        return m_selectedRow ? static_cast<size_t>(m_topRow + m_selectedRow - 1) : 0;
    }
    int ModifyRow() const { return m_modifyRow; }  // 0 unless an entry is being modified
    int ScrollPosition() const { return m_scroll; }

    // A click on a visible row (1..7); rows past the list are ignored, row 0
    // clears the selection.
    void SelectRow(int row);
    // The sector scan makes its own condition the single entry before a run.
    void ReplaceWithSingle(std::string entry);

private:
    friend bool AddMethod(MethodList&, const SettingBoard&, ConditionParamTable&, base::Prompter&);
    friend bool InsertMethod(MethodList&, const SettingBoard&, ConditionParamTable&,
                             base::Prompter&);
    friend std::optional<Condition> ModifyMethod(MethodList&, base::Prompter&);
    friend bool ConfirmModify(MethodList&, const SettingBoard&, ConditionParamTable&,
                              base::Prompter&);
    friend bool MoveMethodUp(MethodList&, base::Prompter&);
    friend bool MoveMethodDown(MethodList&, base::Prompter&);
    friend bool DeleteMethod(MethodList&, base::Prompter&);

    void SelectIndex(size_t index);

    std::vector<std::string> m_entries;
    int m_topRow = 1;
    int m_selectedRow = 0;
    int m_modifyRow = 0;
    int m_scroll = 0;
};

// Each returns whether the list changed; every refusal shows its message
// (caption "提示") and leaves the list as it was.
bool AddMethod(MethodList& list, const SettingBoard& board, ConditionParamTable& memory,
               base::Prompter& prompter);
bool InsertMethod(MethodList& list, const SettingBoard& board, ConditionParamTable& memory,
                  base::Prompter& prompter);
// Marks the selected row for modification and returns its entry read back, so
// that the window opens that condition's board with these values.
std::optional<Condition> ModifyMethod(MethodList& list, base::Prompter& prompter);
// 确认修改: the marked row's entry becomes the board's rebuilt entry.
bool ConfirmModify(MethodList& list, const SettingBoard& board, ConditionParamTable& memory,
                   base::Prompter& prompter);
bool MoveMethodUp(MethodList& list, base::Prompter& prompter);
bool MoveMethodDown(MethodList& list, base::Prompter& prompter);
bool DeleteMethod(MethodList& list, base::Prompter& prompter);

// A visible row of the list box: the first 33 characters of the entry, in
// the small font when the entry is longer than 29 characters.
struct MethodRow {
    std::string text;
    bool smallFont = false;
    bool selected = false;
};
std::vector<MethodRow> VisibleMethodRows(const MethodList& list);

}  // namespace picking

#include "picking/method_list.h"

#include <algorithm>
#include <utility>

namespace picking {
namespace {

constexpr size_t kRowTextChars = 33;
constexpr size_t kLargeFontChars = 29;

void Tell(base::Prompter& prompter, std::string_view text) {
    prompter.ShowMessage(std::string(text), std::string(kPromptCaption));
}

bool Ask(base::Prompter& prompter, std::string_view text) {
    return prompter.AskYesNo(std::string(text), std::string(kPromptCaption));
}

// The checks an entry passes before it goes into the list: a complete board,
// the board's own validation and the smallest N of the condition.
std::optional<std::string> CheckedEntry(const SettingBoard& board, base::Prompter& prompter) {
    if (!BoardComplete(board)) {
        Tell(prompter, "请先完整输入后再“加入方法”");
        return std::nullopt;
    }
    auto entry = BuildMethodEntry(board, prompter);
    if (!entry) return std::nullopt;
    const Condition condition = ReadMethodEntry(*entry);
    const int minimum = MinimumN(condition.code);
    if (minimum > 0 && condition.params[0] < minimum) {
        Tell(prompter, "Ｎ的值不能低于" + std::to_string(minimum));
        return std::nullopt;
    }
    return entry;
}

bool BlockedByModify(const MethodList& list, base::Prompter& prompter) {
    if (list.ModifyRow() == 0) return false;
    Tell(prompter, "当前处于方法修改状态中，修改完后请点击“确认修改”");
    return true;
}

// 1-based index of the first entry with the same condition code, 0 for none.
size_t FindSameCondition(const MethodList& list, const std::string& entry) {
    const ConditionCode code = ReadMethodEntry(entry).code;
    for (size_t i = 1; i <= list.Count(); ++i)
        if (ReadMethodEntry(list.Entry(i)).code == code) return i;
    return 0;
}

void Remember(ConditionParamTable& memory, const std::string& entry) {
    const Condition condition = ReadMethodEntry(entry);
    memory.Store(condition.code, condition.params);
}

int ScrollAt(size_t index, size_t count) {
    return count ? static_cast<int>(index * kMethodScrollEnd / count) : 0;
}

}  // namespace

void MethodList::SelectIndex(size_t index) {
    if (index == 0) {
        m_topRow = 1;
        m_selectedRow = 0;
        return;
    }
    const int i = static_cast<int>(index);
    m_topRow = kMethodPageRows * ((i - 1) / kMethodPageRows) + 1;
    m_selectedRow = i % kMethodPageRows ? i % kMethodPageRows : kMethodPageRows;
}

void MethodList::SelectRow(int row) {
    if (row == 0) m_selectedRow = 0;
    if (row < 1 || row > kMethodPageRows) return;
    if (static_cast<size_t>(m_topRow + row - 1) > Count()) return;
    m_selectedRow = row;
}

void MethodList::ReplaceWithSingle(std::string entry) {
    m_entries.assign(1, std::move(entry));
    m_topRow = 1;
    m_selectedRow = 1;
    m_modifyRow = 0;
    m_scroll = 0;
}

bool AddMethod(MethodList& list, const SettingBoard& board, ConditionParamTable& memory,
               base::Prompter& prompter) {
    if (BlockedByModify(list, prompter)) return false;
    auto entry = CheckedEntry(board, prompter);
    if (!entry) return false;
    if (FindSameCondition(list, *entry) && !Ask(prompter, "该方法已经存在，是否加入？"))
        return false;
    if (list.Count() >= kMethodListLimit) {
        Tell(prompter, "已达到100条的限度，无法再加入");
        return false;
    }
    list.m_entries.push_back(*entry);
    list.SelectIndex(list.Count());
    list.m_scroll = kMethodScrollEnd;
    Remember(memory, *entry);
    return true;
}

bool InsertMethod(MethodList& list, const SettingBoard& board, ConditionParamTable& memory,
                  base::Prompter& prompter) {
    if (BlockedByModify(list, prompter)) return false;
    auto entry = CheckedEntry(board, prompter);
    if (!entry) return false;
    if (const size_t same = FindSameCondition(list, *entry)) {
        if (!Ask(prompter, "该方法已经存在，是否覆盖？")) return false;
        list.m_entries[same - 1] = *entry;
        list.SelectIndex(same);
        list.m_scroll = ScrollAt(same, list.Count());
        Remember(memory, *entry);
        return true;
    }
    if (list.Count() >= kMethodListLimit) {
        Tell(prompter, "已达到100条的限度，无法再插入");
        return false;
    }
    list.m_entries.insert(list.m_entries.begin(), *entry);
    list.m_topRow = 1;
    list.m_selectedRow = 1;
    list.m_scroll = 0;
    Remember(memory, *entry);
    return true;
}

std::optional<Condition> ModifyMethod(MethodList& list, base::Prompter& prompter) {
    if (list.Count() == 0) return std::nullopt;
    if (list.m_selectedRow == 0) {
        Tell(prompter, "请先选取需要修改的方法条");
        return std::nullopt;
    }
    const size_t index = list.SelectedIndex();
    if (index > list.Count()) return std::nullopt;
    list.m_modifyRow = list.m_selectedRow;
    return ReadMethodEntry(list.Entry(index));
}

bool ConfirmModify(MethodList& list, const SettingBoard& board, ConditionParamTable& memory,
                   base::Prompter& prompter) {
    if (list.m_modifyRow == 0) return false;
    const size_t index = static_cast<size_t>(list.m_topRow + list.m_modifyRow - 1);
    if (index > list.Count()) {
        list.m_modifyRow = 0;
        return false;
    }
    auto entry = CheckedEntry(board, prompter);
    if (!entry) return false;
    list.m_entries[index - 1] = *entry;
    list.m_modifyRow = 0;
    Remember(memory, *entry);
    return true;
}

bool MoveMethodUp(MethodList& list, base::Prompter& prompter) {
    if (list.Count() == 0) return false;
    if (list.m_selectedRow == 0) {
        Tell(prompter, "请先选取需要上移的方法条");
        return false;
    }
    const size_t index = list.SelectedIndex();
    if (index <= 1 || index > list.Count()) return false;
    std::swap(list.m_entries[index - 1], list.m_entries[index - 2]);
    list.SelectIndex(index - 1);
    list.m_modifyRow = 0;
    list.m_scroll = ScrollAt(index - 1, list.Count());
    return true;
}

bool MoveMethodDown(MethodList& list, base::Prompter& prompter) {
    if (list.Count() == 0) return false;
    if (list.m_selectedRow == 0) {
        Tell(prompter, "请先选取需要下移的方法条");
        return false;
    }
    const size_t index = list.SelectedIndex();
    if (index >= list.Count()) return false;
    std::swap(list.m_entries[index - 1], list.m_entries[index]);
    list.SelectIndex(index + 1);
    list.m_modifyRow = 0;
    list.m_scroll = ScrollAt(index + 1, list.Count());
    return true;
}

bool DeleteMethod(MethodList& list, base::Prompter& prompter) {
    if (list.Count() == 0) return false;
    if (list.m_selectedRow == 0) {
        Tell(prompter, "请先选取需要删除的方法条");
        return false;
    }
    const size_t index = list.SelectedIndex();
    if (index > list.Count()) return false;
    if (!Ask(prompter, "是否将该条方法删除？")) return false;
    list.m_entries.erase(list.m_entries.begin() + static_cast<ptrdiff_t>(index - 1));
    // Deleting the last entry selects the new last one, on its own page.
    if (index > list.Count()) list.SelectIndex(list.Count());
    list.m_modifyRow = 0;
    return true;
}

std::vector<MethodRow> VisibleMethodRows(const MethodList& list) {
    std::vector<MethodRow> rows;
    for (int row = 1; row <= kMethodPageRows; ++row) {
        const size_t index = static_cast<size_t>(list.TopRow() + row - 1);
        if (index > list.Count()) break;
        const std::string& entry = list.Entry(index);
        rows.push_back({entry.substr(0, kRowTextChars), entry.size() > kLargeFontChars,
                        row == list.SelectedRow()});
    }
    return rows;
}

}  // namespace picking

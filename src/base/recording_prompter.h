// A Prompter that records every message and answers from a script: the fake
// used by tests, and by headless runs that must not block on a question.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "base/prompter.h"

namespace base {

struct PromptRecord {
    enum class Kind { Message, Question, FileChoice, FolderChoice };
    Kind kind;
    std::string text;
    std::string caption;

    bool operator==(const PromptRecord&) const = default;
};

class RecordingPrompter : public Prompter {
public:
    void ShowMessage(const std::string& text, const std::string& caption) override {
        records.push_back({PromptRecord::Kind::Message, text, caption});
    }
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        records.push_back({PromptRecord::Kind::Question, text, caption});
        if (answers.empty()) return defaultAnswer;
        bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::string> ChooseFile(const std::string& pattern) override {
        records.push_back({PromptRecord::Kind::FileChoice, pattern, {}});
        return Next(files);
    }
    // The filter is recorded as the pattern is; the answer is the next file.
    std::optional<std::string> ChooseFileWithFilter(const std::string& filter) override {
        return ChooseFile(filter);
    }
    std::optional<std::string> ChooseFolder(const std::string& title) override {
        records.push_back({PromptRecord::Kind::FolderChoice, title, {}});
        return Next(folders);
    }

    // Only the messages (not the questions), in order.
    std::vector<PromptRecord> Messages() const {
        std::vector<PromptRecord> out;
        for (const auto& r : records)
            if (r.kind == PromptRecord::Kind::Message) out.push_back(r);
        return out;
    }

    std::vector<PromptRecord> records;
    std::deque<bool> answers;
    bool defaultAnswer = false;
    std::deque<std::string> files;
    std::deque<std::string> folders;

private:
    static std::optional<std::string> Next(std::deque<std::string>& answers) {
        if (answers.empty()) return std::nullopt;
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace base

#include "cli/args.h"

#include <cerrno>
#include <cstdlib>

namespace cli {

namespace {

// Flags that never take a value, so that a file may follow them.
bool IsBareFlag(const std::string& name) { return name == "json" || name == "force"; }

}  // namespace

std::optional<Args> Args::Parse(const std::vector<std::string>& words, std::string* error) {
    Args args;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() < 3 || word.compare(0, 2, "--") != 0) {
            args.m_files.push_back(word);
            continue;
        }
        std::string name = word.substr(2);
        if (!IsBareFlag(name) && i + 1 < words.size() && words[i + 1].compare(0, 2, "--") != 0)
            args.m_values[name] = words[++i];
        else
            args.m_values[name] = "";
    }
    (void)error;
    return args;
}

bool Args::OnlyKnown(std::initializer_list<const char*> allowed, std::string* error) const {
    if (!m_files.empty()) {
        *error = "unexpected argument: " + m_files.front();
        return false;
    }
    return OnlyKnownWithFiles(allowed, error);
}

bool Args::OnlyKnownWithFiles(std::initializer_list<const char*> allowed,
                              std::string* error) const {
    for (const auto& [name, value] : m_values) {
        bool known = false;
        for (const char* a : allowed) known = known || name == a;
        if (!known) {
            *error = "unknown option --" + name;
            return false;
        }
    }
    return true;
}

std::optional<std::string> Args::Get(const std::string& name) const {
    auto it = m_values.find(name);
    if (it == m_values.end()) return std::nullopt;
    return it->second;
}

std::optional<uint64_t> Args::GetNumber(const std::string& name, std::string* error) const {
    auto text = Get(name);
    if (!text) return std::nullopt;
    const char* begin = text->c_str();
    char* end = nullptr;
    errno = 0;
    unsigned long long value = std::strtoull(begin, &end, 10);
    if (text->empty() || *end != '\0' || errno != 0 || (*begin < '0' || *begin > '9')) {
        *error = "--" + name + " needs a whole number, not \"" + *text + "\"";
        return std::nullopt;
    }
    return value;
}

}  // namespace cli

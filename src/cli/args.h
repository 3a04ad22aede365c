// Options of a bkqy-cli command: "--name value" pairs and bare "--flag"s.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cli {

class Args {
public:
    // argv after the command word. "--name value" pairs, the bare flags
    // --json and --force (which never take a value), and plain words (files).
    static std::optional<Args> Parse(const std::vector<std::string>& words, std::string* error);

    // Fails, naming the first option that is not in `allowed` (a typo such as
    // --stock must not be ignored silently) or the first plain word.
    bool OnlyKnown(std::initializer_list<const char*> allowed, std::string* error) const;
    // The same, for commands that take plain words (files) too.
    bool OnlyKnownWithFiles(std::initializer_list<const char*> allowed, std::string* error) const;
    const std::vector<std::string>& Files() const { return m_files; }

    bool Has(const std::string& name) const { return m_values.count(name) != 0; }
    std::optional<std::string> Get(const std::string& name) const;
    // A whole non-negative number; nothing when absent, an error text when malformed.
    std::optional<uint64_t> GetNumber(const std::string& name, std::string* error) const;

private:
    std::map<std::string, std::string> m_values;
    std::vector<std::string> m_files;
};

// The commands, each returning the process exit code.
int RunDemoCommand(const Args& args);
int RunSummaryCommand(const Args& args);
int RunIndicatorCommand(const Args& args);
int RunShotCommand(const Args& args);
int RunChartCommand(const Args& args);
int RunScanCommand(const Args& args);
int RunEstimateCommand(const Args& args);
int RunPickCommand(const Args& args);
int RunHistoryCommand(const Args& args);
int RunMethodsCommand(const Args& args);
int RunInstallCommand(const Args& args);
int RunImportCommand(const Args& args);

}  // namespace cli

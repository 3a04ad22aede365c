// bkqy-cli: the headless commands over a data root.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/args.h"

namespace {

void PrintUsage() {
    std::fprintf(stderr,
                 "usage: bkqy-cli demo --data DIR [--stocks N] [--years Y] [--end YYYYMMDD] "
                 "[--seed S] [--packages PKGDIR]\n"
                 "       bkqy-cli summary --data DIR\n"
                 "       bkqy-cli indicator --data DIR --code CODE --indicator 0..17 "
                 "[--period day|week|month] [--adjust none|forward|backward] --json\n"
                 "       bkqy-cli shot --data DIR --png FILE\n"
                 "       bkqy-cli chart --data DIR --code CODE [--period day|week|month] "
                 "[--adjust none|forward|backward] [--indicator 1..17] [--zoom 0..15] "
                 "[--date YYYYMMDD] --png FILE\n"
                 "       bkqy-cli scan --data DIR --type 1|2|3 --threshold T "
                 "(--market sh|sz|cy|all | --list FILE) [--date YYYYMMDD] [--json]\n"
                 "       bkqy-cli estimate --data DIR --code CODE [--date YYYYMMDD] [--json]\n"
                 "       bkqy-cli pick --data DIR --method ENTRY (--market sh|sz|cy|all | --list FILE) "
                 "[--date YYYYMMDD] [--scan-type 1|2|3] [--threshold T] [--json]\n"
                 "       bkqy-cli history --data DIR --method ENTRY --lookback L "
                 "(--market sh|sz|cy|all | --list FILE) [--date YYYYMMDD] [--scan-type 1|2|3] "
                 "[--threshold T]\n"
                 "       bkqy-cli methods [--json]\n"
                 "       bkqy-cli install --data DIR FILE... [--force] [--json]\n"
                 "       bkqy-cli import --data DIR (--vipdoc DIR | --csv PATH) [--names FILE] "
                 "[--json]\n"
                 "       bkqy-cli import --data DIR --sectors FILE | --exrights FILE [--json]\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage();
        return 2;
    }
    std::string command = argv[1];
    std::vector<std::string> words(argv + 2, argv + argc);
    std::string error;
    auto args = cli::Args::Parse(words, &error);
    if (!args) {
        std::fprintf(stderr, "bkqy-cli: %s\n", error.c_str());
        return 2;
    }
    if (command == "demo") return cli::RunDemoCommand(*args);
    if (command == "summary") return cli::RunSummaryCommand(*args);
    if (command == "indicator") return cli::RunIndicatorCommand(*args);
    if (command == "shot") return cli::RunShotCommand(*args);
    if (command == "chart") return cli::RunChartCommand(*args);
    if (command == "scan") return cli::RunScanCommand(*args);
    if (command == "estimate") return cli::RunEstimateCommand(*args);
    if (command == "pick") return cli::RunPickCommand(*args);
    if (command == "history") return cli::RunHistoryCommand(*args);
    if (command == "methods") return cli::RunMethodsCommand(*args);
    if (command == "install") return cli::RunInstallCommand(*args);
    if (command == "import") return cli::RunImportCommand(*args);
    PrintUsage();
    return 2;
}

// bkqy: the desktop program. bkqy [--data DIR]; the data root defaults to the
// executable's folder.
#include <QCoreApplication>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/analysis_app.h"

int main(int argc, char** argv) {
    std::string dataRoot;
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (word == "--data" && i + 1 < argc) {
            dataRoot = argv[++i];
        } else if (word == "--help") {
            std::printf("usage: bkqy [--data DIR]\n");
            return 0;
        }
    }
    if (dataRoot.empty()) {
        std::error_code ec;
        auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
        dataRoot = ec ? std::string(".") : self.parent_path().string();
    }
    return app::RunAnalysisApp(argc, argv, dataRoot);
}

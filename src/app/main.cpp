// bkqy: the desktop program. bkqy [--data DIR] [--scale 1|2]; the data root
// defaults to the executable's folder.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/analysis_app.h"

#ifndef BKQY_VERSION
#define BKQY_VERSION "0"
#endif

namespace {

constexpr const char* kUsage =
    "用法：bkqy [--data DIR] [--scale 1|2]\n"
    "  《板块擎宇》的窗口：板块扫描、K线图、选股和自选股。\n"
    "  --data DIR    行情数据目录（含 MKDAT/ 和 MKDAY/）；缺省为程序所在目录\n"
    "  --scale 1|2   窗口按 1 倍或 2 倍像素绘制；缺省按屏幕的像素密度选择\n"
    "                （也可用环境变量 BKQY_SCALE）\n"
    "  --version     显示版本\n"
    "  --help        显示本说明\n";

int Usage(const std::string& problem) {
    std::fprintf(stderr, "bkqy: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dataRoot;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--help") {
            std::printf("%s", kUsage);
            return 0;
        }
        if (word == "--version") {
            std::printf("bkqy %s（《板块擎宇》）\n", BKQY_VERSION);
            return 0;
        }
        if (word == "--data" && i + 1 < argc) {
            dataRoot = argv[++i];
        } else if (word == "--scale" && i + 1 < argc) {
            const std::string scale = argv[++i];
            if (scale != "1" && scale != "2") return Usage("--scale 只能是 1 或 2，不是 " + scale);
            // The whole window, its controls included, at that many screen
            // pixels per window pixel, whatever the screen says.
            setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
            setenv("QT_SCALE_FACTOR", scale.c_str(), 1);
            setenv("BKQY_SCALE", scale.c_str(), 1);
        } else {
            return Usage("不认识的参数：" + word);
        }
    }
    if (dataRoot.empty()) {
        std::error_code ec;
        auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
        dataRoot = ec ? std::string(".") : self.parent_path().string();
    }
    return app::RunAnalysisApp(argc, argv, dataRoot);
}

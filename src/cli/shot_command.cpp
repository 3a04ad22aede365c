// bkqy-cli shot: the real main window started offscreen on a data root and
// saved as a PNG, as it looks after start-up.
#include <QApplication>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>

#include "app/main_window.h"
#include "base/stderr_prompter.h"
#include "cli/args.h"

namespace cli {

int RunShotCommand(const Args& args) {
    std::string unknown;
    if (!args.OnlyKnown({"data", "png"}, &unknown)) {
        std::fprintf(stderr, "bkqy-cli shot: %s\n", unknown.c_str());
        return 2;
    }
    auto root = args.Get("data");
    auto png = args.Get("png");
    if (!root || root->empty() || !png || png->empty()) {
        std::fprintf(stderr, "bkqy-cli shot: --data DIR and --png FILE are required\n");
        return 2;
    }
    // No screen is needed: the window renders offscreen unless told otherwise.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int argc = 1;
    char name[] = "bkqy-cli";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    base::StderrPrompter prompter;
    app::CMainDlg window(*root, &prompter);
    if (!window.Initialise()) return 1;
    window.show();
    QApplication::processEvents();
    if (!window.grab().save(QString::fromStdString(*png), "PNG")) {
        std::fprintf(stderr, "bkqy-cli shot: cannot write %s\n", png->c_str());
        return 1;
    }
    std::printf("%s\n", png->c_str());
    return 0;
}

}  // namespace cli

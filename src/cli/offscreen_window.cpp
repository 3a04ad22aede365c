#include "cli/offscreen_window.h"

#include <QPixmap>

#include <cstdio>

namespace cli {

std::unique_ptr<QApplication> OffscreenWindow::MakeApplication() {
    // No screen is needed: the window renders offscreen unless told otherwise.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "bkqy-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QApplication>(argc, argv);
}

int OffscreenWindow::SavePng(const std::string& command, const std::string& png) {
    m_window.show();
    QApplication::processEvents();
    if (!m_window.grab().save(QString::fromStdString(png), "PNG")) {
        std::fprintf(stderr, "bkqy-cli %s: cannot write %s\n", command.c_str(), png.c_str());
        return 1;
    }
    std::printf("%s\n", png.c_str());
    return 0;
}

}  // namespace cli

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

bool OffscreenWindow::UseScale(const std::optional<std::string>& scale, std::string* error) {
    if (!scale) return true;
    if (*scale != "1" && *scale != "2") {
        *error = "--scale is 1 or 2, not \"" + *scale + "\"";
        return false;
    }
    setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
    setenv("QT_SCALE_FACTOR", scale->c_str(), 1);
    setenv("BKQY_SCALE", scale->c_str(), 1);
    return true;
}

int OffscreenWindow::SavePng(const std::string& command, const std::string& png,
                             std::optional<QRect> area) {
    m_window.show();
    QApplication::processEvents();
    const QPixmap picture = area ? m_window.grab(*area) : m_window.grab();
    if (!picture.save(QString::fromStdString(png), "PNG")) {
        std::fprintf(stderr, "bkqy-cli %s: cannot write %s\n", command.c_str(), png.c_str());
        return 1;
    }
    std::printf("%s\n", png.c_str());
    return 0;
}

}  // namespace cli

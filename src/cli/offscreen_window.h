// The real main window for the picture commands: a QApplication on the
// offscreen platform (unless told otherwise), and the saving of the window.
#pragma once

#include <QApplication>
#include <QRect>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "app/main_window.h"
#include "base/stderr_prompter.h"

namespace cli {

class OffscreenWindow {
public:
    explicit OffscreenWindow(const std::string& dataRoot)
        : m_application(MakeApplication()), m_window(dataRoot, &m_prompter) {}

    app::CMainDlg& Window() { return m_window; }

    // Shows the window, lets it paint and writes it (or only `area`, in
    // window pixels) as a PNG; prints the path, or the reason on stderr.
    // Returns the exit code.
    int SavePng(const std::string& command, const std::string& png,
                std::optional<QRect> area = std::nullopt);

    // The picture's scale from --scale 1|2 (before the window exists: the
    // whole window, controls included, is drawn at that scale). False, with
    // the reason, for any other value.
    static bool UseScale(const std::optional<std::string>& scale, std::string* error);

private:
    static std::unique_ptr<QApplication> MakeApplication();

    std::unique_ptr<QApplication> m_application;
    base::StderrPrompter m_prompter;
    app::CMainDlg m_window;
};

}  // namespace cli

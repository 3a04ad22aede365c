// The real main window for the picture commands: a QApplication on the
// offscreen platform (unless told otherwise), and the saving of the window.
#pragma once

#include <QApplication>
#include <QImage>
#include <QRect>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/main_window.h"
#include "base/result.h"
#include "cli/command.h"
#include "cli/command_prompter.h"

namespace cli {

class OffscreenWindow {
public:
    explicit OffscreenWindow(const Invocation& in)
        : m_in(in), m_application(MakeApplication(in)), m_prompter(in.Command().name),
          m_window(in.Text("data"), &m_prompter) {}

    app::CMainDlg& Window() { return m_window; }
    CommandPrompter& Prompter() { return m_prompter; }

    // Starts the window on --data and applies --date as the simulation date
    // with the checks of every command. False after the reason was told.
    bool Start();

    // Shows the window, lets it paint and writes it (or only `area`, in
    // window pixels) to --png; prints the path, or tells why not. Returns the
    // exit code.
    int SavePng(std::optional<QRect> area = std::nullopt);

    // Before the application exists, so that the whole window, controls
    // included, is drawn at --scale.
    static std::unique_ptr<QApplication> MakeApplication(const Invocation& in);

private:

    const Invocation& m_in;
    std::unique_ptr<QApplication> m_application;
    CommandPrompter m_prompter;
    app::CMainDlg m_window;
};

// Encodes the picture in memory ("PNG", "JPG"; quality -1 for the format's
// default) and writes it with base::WriteFileAtomic: never half a picture.
base::Status WriteImageFile(const QImage& picture, const std::string& path, const char* format,
                            int quality = -1);

// The commands that render the window (the window program runs them).
int RunShotCommand(const Invocation& in);
int RunChartCommand(const Invocation& in);
int RunPicturesCommand(const Invocation& in);

}  // namespace cli

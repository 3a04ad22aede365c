#include "cli/offscreen_window.h"

#include <QBuffer>
#include <QByteArray>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

#include "base/file_io.h"
#include "cli/market_setup.h"

namespace cli {

std::unique_ptr<QApplication> OffscreenWindow::MakeApplication(const Invocation& in) {
    // No screen is needed: the window renders offscreen unless told otherwise.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (const auto scale = in.Number("scale")) {
        const std::string factor = std::to_string(*scale);
        setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
        setenv("QT_SCALE_FACTOR", factor.c_str(), 1);
        setenv("BKQY_SCALE", factor.c_str(), 1);
    }
    static int argc = 1;
    static char name[] = "bkqy-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QApplication>(argc, argv);
}

bool OffscreenWindow::Start() {
    if (!m_window.Initialise()) return false;
    const auto date = m_in.Date();
    if (!date) return true;
    screen::ScreenController& screen = m_window.Controller();
    data::SimulationDate simulation = screen.Market().simulation;
    if (!EnterSimulationDate(*date, simulation, screen.Market().index, m_prompter)) return false;
    screen.UseSimulationDate(simulation.date);
    return true;
}

int OffscreenWindow::SavePng(std::optional<QRect> area) {
    const std::string png = m_in.Text("png");
    m_window.show();
    QApplication::processEvents();
    const QPixmap picture = area ? m_window.grab(*area) : m_window.grab();
    if (!WriteImageFile(picture.toImage(), png, "PNG"))
        return m_in.Fail(Exit::Refused, "无法写入 " + png);
    std::printf("%s\n", png.c_str());
    return static_cast<int>(Exit::Ok);
}

base::Status WriteImageFile(const QImage& picture, const std::string& path, const char* format,
                            int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, format, quality))
        return base::Error{std::string("图片无法编码为 ") + format};
    return base::WriteFileAtomic(path, std::span(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                                 static_cast<size_t>(bytes.size())));
}

}  // namespace cli

#include "app/analysis_app.h"

#include <QApplication>

#include "app/main_window.h"

namespace app {

int RunAnalysisApp(int argc, char** argv, const std::string& dataRoot) {
    QApplication application(argc, argv);
    CMainDlg dialog(dataRoot, nullptr);
    if (!dialog.Initialise()) return 1;
    dialog.exec();
    return 0;
}

}  // namespace app

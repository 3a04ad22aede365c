// CAnalysisApp: runs the main window modally; the program ends when it closes.
#pragma once

#include <string>

namespace app {

// Returns the process exit code.
int RunAnalysisApp(int argc, char** argv, const std::string& dataRoot);

}  // namespace app

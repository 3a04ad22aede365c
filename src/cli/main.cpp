// bkqy-cli: the headless commands over a data root. The commands that render
// the window (shot, chart) run in the window program beside this one, so the
// others start without loading any window library.
#include <string>
#include <vector>

#include "cli/dispatch.h"

int main(int argc, char** argv) {
    const std::vector<std::string> words(argv + 1, argv + argc);
    return cli::RunCommandLine(words, cli::PlainRunners(), cli::HandOverToWindowProgram);
}

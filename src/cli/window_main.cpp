// bkqy-cli-window: the commands of bkqy-cli that draw with the window's code
// (shot, chart, pictures). bkqy-cli hands these over to this program, found
// beside it, and demo runs it for the example pictures, so that only they
// load the window libraries.
#include <string>
#include <vector>

#include "cli/dispatch.h"
#include "cli/offscreen_window.h"

namespace {

constexpr cli::Runner kWindowRunners[] = {
    {"shot", cli::RunShotCommand},
    {"chart", cli::RunChartCommand},
    {"pictures", cli::RunPicturesCommand},
};

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> words(argv + 1, argv + argc);
    return cli::RunCommandLine(words, kWindowRunners, nullptr);
}

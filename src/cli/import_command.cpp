// bkqy-cli import: market data users already have, brought into a data root.
#include <cstdio>

#include "cli/args.h"

namespace cli {

int RunImportCommand(const Args&) {
    std::fprintf(stderr, "bkqy-cli import: not built yet\n");
    return 2;
}

}  // namespace cli

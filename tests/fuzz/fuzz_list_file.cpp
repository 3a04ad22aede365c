// A stock-list file (XG/*.TXT) as the candidates of a run.
#include <cstdint>

#include "base/recording_prompter.h"
#include "fuzz_input.h"
#include "picking/candidates.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    base::RecordingPrompter prompter;
    picking::CandidateSet candidates;
    picking::LoadCandidatePath(fuzz::AsFile(data, size), prompter, candidates);
    if (candidates.codes.size() > picking::kCandidateCapacity) __builtin_trap();
    return 0;
}

// The marked-up text renderer (help pages, sector notes) on any GBK bytes.
#include <cstdint>
#include <string_view>

#include "ui/markup_text.h"
#include "ui/recording_canvas.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ui::RecordingCanvas canvas;
    ui::MarkupLayout layout{20, 30, 400, 300, 10, 4, 8, 20, 40, 16, 8, 12};
    const ui::MarkupResult result =
        ui::DrawMarkupText(canvas, std::string_view(reinterpret_cast<const char*>(data), size), layout);
    (void)ui::FitsInBox(layout, result);
    return 0;
}

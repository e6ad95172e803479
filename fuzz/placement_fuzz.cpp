// Feeds arbitrary bytes to the placement file reader. Whatever it accepts must come back
// unchanged from the text the program would write for it.
#include "app/placement_file.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace scrivlet;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto placement = parsePlacement(bytes);
    if (!placement)
        return 0;

    const std::string written = formatPlacement(*placement);
    const auto again = parsePlacement(written);
    if (!again || !(*again == *placement))
        __builtin_trap();

    if (const auto pixels = toPixels(*placement)) {
        const auto back = toPixels(toTwips(*pixels));
        if (!back || !(*back == *pixels))
            __builtin_trap();
    }
    return 0;
}

#pragma once

#include "common/environment.h"
#include "common/twips.h"

#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace scrivlet {

// The main window's outer rectangle in twips (15 to the pixel), screen coordinates, as the
// placement file holds it: single-precision values, whole numbers in practice.
struct Placement {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;

    friend bool operator==(const Placement&, const Placement&) = default;
};

// A window rectangle in pixels.
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The largest coordinate a window system takes (16-bit window coordinates).
inline constexpr int kLargestWindowCoordinate = 32767;

// Where the placement file lives: $windir/Kelvane.ini when windir is set and not empty,
// otherwise Kelvane.ini in the user's configuration folder.
std::optional<std::filesystem::path> placementPath(const Environment& environment);

// The four lines of the file, each ended by CR LF:
//   [Window position x,y] / Left,Top / [Window size w,h] / Width,Height
std::string formatPlacement(const Placement& placement);

// Reads the file's contents: line 1 and line 3 are skipped whatever they hold, lines 2 and 4
// each give two numbers (list input: leading blanks skipped, a field ends at a comma or at the
// end of its line). CR LF, LF and CR all end a line. Anything after the fourth number is
// ignored. Nullopt on any failure: too few lines or fields, a field that is not a number, a
// number out of single-precision range.
std::optional<Placement> readPlacement(std::istream& in);
std::optional<Placement> parsePlacement(std::string_view bytes);

// The pixel rectangle a placement asks for; nullopt when a window would refuse it (a value
// that is not finite, a negative size, a coordinate beyond what a window system holds).
// Values are rounded to the nearest pixel.
std::optional<PixelRect> toPixels(const Placement& placement);
Placement toTwips(const PixelRect& rect);

// The default placement on a screen of the given size in pixels, relative to the screen's
// top-left corner: two thirds of the screen's width and height, centred.
PixelRect fallbackRect(int screenWidth, int screenHeight);

// Reads and parses the file; nullopt when it is missing, unreadable or malformed.
std::optional<Placement> loadPlacementFile(const std::filesystem::path& path);

// Replaces the file with the placement. The bytes go to a new file in the same folder first,
// which is flushed to disk and then renamed over the old one, so the old file stays whole
// until the new one is complete. The folder is created when missing. On failure returns false
// and says why in `error`; the old file is then unchanged.
bool savePlacementFile(const std::filesystem::path& path, const Placement& placement,
                       std::string& error);

} // namespace scrivlet

#include "app/placement_file.h"

#include "common/file_io.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace scrivlet {
namespace {

const char kPositionHeader[] = "[Window position x,y]";
const char kSizeHeader[] = "[Window size w,h]";
const char kFileName[] = "Kelvane.ini";

// No number the file can sensibly hold is longer; a longer field is not a number.
constexpr std::size_t kLongestField = 256;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads the file the way list input does: whole lines, and comma-separated fields.
class ListInput {
public:
    explicit ListInput(std::istream& in) : m_in(in) {}

    // Reads and discards one line; false at the end of the file.
    bool skipLine()
    {
        int c = m_in.get();
        if (c == EOF)
            return false;
        while (c != EOF && !endOfLine(c))
            c = m_in.get();
        return true;
    }

    // Reads one field and converts it to a number.
    std::optional<float> number()
    {
        int c = m_in.get();
        while (c == ' ' || c == '\t')
            c = m_in.get();
        if (c == EOF)
            return std::nullopt;
        std::string field;
        bool tooLong = false;
        while (c != EOF && c != ',' && !endOfLine(c)) {
            if (field.size() < kLongestField)
                field.push_back(static_cast<char>(c));
            else
                tooLong = true;
            c = m_in.get();
        }
        if (tooLong)
            return std::nullopt;
        while (!field.empty() && (field.back() == ' ' || field.back() == '\t'))
            field.pop_back();
        return toNumber(field);
    }

private:
    // True for a line end; a CR followed by LF is consumed as one line end.
    bool endOfLine(int c)
    {
        if (c == '\n')
            return true;
        if (c != '\r')
            return false;
        if (m_in.peek() == '\n')
            m_in.get();
        return true;
    }

    // Plain decimal: an optional sign, digits with an optional fraction, an optional exponent.
    static std::optional<float> toNumber(std::string_view text)
    {
        bool negative = false;
        if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
            negative = text.front() == '-';
            text.remove_prefix(1);
        }
        std::size_t i = 0;
        std::size_t digits = 0;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            ++digits;
        }
        if (i < text.size() && text[i] == '.') {
            ++i;
            while (i < text.size() && isDigit(text[i])) {
                ++i;
                ++digits;
            }
        }
        if (digits == 0)
            return std::nullopt;
        if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
            ++i;
            if (i < text.size() && (text[i] == '+' || text[i] == '-'))
                ++i;
            std::size_t exponentDigits = 0;
            while (i < text.size() && isDigit(text[i])) {
                ++i;
                ++exponentDigits;
            }
            if (exponentDigits == 0)
                return std::nullopt;
        }
        if (i != text.size())
            return std::nullopt;
        float value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
            return std::nullopt;
        return negative ? -value : value;
    }

    std::istream& m_in;
};

void appendNumber(std::string& out, float value)
{
    if (value == 0)
        value = 0; // no "-0"
    std::array<char, 128> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed);
    out.append(buffer.data(), result.ptr);
}

std::optional<int> toPixel(float twips)
{
    const double pixels = static_cast<double>(twips) / kTwipsPerPixel;
    if (!(std::abs(pixels) <= kLargestWindowCoordinate))
        return std::nullopt;
    return static_cast<int>(std::lround(pixels));
}

} // namespace

std::optional<std::filesystem::path> placementPath(const Environment& environment)
{
    if (const auto windir = environment("windir"); windir && !windir->empty())
        return std::filesystem::path(*windir) / kFileName;
    if (const auto config = userConfigDirectory(environment))
        return *config / kFileName;
    return std::nullopt;
}

std::string formatPlacement(const Placement& placement)
{
    std::string out;
    out += kPositionHeader;
    out += "\r\n";
    appendNumber(out, placement.left);
    out += ',';
    appendNumber(out, placement.top);
    out += "\r\n";
    out += kSizeHeader;
    out += "\r\n";
    appendNumber(out, placement.width);
    out += ',';
    appendNumber(out, placement.height);
    out += "\r\n";
    return out;
}

std::optional<Placement> readPlacement(std::istream& in)
{
    ListInput input(in);
    if (!input.skipLine())
        return std::nullopt;
    const auto left = input.number();
    if (!left)
        return std::nullopt;
    const auto top = input.number();
    if (!top)
        return std::nullopt;
    if (!input.skipLine())
        return std::nullopt;
    const auto width = input.number();
    if (!width)
        return std::nullopt;
    const auto height = input.number();
    if (!height)
        return std::nullopt;
    return Placement{*left, *top, *width, *height};
}

std::optional<Placement> parsePlacement(std::string_view bytes)
{
    std::istringstream in{std::string(bytes)};
    return readPlacement(in);
}

std::optional<PixelRect> toPixels(const Placement& placement)
{
    if (placement.width < 0 || placement.height < 0)
        return std::nullopt;
    const auto left = toPixel(placement.left);
    const auto top = toPixel(placement.top);
    const auto width = toPixel(placement.width);
    const auto height = toPixel(placement.height);
    if (!left || !top || !width || !height)
        return std::nullopt;
    return PixelRect{*left, *top, *width, *height};
}

Placement toTwips(const PixelRect& rect)
{
    const auto twips = [](int pixels) { return static_cast<float>(pixels) * kTwipsPerPixel; };
    return {twips(rect.left), twips(rect.top), twips(rect.width), twips(rect.height)};
}

PixelRect fallbackRect(int screenWidth, int screenHeight)
{
    // Each step takes the value the window has after the step before, in whole pixels.
    PixelRect rect;
    rect.width = static_cast<int>(std::lround(screenWidth * 2.0 / 3.0));
    rect.height = static_cast<int>(std::lround(screenHeight * 2.0 / 3.0));
    rect.left = static_cast<int>(std::lround((screenWidth - rect.width) / 2.0));
    rect.top = static_cast<int>(std::lround((screenHeight - rect.height) / 2.0));
    return rect;
}

std::optional<Placement> loadPlacementFile(const std::filesystem::path& path)
{
    const FileReadResult read = readWholeFile(path.string());
    if (!read.ok)
        return std::nullopt;
    return parsePlacement(read.bytes);
}

bool savePlacementFile(const std::filesystem::path& path, const Placement& placement,
                       std::string& error)
{
    const std::filesystem::path folder = path.parent_path();
    if (!folder.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        if (ec) {
            error = "cannot create the folder " + folder.string() + ": " + ec.message();
            return false;
        }
    }
    const FileWriteResult written = writeFileAtomically(path.string(), formatPlacement(placement));
    if (!written.ok)
        error = "cannot write " + path.string() + ": " + written.reason;
    return written.ok;
}

} // namespace scrivlet

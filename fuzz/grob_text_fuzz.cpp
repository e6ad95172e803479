// Feeds arbitrary bytes to the GROB line reader as if they were a line of the editor. A line
// it refuses has a problem and a column inside the line or just after it. A line it takes must
// agree with a plain split into words (keyword, decimal width and height, the data digits in
// either case), be a whole object, and come back unchanged through its own line and through
// the .gro file the export writes and the import reads.
#include "calculator/grob.h"
#include "calculator/grob_object.h"
#include "calculator/grob_text.h"
#include "fuzz_check.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using scrivlet::fuzz::check;

namespace {

std::vector<std::string_view> words(std::string_view line)
{
    std::vector<std::string_view> result;
    std::size_t pos = 0;
    while (true) {
        pos = line.find_first_not_of(" \t\r\n", pos);
        if (pos == std::string_view::npos)
            return result;
        const std::size_t end = std::min(line.find_first_of(" \t\r\n", pos), line.size());
        result.push_back(line.substr(pos, end - pos));
        pos = end;
    }
}

std::string withoutLeadingZeros(std::string_view number)
{
    const std::size_t first = number.find_first_not_of('0');
    return first == std::string_view::npos ? "0" : std::string(number.substr(first));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const scrivlet::GrobTextParse parse = scrivlet::parseGrobText(line);
    if (!parse.ok()) {
        check(!parse.problem.empty());
        check(parse.column >= 1 && parse.column <= size + 1);
        return 0;
    }
    check(parse.problem.empty() && parse.column == 0);
    const scrivlet::GrobObject& grob = *parse.grob;
    check(scrivlet::isWholeGrob(grob));

    const std::vector<std::string_view> w = words(line);
    check((w.size() == 4 || (w.size() == 3 && grob.data.empty())) && w[0] == "GROB");
    check(withoutLeadingZeros(w[1]) == std::to_string(grob.width));
    check(withoutLeadingZeros(w[2]) == std::to_string(grob.height));
    const std::string own = scrivlet::grobObjectLine(grob);
    std::string digits(w.size() == 4 ? w[3] : std::string_view());
    for (char& c : digits)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    check(own.compare(own.size() - 2 - digits.size(), digits.size(), digits) == 0);

    check(scrivlet::parseGrobText(own).grob == grob);
    check(scrivlet::convertGrob(scrivlet::grobFileBytes(grob)).line == own);
    return 0;
}

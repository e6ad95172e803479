// Feeds arbitrary bytes to the GROB reader as if they were a dropped .gro file and checks the
// line it builds: "GROB " width " " height " " two upper-case hex digits per announced data byte,
// CR LF; no line at all when the file is too short.
#include "calculator/grob.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using scrivlet::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const scrivlet::GrobConversion r = scrivlet::convertGrob(file);
    check(r.fileBytes == size);
    if (!r.ok()) {
        check(r.line.empty());
        check(!scrivlet::grobProblemText(r).empty());
        check(size < scrivlet::kGrobFieldBytes || r.dataPresent < r.dataClaimed);
        return 0;
    }
    check(size >= scrivlet::kGrobFieldBytes + r.dataClaimed);
    const scrivlet::GrobFields f = scrivlet::grobFields(file);
    check(f.width <= 0xFFFFF && f.height <= 0xFFFFF && f.length <= 0xFFFFF);
    check(r.dataClaimed == scrivlet::grobDataBytes(f.length));
    const std::string head =
        "GROB " + std::to_string(f.width) + " " + std::to_string(f.height) + " ";
    check(r.line.size() == head.size() + 2 * r.dataClaimed + 2);
    check(r.line.compare(0, head.size(), head) == 0);
    check(r.line.compare(r.line.size() - 2, 2, "\r\n") == 0);
    const char* digits = "0123456789ABCDEF";
    for (std::size_t i = 0; i < r.dataClaimed; ++i) {
        const auto byte = static_cast<unsigned char>(file[scrivlet::kGrobFieldBytes + i]);
        check(r.line[head.size() + 2 * i] == digits[byte & 0x0F]);
        check(r.line[head.size() + 2 * i + 1] == digits[byte >> 4]);
    }
    return 0;
}

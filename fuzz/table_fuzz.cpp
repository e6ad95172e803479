// Entry tables, loader listings, equate files, entries databases and sources as the importer and
// the learner read them: any bytes must decode to valid UTF-8 and parse without failing, what is
// taken must be well formed, and Windows-1252 bytes must come back unchanged from UTF-8. The
// entries database reader also reads every input, whatever format it is recognised as.
#include "common/windows1252.h"
#include "reference/table_formats.h"
#include "reference/usage_counter.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (scrivlet::windows1252FromUtf8(scrivlet::utf8FromWindows1252(bytes)) != bytes)
        std::abort();
    const std::string text = scrivlet::decodeUtf8OrWindows1252(bytes);
    if (!scrivlet::isValidUtf8(text))
        std::abort();
    const auto checkEntries = [](const scrivlet::ParsedTable& table) {
        for (const auto& entry : table.entries) {
            // A name is one word, an address 5 or 6 hexadecimal digits, a description one line.
            if (entry.name.empty() || entry.name.find_first_of(" \t\r\n") != std::string::npos)
                std::abort();
            if (entry.addr.size() < 5 || entry.addr.size() > 6)
                std::abort();
            if (entry.description.find('\n') != std::string::npos)
                std::abort();
        }
        for (std::size_t i = 1; i < table.skipped.size(); ++i) {
            if (table.skipped[i - 1].line > table.skipped[i].line)
                std::abort();
        }
    };
    if (const auto format = scrivlet::recogniseTableFormat(text))
        checkEntries(scrivlet::parseTable(text, *format));
    checkEntries(scrivlet::parseEntriesDatabase(text));
    scrivlet::UsageCounter counter({"DUP", "SWAP", "::", ";", "(", "x"});
    counter.countSource(text);
    counter.countListing(text);
    return 0;
}

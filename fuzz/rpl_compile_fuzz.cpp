// Feeds arbitrary bytes to the User RPL compiler as a source. A refused source gets a message
// and a line and column inside the text; an accepted one decompiles to text that compiles back
// to the same nibbles. The ROM names are those of data/rom49.tbl.
#include "reference/rom_names_reader.h"
#include "common/file_io.h"
#include "fuzz_check.h"
#include "reference/entry_table.h"
#include "rpl/rpl_compiler.h"
#include "rpl/rpl_decompiler.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

using scrivlet::fuzz::check;
using namespace scrivlet;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const RomNames names =
        romNamesOfTable(readWholeFile(SCRIVLET_DATA_DIR "/rom49.tbl").bytes);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const CompileResult first = compileRpl(text, names);
    if (!first.ok) {
        check(!first.error.message.empty());
        check(first.error.line >= 1 && first.error.column >= 1);
        check(first.error.line <=
              1 + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
        return 0;
    }
    const CompileResult again = compileRpl(decompiledTransferText(first.object, names), names);
    check(again.ok);
    check(objectNibbles(again.object) == objectNibbles(first.object));
    return 0;
}

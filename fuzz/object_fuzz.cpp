// Feeds arbitrary bytes to the transfer-file reader as if they were a .hp file. A file it
// refuses gets a message and an offset inside the file; a file it accepts writes back to the
// same bytes (the pad nibble aside), and its object decompiles to text that compiles back to
// the same nibbles. The ROM names are those of data/rom49.tbl.
#include "reference/rom_names_reader.h"
#include "calculator/transfer_file.h"
#include "common/file_io.h"
#include "fuzz_check.h"
#include "reference/entry_table.h"
#include "rpl/rpl_compiler.h"
#include "rpl/rpl_decompiler.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using scrivlet::fuzz::check;
using namespace scrivlet;

namespace {

const RomNames& bookNames()
{
    static const RomNames names =
        romNamesOfTable(readWholeFile(SCRIVLET_DATA_DIR "/rom49.tbl").bytes);
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const TransferFileRead read = readTransferFile(file);
    if (!read.ok) {
        check(!read.message.empty());
        check(read.byteOffset <= size);
        return 0;
    }
    const Nibbles nibbles = objectNibbles(read.file.object);
    check(kTransferHeaderBytes + (nibbles.size() + 1) / 2 <= size);
    const std::string back =
        transferFileBytes(read.file.object, read.file.family, read.file.letter);
    check(back.size() <= size);
    const std::size_t whole = kTransferHeaderBytes + nibbles.size() / 2;
    check(back.compare(0, whole, file.substr(0, whole)) == 0);
    if (nibbles.size() % 2 != 0)
        check((back[whole] & 0x0F) == (file[whole] & 0x0F));

    DecompileOptions options;
    options.namePointers = read.file.family == CalculatorFamily::Hp49;
    const std::string text = decompiledTransferText(read.file.object, bookNames(), options);
    const CompileResult compiled = compileRpl(text, bookNames());
    check(compiled.ok);
    check(objectNibbles(compiled.object) == nibbles);
    return 0;
}

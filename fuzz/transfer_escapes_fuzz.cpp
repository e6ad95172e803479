// Feeds arbitrary bytes to the transfer-escape reader (text the calculator sent, or a forum
// post) and checks that writing escapes is its inverse: any byte string survives being written
// as escapes and read back.
#include "calculator/transfer_escapes.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using scrivlet::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const scrivlet::EscapesToBytesResult read = scrivlet::escapesToBytes(input);
    check(read.bytes.size() <= input.size());
    const scrivlet::BytesToEscapesResult written = scrivlet::bytesToEscapes(input);
    const scrivlet::EscapesToBytesResult back = scrivlet::escapesToBytes(written.text);
    check(back.bytes == input);
    check(back.unknown == 0);
    return 0;
}

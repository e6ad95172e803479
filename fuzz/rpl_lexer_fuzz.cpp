// Feeds arbitrary bytes to the RPL lexer as a source, line by line with the state carried, and
// checks the lexer's invariants: tokens in order, not empty, not overlapping, inside their
// line; the carried state survives packing.
#include "rpl/lexer.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

using scrivlet::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    scrivlet::LexState state;
    std::vector<scrivlet::Token> tokens;
    while (true) {
        const std::size_t end = text.find("\r\n");
        const std::string_view line = text.substr(0, end);
        state = scrivlet::lexLine(line, state, tokens);
        std::uint32_t previousEnd = 0;
        for (const scrivlet::Token& token : tokens) {
            check(token.length > 0);
            check(token.start >= previousEnd);
            check(token.end() <= line.size());
            previousEnd = token.end();
        }
        check(scrivlet::LexState::fromPacked(state.packed()) == state);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 2);
    }
    return 0;
}

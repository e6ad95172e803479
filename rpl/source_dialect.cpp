#include "rpl/source_dialect.h"

#include "rpl/rpl_compiler.h"

#include <vector>

namespace scrivlet {

RplDialect sourceDialect(std::string_view text)
{
    LexState state;
    std::vector<Token> tokens;
    bool words = false; // a word other than a comment came before
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!words && !state.inComment && !state.inString && line.starts_with('*'))
            return RplDialect::System;
        state = lexLine(line, state, tokens);
        if (state.dialect != RplDialect::Unknown)
            return state.dialect;
        for (const Token& token : tokens) {
            if (token.kind == TokenKind::Directive && token.text(line) == "INCLUDE")
                return RplDialect::System;
            words = words || token.kind != TokenKind::Comment;
        }
    }
    return RplDialect::Unknown;
}

SourceCompile compileSource(std::string_view text, RplDialect dialect,
                            const ProjectFileReader& read, const RomNames& names)
{
    if (dialect == RplDialect::Unknown)
        dialect = sourceDialect(text);
    if (dialect == RplDialect::System)
        return compileSystemSource(text, read, names);
    CompileResult compiled = compileRpl(text, names);
    return {compiled.ok, std::move(compiled.object),
            {{}, compiled.error.line, compiled.error.column, std::move(compiled.error.message)}};
}

} // namespace scrivlet

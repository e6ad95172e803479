#include "rpl/source_words.h"

#include "common/line_walk.h"
#include "rpl/lexer.h"

#include <vector>

namespace scrivlet {
namespace {

bool mayNameAnEntry(TokenKind kind)
{
    switch (kind) {
    case TokenKind::Comment:
    case TokenKind::String:
    case TokenKind::Character:
    case TokenKind::Identifier:
    case TokenKind::DefinedName:
    case TokenKind::LocalName:
    case TokenKind::AsmComment:
        return false;
    default:
        return true;
    }
}

} // namespace

SourceWordScan forEachSourceWord(std::string_view text,
                                 const std::function<void(std::string_view)>& visit)
{
    SourceWordScan scan;
    LexState state;
    std::vector<Token> tokens;
    forEachLine(text, [&](std::size_t lineNumber, std::string_view line) {
        const bool commentBefore = state.inComment;
        state = lexLine(line, state, tokens);
        for (const Token& token : tokens) {
            if (mayNameAnEntry(token.kind))
                visit(token.text(line));
        }
        if (state.inComment && !commentBefore)
            scan.unclosedCommentLine = lineNumber;
    });
    if (!state.inComment)
        scan.unclosedCommentLine = 0;
    return scan;
}

} // namespace scrivlet

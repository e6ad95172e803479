#include "rpl/source_words.h"

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
    std::size_t lineNumber = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const bool commentBefore = state.inComment;
        state = lexLine(line, state, tokens);
        for (const Token& token : tokens) {
            if (mayNameAnEntry(token.kind))
                visit(token.text(line));
        }
        if (state.inComment && !commentBefore)
            scan.unclosedCommentLine = lineNumber;
    }
    if (!state.inComment)
        scan.unclosedCommentLine = 0;
    return scan;
}

} // namespace scrivlet

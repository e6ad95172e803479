#include "rpl/rpl_tokens.h"

namespace scrivlet {

RplToken RplTokenizer::next(TokenContext context)
{
    const std::size_t n = m_src.size();
    while (true) {
        while (m_pos < n && isRplSeparator(m_src[m_pos]))
            ++m_pos;
        if (m_pos < n && m_src[m_pos] == '@') {
            const std::size_t close = m_src.find_first_of("@\n", m_pos + 1);
            m_pos = close == std::string_view::npos ? n : m_src[close] == '@' ? close + 1 : close;
            continue;
        }
        break;
    }
    RplToken token;
    token.at = m_pos;
    if (m_pos >= n)
        return token;
    const char c = m_src[m_pos];
    auto delimited = [&](char close, RplToken::Kind kind, const char* what, bool oneLine) {
        const std::size_t end = m_src.find(close, m_pos + 1);
        const std::size_t line = m_src.find('\n', m_pos + 1);
        if (end == std::string_view::npos || (oneLine && line < end)) {
            if (m_error.empty()) {
                m_errorAt = m_pos;
                m_error = std::string(what) + " has no closing " + close;
            }
            m_pos = n;
            return RplToken{RplToken::Kind::End, {}, n};
        }
        token.kind = kind;
        token.text = m_src.substr(m_pos + 1, end - m_pos - 1);
        m_pos = end + 1;
        return token;
    };
    if (c == '"')
        return delimited('"', RplToken::Kind::String, "a string", false);
    // In the System RPL form a lone ' is the book's entry that quotes the next object.
    const bool loneQuote = context == TokenContext::System &&
                           (m_pos + 1 >= n || isRplSeparator(m_src[m_pos + 1]));
    std::size_t end = m_pos;
    while (end < n && !isRplSeparator(m_src[end]))
        ++end;
    const bool entryName = context == TokenContext::System && c == '\'' && m_isEntryName &&
                           m_isEntryName(m_src.substr(m_pos, end - m_pos));
    if (c == '\'' && !loneQuote && !entryName)
        return delimited('\'', RplToken::Kind::Quoted, "a quoted name or algebraic", false);
    if (c == '(')
        return delimited(')', RplToken::Kind::Complex, "a complex number", false);
    if (c == ':' && (m_pos + 1 >= n || m_src[m_pos + 1] != ':'))
        return delimited(':', RplToken::Kind::Tag, "a tag", true);
    // System RPL words run from space to space: {}N is an entry; { alone opens a list and {}
    // is an empty one.
    const bool bracketWord =
        context == TokenContext::System && end > m_pos + 1 &&
        m_src.substr(m_pos, end - m_pos).find_first_not_of("{}[]") != std::string_view::npos;
    if (!bracketWord &&
        (c == '{' || c == '}' || c == '\xAB' || c == '\xBB' || c == '[' || c == ']')) {
        token.kind = RplToken::Kind::Bracket;
        token.text = m_src.substr(m_pos++, 1);
        return token;
    }
    if (context == TokenContext::User) {
        end = m_pos;
        while (end < n && !endsUserWord(m_src[end]))
            ++end;
    }
    token.kind = RplToken::Kind::Word;
    token.text = m_src.substr(m_pos, end - m_pos);
    m_pos = end;
    return token;
}

} // namespace scrivlet

#include "rpl/asm_lexer.h"

#include "rpl/words.h"

#include <algorithm>

namespace scrivlet {

using namespace rplwords;

namespace {

using Region = LexState::Region;

class AsmLine final : LineCursor {
  public:
    using LineCursor::LineCursor;

    std::size_t lexSasm(std::size_t pos);
    std::size_t lexMasd(std::size_t pos);

  private:
    // A word ends at a separator; a "..." inside it is part of it, spaces included.
    std::size_t wordEnd(std::size_t pos) const
    {
        while (pos < m_n && !isSeparator(m_line[pos])) {
            if (m_line[pos] == '"') {
                const std::size_t close = m_line.find('"', pos + 1);
                pos = close == std::string_view::npos ? std::max(pos + 1, trimmedEnd()) : close + 1;
            } else {
                ++pos;
            }
        }
        return pos;
    }
    // Ends the block at the word [start, end) when it is the block's closing word.
    bool endsBlock(std::size_t start, std::size_t end)
    {
        const std::string_view word = m_line.substr(start, end - start);
        const bool ends = m_state.region == Region::SasmAssemble   ? word == "RPL"
                          : m_state.region == Region::MasdAssemble ? word == "!RPL"
                          : m_state.region == Region::MasdCode ? word == "ENDCODE" || word == "!RPL"
                                                               : word == "ENDCODE";
        if (ends) {
            emit(start, end, TokenKind::Directive);
            m_state.region = Region::Rpl;
        }
        return ends;
    }
    void expectDefinition(DefinitionKind kind, LexState::Expect expect)
    {
        m_state.definer = kind;
        m_state.expect = expect;
        m_state.expectCount = 1;
    }
};

std::size_t AsmLine::lexSasm(std::size_t pos)
{
    if (pos == 0 && m_n > 0 && m_line[0] == '*') {
        emit(0, trimmedEnd(), TokenKind::AsmComment);
        return m_n;
    }
    const bool labelColumn = pos == 0 && m_n > 0 && !isSeparator(m_line[0]);
    pos = skipSeparators(pos);
    if (pos >= m_n)
        return m_n;
    std::size_t end = wordEnd(pos);
    if (endsBlock(pos, end))
        return end;
    if (labelColumn) {
        emit(pos, end, TokenKind::AsmLabel, DefinitionKind::AsmLabel);
        pos = skipSeparators(end);
        if (pos >= m_n)
            return m_n;
        end = wordEnd(pos);
        if (endsBlock(pos, end))
            return end;
    }
    const std::string_view mnemonic = m_line.substr(pos, end - pos);
    emit(pos, end, TokenKind::AsmMnemonic);
    pos = skipSeparators(end);
    if (pos >= m_n)
        return m_n;
    if (isSasmStringMnemonic(mnemonic)) {
        const std::size_t close = m_line.find(m_line[pos], pos + 1);
        const std::size_t stop = close == std::string_view::npos ? trimmedEnd() : close + 1;
        emit(pos, stop, TokenKind::String);
        pos = skipSeparators(stop);
    } else if (!isSasmWithoutOperand(mnemonic)) {
        end = wordEnd(pos);
        emit(pos, end,
             isAsmNumber(m_line.substr(pos, end - pos)) ? TokenKind::Number : TokenKind::Plain);
        pos = skipSeparators(end);
    }
    if (pos < m_n)
        emit(pos, trimmedEnd(), TokenKind::AsmComment);
    return m_n;
}

std::size_t AsmLine::lexMasd(std::size_t pos)
{
    using Expect = LexState::Expect;
    for (pos = skipSeparators(pos); pos < m_n; pos = skipSeparators(pos)) {
        const char c = m_line[pos];
        if (c == '%' || c == ';') {
            emit(pos, trimmedEnd(), TokenKind::AsmComment);
            return m_n;
        }
        const std::size_t end = wordEnd(pos);
        const std::string_view word = m_line.substr(pos, end - pos);
        if (endsBlock(pos, end))
            return end;
        if (m_state.expect == Expect::NumberThenDefinedName) {
            emit(pos, end, TokenKind::Number);
            m_state.expect = Expect::DefinedName;
        } else if (m_state.expect != Expect::Nothing) {
            emit(pos, end, TokenKind::DefinedName, m_state.definer);
            m_state.expect = Expect::Nothing;
            m_state.expectCount = 0;
            m_state.definer = DefinitionKind::None;
        } else if (c == '*' && word.size() > 1) {
            emit(pos, end, TokenKind::AsmLabel, DefinitionKind::AsmLabel);
        } else if (word == "DEFINE") {
            emit(pos, end, TokenKind::DefiningWord);
            expectDefinition(DefinitionKind::Define, Expect::DefinedName);
        } else if (const Keyword k = keywordOf(word); k == Keyword::Equate) {
            emit(pos, end, TokenKind::DefiningWord);
            expectDefinition(DefinitionKind::Equate, Expect::DefinedName);
        } else if (k == Keyword::EquateCp) {
            emit(pos, end, TokenKind::DefiningWord);
            expectDefinition(DefinitionKind::Equate, Expect::NumberThenDefinedName);
        } else if (c == '"') {
            emit(pos, end, TokenKind::String);
        } else {
            emit(pos, end,
                 isMasdMnemonic(word) ? TokenKind::AsmMnemonic
                 : isAsmNumber(word)  ? TokenKind::Number
                                      : TokenKind::Plain);
        }
        pos = end;
    }
    return m_n;
}

} // namespace

std::size_t lexAsm(std::string_view line, std::size_t pos, LexState& state, std::vector<Token>& out)
{
    AsmLine asmLine(line, state, out);
    return state.region == Region::SasmCode || state.region == Region::SasmAssemble
               ? asmLine.lexSasm(pos)
               : asmLine.lexMasd(pos);
}

} // namespace scrivlet

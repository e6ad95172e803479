#include "rpl/pairs.h"

#include "rpl/words.h"

#include <optional>
#include <string>
#include <vector>

namespace scrivlet {
namespace {

enum class Bracket : std::uint8_t {
    None,
    Secondary, // :: UNIT SYMBOL SYMBOLIC MATRIX
    List,
    Locals,
    Program,
    Array,
    Semi,
    ListEnd,
    LocalsEnd,
    ProgramEnd,
    ArrayEnd,
};

Bracket bracketOf(std::string_view w)
{
    if (w.size() == 1) {
        switch (static_cast<unsigned char>(w[0])) {
        case ';':
            return Bracket::Semi;
        case '{':
            return Bracket::List;
        case '}':
            return Bracket::ListEnd;
        case '[':
            return Bracket::Array;
        case ']':
            return Bracket::ArrayEnd;
        case rplwords::kOpenProgram:
            return Bracket::Program;
        case rplwords::kCloseProgram:
            return Bracket::ProgramEnd;
        default:
            return Bracket::None;
        }
    }
    if (w == "::" || w == "UNIT" || w == "SYMBOL" || w == "SYMBOLIC" || w == "MATRIX")
        return Bracket::Secondary;
    if (w == "{{")
        return Bracket::Locals;
    if (w == "}}")
        return Bracket::LocalsEnd;
    if (w == "\\<<")
        return Bracket::Program;
    if (w == "\\>>")
        return Bracket::ProgramEnd;
    return Bracket::None;
}

bool isOpener(Bracket b)
{
    return b >= Bracket::Secondary && b <= Bracket::Array;
}

bool closes(Bracket opener, Bracket closer)
{
    switch (opener) {
    case Bracket::Secondary:
        return closer == Bracket::Semi;
    case Bracket::List:
        return closer == Bracket::ListEnd || closer == Bracket::Semi;
    case Bracket::Locals:
        return closer == Bracket::LocalsEnd;
    case Bracket::Program:
        return closer == Bracket::ProgramEnd;
    case Bracket::Array:
        return closer == Bracket::ArrayEnd;
    default:
        return false;
    }
}

// The scan from one bracket towards its partner: a stack of the brackets still waiting for
// theirs, the bracket next to the caret at its bottom.
class PairScan final {
  public:
    PairScan(PairMatch& result, Bracket start) : m_result(result), m_forward(isOpener(start))
    {
        m_stack.push_back(start);
    }

    bool forward() const { return m_forward; }

    // Takes one structure token met on the way; true when the scan is over.
    bool take(std::size_t line, std::string_view text, const Token& token)
    {
        if (token.kind != TokenKind::Structure)
            return false;
        const Bracket b = bracketOf(token.text(text));
        if (b == Bracket::None)
            return false;
        if (isOpener(b) == m_forward) {
            m_stack.push_back(b);
            return false;
        }
        const Bracket waiting = m_stack.back();
        const bool fits = m_forward ? closes(waiting, b) : closes(b, waiting);
        m_stack.pop_back();
        if (!m_stack.empty())
            return false;
        m_result.status = fits ? PairStatus::Matched : PairStatus::Mismatched;
        m_result.partner = {line, token.start};
        m_result.partnerLength = token.length;
        return true;
    }

  private:
    PairMatch& m_result;
    bool m_forward;
    std::vector<Bracket> m_stack;
};

} // namespace

PairMatch matchPair(const RplLines& lines, TextPoint caret, PairLimits limits)
{
    PairMatch result;
    if (caret.line >= lines.lineCount())
        return result;
    std::string scratch;
    std::vector<Token> tokens;
    std::string_view text = lines.lineText(caret.line, scratch);
    LexState state = lexLine(text, lines.stateBefore(caret.line), tokens);

    std::optional<std::size_t> chosen;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.kind != TokenKind::Structure || bracketOf(t.text(text)) == Bracket::None)
            continue;
        if (t.start <= caret.column && caret.column < t.end()) {
            chosen = i;
            break;
        }
        if (t.end() == caret.column)
            chosen = i;
    }
    if (!chosen)
        return result;
    const Token bracket = tokens[*chosen];
    result.bracket = {caret.line, bracket.start};
    result.bracketLength = bracket.length;
    PairScan scan(result, bracketOf(bracket.text(text)));
    std::size_t budget = limits.maxBytes;

    if (scan.forward()) {
        for (std::size_t i = *chosen + 1; i < tokens.size(); ++i)
            if (scan.take(caret.line, text, tokens[i]))
                return result;
        for (std::size_t line = caret.line + 1; line < lines.lineCount(); ++line) {
            text = lines.lineText(line, scratch);
            if (text.size() > budget) {
                result.status = PairStatus::LimitReached;
                return result;
            }
            budget -= text.size();
            state = lexLine(text, state, tokens);
            for (const Token& t : tokens)
                if (scan.take(line, text, t))
                    return result;
        }
        result.status = PairStatus::Unclosed;
        return result;
    }
    for (std::size_t i = *chosen; i-- > 0;)
        if (scan.take(caret.line, text, tokens[i]))
            return result;
    for (std::size_t line = caret.line; line-- > 0;) {
        text = lines.lineText(line, scratch);
        if (text.size() > budget) {
            result.status = PairStatus::LimitReached;
            return result;
        }
        budget -= text.size();
        lexLine(text, lines.stateBefore(line), tokens);
        for (std::size_t i = tokens.size(); i-- > 0;)
            if (scan.take(line, text, tokens[i]))
                return result;
    }
    result.status = PairStatus::Unopened;
    return result;
}

OffsetPairMatch matchPair(std::string_view text, std::int64_t caret, PairLimits limits)
{
    const TextLines lines(text);
    const PairMatch match = matchPair(lines, lines.pointOf(caret), limits);
    OffsetPairMatch result;
    result.status = match.status;
    if (match.status == PairStatus::NoBracket)
        return result;
    result.bracket = lines.offsetOf(match.bracket);
    result.bracketLength = match.bracketLength;
    if (match.status == PairStatus::Matched || match.status == PairStatus::Mismatched) {
        result.partner = lines.offsetOf(match.partner);
        result.partnerLength = match.partnerLength;
    }
    return result;
}

} // namespace scrivlet

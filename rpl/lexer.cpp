#include "rpl/lexer.h"

#include "rpl/asm_lexer.h"
#include "rpl/words.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace scrivlet {

using namespace rplwords;

namespace {

// Where a field of LexState lies in its packed form.
struct PackedField {
    unsigned shift = 0;
    unsigned width = 0;

    constexpr unsigned end() const { return shift + width; }
    constexpr std::uint32_t mask() const { return (1u << width) - 1; }
    constexpr std::uint32_t put(std::uint32_t value) const { return (value & mask()) << shift; }
    constexpr std::uint32_t get(std::uint32_t bits) const { return (bits >> shift) & mask(); }
};

template <class Enum> constexpr unsigned widthOf()
{
    return static_cast<unsigned>(std::bit_width(static_cast<unsigned>(Enum::Last)));
}

constexpr PackedField after(const PackedField& before, unsigned width)
{
    return {before.end(), width};
}

constexpr PackedField kRegion{0, widthOf<LexState::Region>()};
constexpr PackedField kExpect = after(kRegion, widthOf<LexState::Expect>());
constexpr PackedField kExpectCount = after(kExpect, 2);
constexpr PackedField kDefiner = after(kExpectCount, widthOf<DefinitionKind>());
constexpr PackedField kDialect = after(kDefiner, widthOf<RplDialect>());
constexpr PackedField kInComment = after(kDialect, 1);
constexpr PackedField kInString = after(kInComment, 1);
constexpr PackedField kInLocals = after(kInString, 1);
constexpr PackedField kInLocalBlock = after(kInLocals, 1);
constexpr PackedField kMasdSource = after(kInLocalBlock, 1);
constexpr PackedField kDirDepth = after(kMasdSource, 3);
constexpr PackedField kObjectDepth = after(kDirDepth, 8);
constexpr PackedField kExpectDirName = after(kObjectDepth, 1);
static_assert(kExpectDirName.end() <= 31, "the packed state is a non-negative 31-bit number");

// An enum's value from its field; a value past the enum's last reads as its first.
template <class Enum> Enum enumField(std::uint32_t bits, PackedField field)
{
    const std::uint32_t value = field.get(bits);
    return value <= static_cast<std::uint32_t>(Enum::Last) ? static_cast<Enum>(value) : Enum{};
}

} // namespace

std::uint32_t LexState::packed() const
{
    return kRegion.put(static_cast<std::uint32_t>(region)) |
           kExpect.put(static_cast<std::uint32_t>(expect)) | kExpectCount.put(expectCount) |
           kDefiner.put(static_cast<std::uint32_t>(definer)) |
           kDialect.put(static_cast<std::uint32_t>(dialect)) | kInComment.put(inComment) |
           kInString.put(inString) | kInLocals.put(inLocals) | kInLocalBlock.put(inLocalBlock) |
           kMasdSource.put(masdSource) | kDirDepth.put(dirDepth) |
           kObjectDepth.put(objectDepth) | kExpectDirName.put(expectDirName);
}

LexState LexState::fromPacked(std::uint32_t bits)
{
    LexState s;
    s.region = enumField<Region>(bits, kRegion);
    s.expect = enumField<Expect>(bits, kExpect);
    s.expectCount = static_cast<std::uint8_t>(kExpectCount.get(bits));
    s.definer = enumField<DefinitionKind>(bits, kDefiner);
    s.dialect = enumField<RplDialect>(bits, kDialect);
    s.inComment = kInComment.get(bits) != 0;
    s.inString = kInString.get(bits) != 0;
    s.inLocals = kInLocals.get(bits) != 0;
    s.inLocalBlock = kInLocalBlock.get(bits) != 0;
    s.masdSource = kMasdSource.get(bits) != 0;
    s.dirDepth = static_cast<std::uint8_t>(kDirDepth.get(bits));
    s.objectDepth = static_cast<std::uint8_t>(kObjectDepth.get(bits));
    s.expectDirName = kExpectDirName.get(bits) != 0;
    return s;
}

namespace {

// One line being lexed in RPL mode.
class RplLine final : LineCursor {
  public:
    using LineCursor::LineCursor;

    void lex(std::size_t pos);

  private:
    // In User RPL { } [ ] are words by themselves and end the word before them.
    std::size_t wordEnd(std::size_t pos) const
    {
        const std::uint8_t ends = user() ? kUserWordEnds : kSystemWordEnds;
        if ((kWordEnds[m_line[pos]] & ends) != 0)
            return pos + 1;
        while (pos < m_n && (kWordEnds[m_line[pos]] & ends) == 0)
            ++pos;
        return pos;
    }
    void settleDialect(RplDialect dialect)
    {
        if (m_state.dialect == RplDialect::Unknown)
            m_state.dialect = dialect;
    }
    bool user() const { return m_state.dialect == RplDialect::User; }

    // Directories: the top of a directory holds names and the objects stored under them.
    bool atDirectoryTop() const { return m_state.dirDepth > 0 && m_state.objectDepth == 0; }
    void nestObject(bool open)
    {
        if (m_state.dirDepth == 0)
            return;
        if (open) {
            if (m_state.objectDepth < 255)
                ++m_state.objectDepth;
        } else if (m_state.objectDepth > 0 && --m_state.objectDepth == 0) {
            m_state.expectDirName = true;
        }
    }
    // An object that needs no closer ended: at a directory's top a name comes next.
    void objectDone()
    {
        if (atDirectoryTop())
            m_state.expectDirName = true;
    }
    bool lexDirectoryWord(std::string_view word, std::size_t start, std::size_t end);

    std::size_t continueString(std::size_t tokenStart, std::size_t pos);
    std::size_t continueComment(std::size_t tokenStart, std::size_t pos);
    bool lexExpected(std::size_t start, std::size_t end);
    // Lexes the word [start, end); returns where lexing goes on, m_n to stop the line here.
    std::size_t lexWord(std::size_t start, std::size_t end);
    std::size_t lexKeyword(Keyword keyword, std::size_t start, std::size_t end);
    std::size_t lexWordOfBothDialects(Keyword keyword, std::size_t start, std::size_t end);
    std::size_t lexSystemKeyword(Keyword keyword, std::size_t start, std::size_t end);
    void enterAssemblerWord(Keyword keyword);
    void expectNext(LexState::Expect expect, std::uint8_t count = 1);

    bool m_defineBody = false; // the words after DEFINE name: its replacement text
};

std::size_t RplLine::continueString(std::size_t tokenStart, std::size_t pos)
{
    while (pos < m_n) {
        const char c = m_line[pos];
        if (c == '\\') {
            pos += 2;
            continue;
        }
        if (c == '"') {
            m_state.inString = false;
            emit(tokenStart, pos + 1, TokenKind::String);
            objectDone();
            return pos + 1;
        }
        ++pos;
    }
    emit(tokenStart, m_n, TokenKind::String);
    return m_n;
}

// The comment token runs from tokenStart to the end of the first word ending with ), looked for
// from pos on; without one it runs to the line's last word and the comment goes on.
std::size_t RplLine::continueComment(std::size_t tokenStart, std::size_t pos)
{
    const char* const data = m_line.data();
    while (pos < m_n) {
        const void* found = std::memchr(data + pos, ')', m_n - pos);
        if (found == nullptr)
            break;
        pos = static_cast<std::size_t>(static_cast<const char*>(found) - data) + 1;
        if (pos == m_n || isSeparator(m_line[pos])) {
            m_state.inComment = false;
            emit(tokenStart, pos, TokenKind::Comment);
            return pos;
        }
    }
    emit(tokenStart, std::max(tokenStart, trimmedEnd()), TokenKind::Comment);
    return m_n;
}

bool RplLine::lexExpected(std::size_t start, std::size_t end)
{
    using Expect = LexState::Expect;
    switch (m_state.expect) {
    case Expect::Nothing:
        return false;
    case Expect::DefinedName:
        emit(start, end, TokenKind::DefinedName, m_state.definer);
        m_defineBody = m_state.definer == DefinitionKind::Define;
        m_state.definer = DefinitionKind::None;
        m_state.expect = Expect::Nothing;
        return true;
    case Expect::NumberThenDefinedName:
        emit(start, end, TokenKind::Number);
        m_state.expect = Expect::DefinedName;
        return true;
    case Expect::Identifier:
        emit(start, end, TokenKind::Identifier);
        break;
    case Expect::Number:
        // The last operand must look like one: a GROB's data after width and height may not be
        // there (HP's compiler writes only the size and the data), and a word that is no number
        // is read as what it is.
        if (m_state.expectCount == 1 && !isOperandWord(m_line.substr(start, end - start), m_state.dialect)) {
            m_state.expect = Expect::Nothing;
            m_state.expectCount = 0;
            return false;
        }
        emit(start, end, TokenKind::Number);
        if (m_state.expectCount > 1) {
            --m_state.expectCount;
            return true;
        }
        break;
    case Expect::Character:
        emit(start, end, TokenKind::Character);
        break;
    case Expect::Directive:
        emit(start, end, TokenKind::Directive);
        break;
    case Expect::LocalName:
        emit(start, end, TokenKind::LocalName, DefinitionKind::LocalVariable);
        break;
    }
    m_state.expect = Expect::Nothing;
    m_state.expectCount = 0;
    return true;
}

void RplLine::lex(std::size_t pos)
{
    while (pos < m_n) {
        if (m_state.region != LexState::Region::Rpl) {
            pos = lexAsm(m_line, pos, m_state, m_out);
            continue;
        }
        if (m_state.inString) {
            pos = continueString(pos, pos);
            continue;
        }
        if (m_state.inComment) {
            pos = skipSeparators(pos);
            pos = continueComment(pos, pos);
            continue;
        }
        pos = skipSeparators(pos);
        if (pos >= m_n)
            return;
        const auto c = static_cast<unsigned char>(m_line[pos]);
        if (c == '"') {
            m_state.inString = true;
            m_state.inLocals = false;
            pos = continueString(pos, pos + 1);
            continue;
        }
        if (c == kOpenProgram || c == kCloseProgram) {
            emit(pos, pos + 1, TokenKind::Structure);
            if (c == kOpenProgram) {
                settleDialect(RplDialect::User);
                m_state.inLocals = false;
            }
            nestObject(c == kOpenProgram);
            ++pos;
            continue;
        }
        pos = lexWord(pos, wordEnd(pos));
    }
}

std::size_t RplLine::lexWord(std::size_t start, std::size_t end)
{
    const std::string_view word = m_line.substr(start, end - start);
    const char c = word[0];
    if (m_state.expect != LexState::Expect::Nothing && lexExpected(start, end))
        return end;
    // Before the dialect is known, @ lines are User RPL comments (a transfer file's notes); in
    // System RPL a lone @ ends the source.
    if (user() || (m_state.dialect == RplDialect::Unknown && c == '@')) {
        if (c == '@') {
            const std::size_t close = m_line.find('@', start + 1);
            const std::size_t stop = close == std::string_view::npos ? m_n : close + 1;
            emit(start, close == std::string_view::npos ? trimmedEnd() : stop, TokenKind::Comment);
            return stop;
        }
        if (c == '\'') {
            m_state.inLocals = false;
            const std::size_t close = m_line.find('\'', start + 1);
            const std::size_t stop = close == std::string_view::npos ? m_n : close + 1;
            emit(start, close == std::string_view::npos ? trimmedEnd() : stop,
                 TokenKind::Algebraic);
            objectDone();
            return stop;
        }
        if (c == '(') {
            const std::size_t close = m_line.find(')', start + 1);
            if (close != std::string_view::npos) {
                emit(start, close + 1, TokenKind::Number);
                objectDone();
                return close + 1;
            }
        }
    } else if (c == '(') {
        if (word.size() > 1 && word.back() == ')') {
            emit(start, end, TokenKind::Comment);
            return end;
        }
        m_state.inComment = true;
        return continueComment(start, end);
    }
    if (m_state.dialect != RplDialect::System && lexDirectoryWord(word, start, end))
        return end;
    if (const Keyword keyword = keywordOf(word); keyword != Keyword::None) {
        const std::size_t next = lexKeyword(keyword, start, end);
        if (next != 0)
            return next;
    }
    if (m_state.inLocals || m_state.inLocalBlock) {
        emit(start, end, TokenKind::LocalName, DefinitionKind::LocalVariable);
        return end;
    }
    if (isNumberWord(word, m_state.dialect))
        emit(start, end, TokenKind::Number);
    else
        emit(start, end, TokenKind::Name,
             m_defineBody ? DefinitionKind::Define : DefinitionKind::None);
    objectDone();
    return end;
}

// DIR opens a directory; at its top come names, the objects stored under them, and END.
bool RplLine::lexDirectoryWord(std::string_view word, std::size_t start, std::size_t end)
{
    if (word == "DIR" && (m_state.dirDepth == 0 || atDirectoryTop())) {
        settleDialect(RplDialect::User);
        emit(start, end, TokenKind::Structure);
        if (m_state.dirDepth < 7)
            ++m_state.dirDepth;
        m_state.expectDirName = true;
        return true;
    }
    if (!atDirectoryTop())
        return false;
    if (word == "END") {
        emit(start, end, TokenKind::Structure);
        --m_state.dirDepth;
        m_state.expectDirName = m_state.dirDepth > 0;
        return true;
    }
    if (!m_state.expectDirName)
        return false;
    emit(start, end, TokenKind::DefinedName, DefinitionKind::Variable);
    m_state.expectDirName = false;
    return true;
}

// Returns 0 when the keyword is an ordinary word in the current dialect.
std::size_t RplLine::lexKeyword(Keyword keyword, std::size_t start, std::size_t end)
{
    if (const std::size_t next = lexWordOfBothDialects(keyword, start, end); next != 0)
        return next;
    // The rest are System RPL words; in User RPL they are names (DEFINE and LABEL are commands).
    return user() ? 0 : lexSystemKeyword(keyword, start, end);
}

void RplLine::expectNext(LexState::Expect expect, std::uint8_t count)
{
    m_state.expect = expect;
    m_state.expectCount = count;
}

// The structure words and the User RPL words; 0 for the others.
std::size_t RplLine::lexWordOfBothDialects(Keyword keyword, std::size_t start, std::size_t end)
{
    switch (keyword) {
    case Keyword::Control:
        if (!user())
            return 0;
        emit(start, end, TokenKind::ControlWord);
        if (m_line.substr(start, end - start) == "FOR")
            expectNext(LexState::Expect::LocalName);
        return end;
    case Keyword::Arrow:
        if (m_state.dialect == RplDialect::System)
            return 0;
        settleDialect(RplDialect::User);
        emit(start, end, TokenKind::ControlWord);
        m_state.inLocals = true;
        return end;
    case Keyword::ProgramOpen:
        settleDialect(RplDialect::User);
        m_state.inLocals = false;
        emit(start, end, TokenKind::Structure);
        nestObject(true);
        return end;
    case Keyword::Number1:
        if (m_line[start] != '#')
            return 0;
        emit(start, end, TokenKind::Number);
        expectNext(LexState::Expect::Number);
        return end;
    case Keyword::ProgramClose:
    case Keyword::ListOpen:
    case Keyword::ListClose:
    case Keyword::ArrayOpen:
    case Keyword::ArrayClose:
        emit(start, end, TokenKind::Structure);
        nestObject(keyword == Keyword::ListOpen || keyword == Keyword::ArrayOpen);
        return end;
    case Keyword::Semi:
        emit(start, end, TokenKind::Structure);
        return end;
    case Keyword::Grob:
        emit(start, end, TokenKind::Directive);
        expectNext(LexState::Expect::Number, 3);
        return end;
    default:
        return 0;
    }
}

// The System RPL compiler's words; 0 for the others.
std::size_t RplLine::lexSystemKeyword(Keyword keyword, std::size_t start, std::size_t end)
{
    using Expect = LexState::Expect;
    switch (keyword) {
    case Keyword::Secondary:
        settleDialect(RplDialect::System);
        emit(start, end, TokenKind::Structure);
        break;
    case Keyword::CompositeOpen:
        emit(start, end, TokenKind::Structure);
        break;
    case Keyword::LocalsOpen:
    case Keyword::LocalsClose:
        m_state.inLocalBlock = keyword == Keyword::LocalsOpen;
        emit(start, end, TokenKind::Structure);
        break;
    case Keyword::Defining:
    case Keyword::Equate:
    case Keyword::EquateCp:
        settleDialect(RplDialect::System);
        emit(start, end, TokenKind::DefiningWord);
        m_state.definer = definitionOf(m_line.substr(start, end - start));
        expectNext(keyword == Keyword::EquateCp ? Expect::NumberThenDefinedName
                                                : Expect::DefinedName);
        break;
    case Keyword::Include:
    case Keyword::IdPrefix:
        emit(start, end, TokenKind::Directive);
        expectNext(Expect::Identifier);
        break;
    case Keyword::Number1:
    case Keyword::Number2: {
        const char first = m_line[start];
        emit(start, end, first == '#' || first == '%' ? TokenKind::Number : TokenKind::Directive);
        expectNext(Expect::Number, keyword == Keyword::Number2 ? 2 : 1);
        break;
    }
    case Keyword::Chr:
        emit(start, end, TokenKind::Directive);
        expectNext(Expect::Character);
        break;
    case Keyword::Title: {
        emit(start, end, TokenKind::Directive);
        const std::size_t text = skipSeparators(end);
        emit(text, trimmedEnd(), TokenKind::String);
        return m_n;
    }
    case Keyword::Assemble:
    case Keyword::AssembleM:
    case Keyword::Code:
    case Keyword::CodeM:
    case Keyword::MasdRpl:
    case Keyword::MasdAsm:
    case Keyword::MasdNo:
    case Keyword::MasdOther:
        settleDialect(RplDialect::System);
        emit(start, end, TokenKind::Directive);
        enterAssemblerWord(keyword);
        break;
    case Keyword::Rpl:
        settleDialect(RplDialect::System);
        emit(start, end, TokenKind::Directive);
        break;
    case Keyword::EndCode:
    case Keyword::Reference:
        emit(start, end, TokenKind::Directive);
        break;
    default:
        return 0;
    }
    return end;
}

// The words that open an assembler block, and MASD's own directives.
void RplLine::enterAssemblerWord(Keyword keyword)
{
    using Region = LexState::Region;
    switch (keyword) {
    case Keyword::Assemble:
    case Keyword::AssembleM:
    case Keyword::Code:
    case Keyword::CodeM:
        m_state.inLocals = m_state.inLocalBlock = false;
        if (keyword == Keyword::Assemble)
            m_state.region = Region::SasmAssemble;
        else if (keyword == Keyword::AssembleM)
            m_state.region = Region::MasdAssemble;
        else if (keyword == Keyword::CodeM || m_state.masdSource)
            m_state.region = Region::MasdCode;
        else
            m_state.region = Region::SasmCode;
        break;
    default: // !RPL !ASM !NO CODE and the other ! directives mark a MASD source
        m_state.masdSource = true;
        if (keyword == Keyword::MasdAsm)
            m_state.region = Region::MasdAssemble;
        else if (keyword == Keyword::MasdNo)
            expectNext(LexState::Expect::Directive);
        break;
    }
}

} // namespace

LexState lexLine(std::string_view line, LexState in, std::vector<Token>& out)
{
    out.clear();
    LexState state = in;
    std::size_t start = 0;
    if (state.region == LexState::Region::Rpl && !state.inComment && !state.inString &&
        !line.empty()) {
        if (line.starts_with("%%HP")) {
            if (state.dialect == RplDialect::Unknown)
                state.dialect = RplDialect::User;
            std::size_t end = line.size();
            while (end > 0 && isSeparator(line[end - 1]))
                --end;
            out.push_back({0, static_cast<std::uint32_t>(end), TokenKind::Comment});
            return state;
        }
        if (line[0] == '*' && state.dialect != RplDialect::User) {
            std::size_t end = line.size();
            while (end > 0 && isSeparator(line[end - 1]))
                --end;
            out.push_back({0, static_cast<std::uint32_t>(end), TokenKind::Comment});
            return state;
        }
    }
    RplLine(line, state, out).lex(start);
    return state;
}

} // namespace scrivlet

#pragma once

#include "rpl/lexer.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace scrivlet::rplwords {

// The word tables and character rules the RPL lexer works from (internal to the lexer).

inline constexpr unsigned char kOpenProgram = 0xAB;  // «
inline constexpr unsigned char kCloseProgram = 0xBB; // »
inline constexpr unsigned char kArrow = 0x8D;        // →

constexpr bool isSeparator(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

// What ends a word: separators and « » always, { } [ ] in User RPL.
enum WordEnd : std::uint8_t { kSeparator = 1, kProgramBracket = 2, kUserDelimiter = 4 };
inline constexpr std::uint8_t kSystemWordEnds = kSeparator | kProgramBracket;
inline constexpr std::uint8_t kUserWordEnds = kSeparator | kProgramBracket | kUserDelimiter;

constexpr std::uint8_t wordEndClass(unsigned char c)
{
    if (c <= 0x20)
        return kSeparator;
    if (c == kOpenProgram || c == kCloseProgram)
        return kProgramBracket;
    if (c == '{' || c == '}' || c == '[' || c == ']')
        return kUserDelimiter;
    return 0;
}

struct WordEndTable {
    std::uint8_t classes[256];
    constexpr WordEndTable() : classes{}
    {
        for (int c = 0; c < 256; ++c)
            classes[c] = wordEndClass(static_cast<unsigned char>(c));
    }
    constexpr std::uint8_t operator[](char c) const
    {
        return classes[static_cast<unsigned char>(c)];
    }
};
inline constexpr WordEndTable kWordEnds;

enum class Keyword : std::uint8_t {
    None,
    Secondary,     // ::
    Semi,          // ;
    ListOpen,      // {
    ListClose,     // }
    LocalsOpen,    // {{
    LocalsClose,   // }}
    ArrayOpen,     // [
    ArrayClose,    // ]
    ProgramOpen,   // \<<
    ProgramClose,  // \>>
    CompositeOpen, // UNIT SYMBOL SYMBOLIC MATRIX
    Control,       // IF THEN ELSE END CASE FOR NEXT STEP START WHILE REPEAT UNTIL DO IFERR
    Arrow,         // → \->
    Defining,      // NULLNAME xNAME ... (definitionOf says which)
    Equate,        // EQU DC: a definition in MASD assembler
    EquateCp,      // EQUCP DCCP
    Include,
    Rpl,       // RPL
    Assemble,  // ASSEMBLE
    AssembleM, // ASSEMBLEM
    Code,      // CODE
    CodeM,     // CODEM
    EndCode,   // ENDCODE
    MasdRpl,   // !RPL
    MasdAsm,   // !ASM
    MasdNo,    // !NO (CODE)
    MasdOther, // !ARM
    IdPrefix,  // ID LAM TAG
    Number1,   // # % %% ZINT PTR xROMID: one number follows
    Number2,   // C% C%% HXS ROMPTR FPTR ACPTR: two numbers follow
    Grob,      // GROB: width and height, then its hex data (or, for HP's compiler, size and data)
    Reference, // ROMPTR2 FPTR2 xCONFIG xMESSAGE: an entry name follows
    Chr,       // CHR
    Title,     // xTITLE: the rest of the line is text
};

Keyword keywordOf(std::string_view word);
DefinitionKind definitionOf(std::string_view definingWord);

// True for a word that is a number by itself: decimal reals (1 -2.5 1.E-3 .5), %real %%real
// (not in User RPL), #hex with an optional h d o b suffix.
bool isNumberWord(std::string_view word, RplDialect dialect);

// True for a word that can be the operand of a number prefix (# % ZINT C% HXS GROB PTR ...): a
// number word, or hex digits with an optional h d o b suffix.
bool isOperandWord(std::string_view word, RplDialect dialect);

// True for an unsigned decimal real: 1 2.5 .5 1.E-3 (with an optional sign when `signed`).
bool isDecimalReal(std::string_view word);

// Assembler words.
bool isSasmWithoutOperand(std::string_view mnemonic);
bool isSasmStringMnemonic(std::string_view mnemonic); // NIBASC LCASC LAASC: a delimited text
bool isMasdMnemonic(std::string_view word);
bool isAsmNumber(std::string_view word);

// What the two line lexers share: the line being lexed, the state carried from line to line,
// and the tokens it adds to.
class LineCursor {
  public:
    LineCursor(std::string_view line, LexState& state, std::vector<Token>& out)
        : m_line(line), m_n(line.size()), m_state(state), m_out(out)
    {
    }

  protected:
    void emit(std::size_t start, std::size_t end, TokenKind kind,
              DefinitionKind definition = DefinitionKind::None)
    {
        if (end > start)
            m_out.push_back({static_cast<std::uint32_t>(start),
                             static_cast<std::uint32_t>(end - start), kind, definition});
    }
    std::size_t skipSeparators(std::size_t pos) const
    {
        while (pos < m_n && isSeparator(m_line[pos]))
            ++pos;
        return pos;
    }
    // The end of the last non-separator byte of the line.
    std::size_t trimmedEnd() const
    {
        std::size_t end = m_n;
        while (end > 0 && isSeparator(m_line[end - 1]))
            --end;
        return end;
    }

    std::string_view m_line;
    std::size_t m_n;
    LexState& m_state;
    std::vector<Token>& m_out;
};

} // namespace scrivlet::rplwords

#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace scrivlet {

// The RPL lexer: one line's bytes (without its CR LF) and the state carried from the end of the
// line before, in; the line's tokens and the state at its end, out. Qt-free; the highlighter,
// the pair matcher, the definition finder and the unknown-name rule all read its tokens.
//
// Bytes are characters of the calculator's set: « is AB, » is BB, → is 8D; \<< \>> \-> are
// their transfer escapes. Words are separated by bytes 00-20 (space, Tab, a lone CR or LF, other
// control bytes); « and » end a word wherever they stand.
//
// System RPL (the HP tools' RPLCOMP/SASM and the calculator's MASD):
// - a line whose first character is * is a comment; a word that begins with ( opens a comment
//   that the first word ending with ) closes, on this line or a later one ("( text )" as the HP
//   tools write it, "(text)" as MASD sources do);
// - "..." is a string (\ escapes the next byte) and may run over lines; CHR x is a character;
// - :: ; { } {{ }} [ ] UNIT SYMBOL SYMBOLIC MATRIX are structure words;
// - numbers: decimal reals, %real %%real (glued or as "% r"), # hex (glued or "# 3F"),
//   ZINT n, C% r r, HXS n h, PTR, ROMPTR, FPTR, ACPTR operands;
// - NULLNAME xNAME sNAME hNAME tNAME LABEL LOCALNAME LOCALLABEL DEFINE EXTERNAL FEXTERNAL name
//   define the name that follows; {{ a b }} declares local variables;
// - ID LAM TAG name: the name is an identifier, no entry; INCLUDE file; xTITLE text;
// - CODE ... ENDCODE and ASSEMBLE ... RPL hold SASM assembler (label in column 1, mnemonic,
//   operand, then free comment text; * in column 1 starts a comment line); CODEM ... ENDCODE,
//   ASSEMBLEM ... !RPL and, in a MASD source (one that uses !RPL, !ASM or !NO CODE), also
//   CODE ... ENDCODE and !ASM ... !RPL hold MASD assembler (*label, comments from % or ;).
// User RPL (programs in « », transfer files with a %%HP: header):
// - @ starts a comment that ends at the next @ on the line or at its end;
// - 'x' and '...' are quoted names and algebraics; (1.,2.) is a complex number; # 3Fh, #101b,
//   #17o, #12d are binary integers;
// - IF THEN ELSE END CASE FOR NEXT STEP START WHILE REPEAT UNTIL DO IFERR → are control words;
//   the words after → up to the « or ', and the counter after FOR, are local variables;
// - { } [ ] end a word wherever they stand;
// - DIR name object name object ... END (a directory as the calculator transfers it): each name
//   is a DefinedName (a Variable).
// In User RPL the System RPL compiler words are ordinary names (DEFINE and LABEL are commands
// there), and in System RPL the User RPL control words are (DO, UNTIL, END are entries).
// The dialect is decided by the first decisive word (::, a defining word, !RPL ... for System
// RPL; «, →, a %%HP: header for User RPL) and kept from then on; it may also be given in the
// state of the first line.
//
// Invariants: tokens are in order, do not overlap, are not empty and lie within the line; only a
// string token may begin or end with a separator (its own blanks). Lexing allocates nothing but
// the output vector's growth and never reads outside the line.
// Each enum of the lexer's state ends with Last, naming its final value: the state's packing
// takes its field widths from it.
enum class RplDialect : std::uint8_t { Unknown, System, User, Last = User };

enum class TokenKind : std::uint8_t {
    Plain,        // assembler operands and anything else
    Comment,      // ( ... ), * lines, @ ... @, the %%HP: header
    String,       // "...", assembler string operands, xTITLE text
    Character,    // the x of CHR x
    Structure,    // :: ; { } {{ }} [ ] « » \<< \>> UNIT SYMBOL SYMBOLIC MATRIX DIR END
    Number,       // numbers in every notation, with their prefix words
    Name,         // a word that may be an entry name
    Identifier,   // a name that is no entry: after ID, LAM, TAG, INCLUDE
    DefiningWord, // NULLNAME xNAME LABEL DEFINE EXTERNAL EQU ...
    DefinedName,  // the name a defining word introduces
    LocalName,    // a local variable being declared: after → or between {{ and }}
    ControlWord,  // User RPL IF THEN ... →
    Directive,    // compiler words: INCLUDE RPL CODE ENDCODE ASSEMBLE ID LAM ZINT !RPL ...
    Algebraic,    // User RPL 'x' and '...'
    AsmMnemonic,
    AsmLabel,
    AsmComment,
};

// What introduced a DefinedName, LocalName or AsmLabel token; on a Name token, Define marks a
// word of a DEFINE's replacement text.
enum class DefinitionKind : std::uint8_t {
    None,
    NullName,
    XName,
    OtherName, // sNAME hNAME tNAME
    Label,
    LocalName,
    LocalLabel,
    Define,
    Equate,   // EQU, DC, EQUCP, DCCP
    External, // EXTERNAL, FEXTERNAL
    AsmLabel,
    LocalVariable,
    Variable, // a User RPL global variable: a DIR entry, or 'name' STO
    Last = Variable,
};

struct Token {
    std::uint32_t start = 0;
    std::uint32_t length = 0;
    TokenKind kind = TokenKind::Plain;
    DefinitionKind definition = DefinitionKind::None;

    std::uint32_t end() const { return start + length; }
    std::string_view text(std::string_view line) const { return line.substr(start, length); }
    bool operator==(const Token&) const = default;
};

// The state carried from a line's end to the next line's start. Small and copyable; packed()
// gives it as a non-negative 31-bit number (for a per-line int store) and fromPacked() back.
struct LexState {
    enum class Region : std::uint8_t {
        Rpl,
        SasmCode,
        SasmAssemble,
        MasdCode,
        MasdAssemble,
        Last = MasdAssemble,
    };
    // What the next word is, whatever it looks like.
    enum class Expect : std::uint8_t {
        Nothing,
        DefinedName,           // after a defining word
        NumberThenDefinedName, // after EQUCP and DCCP
        Identifier,            // after ID, LAM, TAG, INCLUDE
        Number,                // after #, %, ZINT, ... (expectCount of them)
        Character,             // after CHR
        Directive,             // the CODE of !NO CODE
        LocalName,             // the counter after FOR
        Last = LocalName,
    };

    Region region = Region::Rpl;
    Expect expect = Expect::Nothing;
    std::uint8_t expectCount = 0; // at most 3
    DefinitionKind definer = DefinitionKind::None; // the kind an expected DefinedName gets
    RplDialect dialect = RplDialect::Unknown;
    bool inComment = false;    // inside ( ... )
    bool inString = false;     // inside "..."
    bool inLocals = false;     // after → until « or '
    bool inLocalBlock = false; // between {{ and }}
    bool masdSource = false;   // the source is written for MASD
    // User RPL directories (DIR name object ... END): how deep, how deep inside the current
    // object's « » { } [ ], and whether the next word at the top is a variable's name.
    std::uint8_t dirDepth = 0;    // at most 7
    std::uint8_t objectDepth = 0; // at most 255
    bool expectDirName = false;

    bool operator==(const LexState&) const = default;
    std::uint32_t packed() const;
    static LexState fromPacked(std::uint32_t bits);
};

// Lexes one line: clears `out`, fills it with the line's tokens and returns the state at the
// line's end.
LexState lexLine(std::string_view line, LexState in, std::vector<Token>& out);

} // namespace scrivlet

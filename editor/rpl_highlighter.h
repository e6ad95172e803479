#pragma once

#include "editor/line_highlighter.h"
#include "rpl/defined_names.h"
#include "rpl/lexer.h"
#include "rpl/unknown_names.h"
#include "editor/text_style.h"

#include <vector>

class QPalette;

namespace scrivlet {

// The editor's colours for RPL sources: each line is lexed (lexLine) from the state the line
// before it ended in (LexState::packed() as the view's state) and its tokens are mapped to the
// styles below. Names are told apart by what explains them: the text's own definitions, the
// reference book (in User RPL through the command's entry), the User RPL control words; with
// markUnknown, a System RPL name nothing explains gets a wavy underline (checkName).
//
// The highlighter reads the reference book and the defined names when a line is painted, so a
// change of either shows at the next paint; the states it hands on depend on the bytes alone.
class RplHighlighter final : public LineHighlighter {
  public:
    enum Style : int {
        Comment,
        String,    // strings and characters
        Structure, // :: ; { } « » ...
        Number,
        BookName,    // an entry of the reference book
        DefinedName, // defined in this text: NULLNAME ..., labels, and the uses of those names
        ControlWord, // User RPL IF THEN ... and →
        Directive,   // defining words and compiler directives
        Identifier,  // ID / LAM operands, local variables, quoted names
        Mnemonic,    // assembler mnemonics
        UnknownName, // a name nothing explains (wavy underline)
        StyleCount,
    };

    // `defined` must outlive the highlighter.
    RplHighlighter(ReferenceBook inReferenceBook, const DefinedNames& defined);

    void setReferenceBook(ReferenceBook inReferenceBook);
    void setMarkUnknown(bool on) { m_markUnknown = on; }

    State initialState() const override { return LexState{}.packed(); }
    State highlight(std::string_view line, State in, std::vector<StyleSpan>& out) const override;

    // The style table for a palette: hues chosen for the palette's base and text lightness, so
    // that light and dark themes both read well.
    static std::vector<TextStyle> styles(const QPalette& palette);

  private:
    int nameStyle(std::string_view line, const Token& token, RplDialect dialect) const;

    ReferenceBook m_inReferenceBook;
    const DefinedNames& m_defined;
    bool m_markUnknown = false;
    mutable std::vector<Token> m_tokens;
};

} // namespace scrivlet

#include "editor/rpl_highlighter.h"

#include <QPalette>

namespace scrivlet {
namespace {

constexpr int kNoStyle = -1;

int tokenStyle(TokenKind kind)
{
    using S = RplHighlighter::Style;
    switch (kind) {
    case TokenKind::Comment:
    case TokenKind::AsmComment:
        return S::Comment;
    case TokenKind::String:
    case TokenKind::Character:
        return S::String;
    case TokenKind::Structure:
        return S::Structure;
    case TokenKind::Number:
        return S::Number;
    case TokenKind::Identifier:
    case TokenKind::LocalName:
    case TokenKind::Algebraic:
        return S::Identifier;
    case TokenKind::DefiningWord:
    case TokenKind::Directive:
        return S::Directive;
    case TokenKind::DefinedName:
    case TokenKind::AsmLabel:
        return S::DefinedName;
    case TokenKind::ControlWord:
        return S::ControlWord;
    case TokenKind::AsmMnemonic:
        return S::Mnemonic;
    case TokenKind::Name:
    case TokenKind::Plain:
        break;
    }
    return kNoStyle;
}

} // namespace

RplHighlighter::RplHighlighter(ReferenceBook inReferenceBook, const DefinedNames& defined)
    : m_defined(defined)
{
    setReferenceBook(std::move(inReferenceBook));
}

void RplHighlighter::setReferenceBook(ReferenceBook inReferenceBook)
{
    m_inReferenceBook =
        inReferenceBook ? std::move(inReferenceBook) : [](std::string_view) { return false; };
}

LineHighlighter::State RplHighlighter::highlight(std::string_view line, State in,
                                                 std::vector<StyleSpan>& out) const
{
    const LexState start = LexState::fromPacked(static_cast<std::uint32_t>(in));
    const LexState end = lexLine(line, start, m_tokens);
    // A line that decides the dialect is read in the dialect it decides.
    const RplDialect dialect = start.dialect != RplDialect::Unknown ? start.dialect : end.dialect;
    for (const Token& token : m_tokens) {
        const int style = token.kind == TokenKind::Name ? nameStyle(line, token, dialect)
                                                        : tokenStyle(token.kind);
        if (style != kNoStyle)
            out.push_back({token.start, token.length, style});
    }
    return end.packed();
}

int RplHighlighter::nameStyle(std::string_view line, const Token& token, RplDialect dialect) const
{
    const std::string_view word = token.text(line);
    if (m_defined.contains(word))
        return DefinedName;
    if (dialect == RplDialect::User)
        return userCommandEntry(word, m_inReferenceBook) ? BookName : kNoStyle;
    if (m_inReferenceBook(word) ||
        (word.size() > 1 && word[0] == '\'' && m_inReferenceBook(word.substr(1))))
        return BookName;
    if (m_markUnknown &&
        checkName(line, token, dialect, m_defined, m_inReferenceBook) == NameCheck::Unknown)
        return UnknownName;
    return kNoStyle;
}

std::vector<TextStyle> RplHighlighter::styles(const QPalette& palette)
{
    const qreal base = palette.color(QPalette::Base).lightnessF();
    const qreal text = palette.color(QPalette::Text).lightnessF();
    // Each hue at a lightness most of the way from the base towards the text: dark on a light
    // base, light on a dark one, with the same contrast in both.
    const auto hue = [&](int degrees, qreal towardsText = 0.62) {
        return QColor::fromHslF(degrees / 360.0, 0.8, base + (text - base) * towardsText);
    };
    std::vector<TextStyle> styles(StyleCount);
    styles[Comment] = {hue(120, 0.5), {}, false, true, {}};
    styles[String] = {hue(0), {}, false, false, {}};
    styles[Structure] = {{}, {}, true, false, {}};
    styles[Number] = {hue(175), {}, false, false, {}};
    styles[BookName] = {hue(220), {}, false, false, {}};
    styles[DefinedName] = {hue(300), {}, false, false, {}};
    styles[ControlWord] = {hue(265), {}, true, false, {}};
    styles[Directive] = {hue(35), {}, true, false, {}};
    styles[Identifier] = {hue(300), {}, false, true, {}};
    styles[Mnemonic] = {hue(200), {}, true, false, {}};
    styles[UnknownName] = {{}, {}, false, false, QColor::fromHslF(0, 0.85, 0.5)};
    return styles;
}

} // namespace scrivlet

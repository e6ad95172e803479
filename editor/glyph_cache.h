#pragma once

#include "common/code_page_table.h"
#include "editor/code_page.h"

#include <QFont>
#include <QRawFont>
#include <array>
#include <optional>
#include <unordered_map>
#include <vector>

namespace scrivlet {

// The glyph the editor draws for each of the 256 bytes, in the four variants of its font
// (plain, bold, italic, bold italic), looked up once per byte and variant. A character the
// editor's font lacks comes from the font Qt falls back to for it. Glyphs narrower than a cell
// are centred in it.
//
// Characters of UTF-8 text beyond the code page are looked up by code point, once each, in the
// same way.
//
// Invariant: every glyph refers to a font of fonts(); reset() forgets them all (a new font, a
// new code page or a new cell width).
class GlyphCache final {
  public:
    // What is drawn in a byte's cell: a glyph of fonts()[font], nothing (a blank or a tab), or an
    // empty box (a character without a glyph anywhere, or a C1 control).
    struct Glyph {
        enum class Kind { Blank, Box, Glyph };
        Kind kind = Kind::Blank;
        int font = 0;
        quint32 index = 0;
        qreal xOffset = 0;
    };

    GlyphCache();
    void reset(const QFont& font, const CodePageTable& page, qreal cellWidth);
    const Glyph& glyph(unsigned char byte, bool bold, bool italic);
    // The glyph of a character decoded from UTF-8 (a C1 control or a line or paragraph separator
    // is an empty box).
    const Glyph& characterGlyph(char32_t codePoint, bool bold, bool italic);
    const QRawFont& font(int index) const { return m_fonts[static_cast<std::size_t>(index)]; }

  private:
    Glyph resolve(char32_t ch, int variant);
    QFont variantFont(int variant) const;
    int fontIndex(const QRawFont& raw);

    QFont m_font;
    CodePageTable m_page;
    qreal m_cellWidth = 0;
    std::array<std::optional<QRawFont>, 4> m_primary;
    std::vector<QRawFont> m_fonts;
    std::array<std::array<std::optional<Glyph>, 256>, 4> m_glyphs;
    std::array<std::unordered_map<char32_t, Glyph>, 4> m_characterGlyphs;
};

} // namespace scrivlet

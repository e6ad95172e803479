#include "editor/glyph_cache.h"

#include "common/windows1252.h"

#include <QGlyphRun>
#include <QTextLayout>

namespace scrivlet {

GlyphCache::GlyphCache() : m_page(windows1252CodePage()) {}

void GlyphCache::reset(const QFont& font, const CodePageTable& page, qreal cellWidth)
{
    m_font = font;
    m_page = page;
    m_cellWidth = cellWidth;
    m_primary = {};
    m_fonts.clear();
    for (auto& variant : m_glyphs)
        variant.fill(std::nullopt);
    for (auto& variant : m_characterGlyphs)
        variant.clear();
}

const GlyphCache::Glyph& GlyphCache::glyph(unsigned char byte, bool bold, bool italic)
{
    const int variant = (bold ? 1 : 0) + (italic ? 2 : 0);
    std::optional<Glyph>& slot = m_glyphs[static_cast<std::size_t>(variant)][byte];
    if (!slot)
        slot = resolve(shownChar(m_page, byte), variant);
    return *slot;
}

const GlyphCache::Glyph& GlyphCache::characterGlyph(char32_t codePoint, bool bold, bool italic)
{
    const int variant = (bold ? 1 : 0) + (italic ? 2 : 0);
    auto& glyphs = m_characterGlyphs[static_cast<std::size_t>(variant)];
    auto found = glyphs.find(codePoint);
    if (found == glyphs.end()) {
        const bool box =
            (codePoint >= 0x80 && codePoint < 0xA0) || codePoint == 0x2028 || codePoint == 0x2029;
        found = glyphs.emplace(codePoint, resolve(box ? 0 : codePoint, variant)).first;
    }
    return found->second;
}

QFont GlyphCache::variantFont(int variant) const
{
    QFont font = m_font;
    font.setBold((variant & 1) != 0);
    font.setItalic((variant & 2) != 0);
    return font;
}

int GlyphCache::fontIndex(const QRawFont& raw)
{
    for (std::size_t i = 0; i < m_fonts.size(); ++i) {
        if (m_fonts[i] == raw)
            return static_cast<int>(i);
    }
    m_fonts.push_back(raw);
    return static_cast<int>(m_fonts.size() - 1);
}

GlyphCache::Glyph GlyphCache::resolve(char32_t ch, int variant)
{
    if (ch == u' ' || ch == u'\t')
        return {};
    if (ch == 0)
        return {Glyph::Kind::Box};
    const QString text = QString::fromUcs4(&ch, 1);
    std::optional<QRawFont>& primary = m_primary[static_cast<std::size_t>(variant)];
    if (!primary)
        primary = QRawFont::fromFont(variantFont(variant));
    QRawFont raw;
    quint32 index = 0;
    if (primary->isValid() && primary->supportsCharacter(static_cast<uint>(ch))) {
        const QList<quint32> indexes = primary->glyphIndexesForString(text);
        if (!indexes.isEmpty() && indexes.first() != 0) {
            raw = *primary;
            index = indexes.first();
        }
    }
    if (index == 0) {
        // The font Qt's own text layout falls back to for this character.
        QTextLayout layout(text, variantFont(variant));
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        for (const QGlyphRun& run : layout.glyphRuns()) {
            if (!run.glyphIndexes().isEmpty() && run.glyphIndexes().first() != 0) {
                raw = run.rawFont();
                index = run.glyphIndexes().first();
                break;
            }
        }
    }
    if (index == 0)
        return {Glyph::Kind::Box};
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(QList<quint32>{index});
    const qreal advance = advances.isEmpty() ? m_cellWidth : advances.first().x();
    const qreal offset = advance < m_cellWidth ? (m_cellWidth - advance) / 2 : 0;
    return {Glyph::Kind::Glyph, fontIndex(raw), index, offset};
}

} // namespace scrivlet

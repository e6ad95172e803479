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
}

const GlyphCache::Glyph& GlyphCache::glyph(unsigned char byte, bool bold, bool italic)
{
    const int variant = (bold ? 1 : 0) + (italic ? 2 : 0);
    std::optional<Glyph>& slot = m_glyphs[static_cast<std::size_t>(variant)][byte];
    if (!slot)
        slot = resolve(byte, variant);
    return *slot;
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

GlyphCache::Glyph GlyphCache::resolve(unsigned char byte, int variant)
{
    const char16_t ch = shownChar(m_page, byte);
    if (ch == u' ' || ch == u'\t')
        return {};
    if (ch == 0)
        return {Glyph::Kind::Box};
    const QString text(QChar{ch});
    std::optional<QRawFont>& primary = m_primary[static_cast<std::size_t>(variant)];
    if (!primary)
        primary = QRawFont::fromFont(variantFont(variant));
    QRawFont raw;
    quint32 index = 0;
    if (primary->isValid() && primary->supportsCharacter(QChar{ch})) {
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

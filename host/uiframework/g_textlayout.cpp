#include "g_textlayout.h"

#include "g_pagerenderer.h"

#include "omofdapi/ig_page.h"
#include "omofdapi/ig_textobject.h"

#include <QCryptographicHash>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>

#include <cmath>

namespace {

// Embedded fonts are registered once per distinct file.
QString EmbeddedFamily(const QByteArray &data)
{
    static QHash<QByteArray, QString> families;
    const QByteArray key = QCryptographicHash::hash(data, QCryptographicHash::Sha1);
    auto it = families.constFind(key);
    if (it != families.constEnd())
        return it.value();
    QString family;
    const int id = QFontDatabase::addApplicationFontFromData(data);
    if (id >= 0) {
        const QStringList names = QFontDatabase::applicationFontFamilies(id);
        if (!names.isEmpty())
            family = names.first();
    }
    families.insert(key, family);
    return family;
}

} // namespace

QFont G_TextLayout::ResolveFont(const IG_TextObject *object)
{
    QFont font;
    QString family;
    if (object) {
        const QByteArray data = object->FontData();
        if (!data.isEmpty())
            family = EmbeddedFamily(data);
        if (family.isEmpty())
            family = object->FamilyName().isEmpty() ? object->FontName() : object->FamilyName();
    }
    if (!family.isEmpty())
        font.setFamily(family);
    font.setPixelSize(int(ReferenceSize));
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    if (object) {
        font.setBold(object->IsBold());
        font.setItalic(object->IsItalic());
    }
    return font;
}

G_TextLayout::G_TextLayout(const IG_TextObject *object)
{
    m_font = ResolveFont(object);
    if (!object)
        return;
    m_objectToPage = G_PageRenderer::ObjectTransform(object);
    m_sizeScale = object->FontSize() / ReferenceSize;
    m_hScale = object->HScale() > 0 ? object->HScale() : 1;
    const QFontMetricsF metrics(m_font);
    m_ascent = metrics.ascent() * m_sizeScale;
    m_descent = metrics.descent() * m_sizeScale;

    // Measuring shapes the text; a run repeats few characters.
    QHash<uint, qreal> advances;
    for (const G_TextCode &code : object->TextCodes()) {
        qreal x = code.x, y = code.y;
        const QVector<uint> codePoints = code.text.toUcs4();
        for (int i = 0; i < codePoints.size(); ++i) {
            G_TextGlyph glyph;
            glyph.text = QString::fromUcs4(&codePoints[i], 1);
            glyph.origin = QPointF(x, y);
            auto advance = advances.constFind(codePoints[i]);
            if (advance == advances.constEnd())
                advance = advances.insert(codePoints[i], metrics.horizontalAdvance(glyph.text));
            const qreal natural = *advance * m_sizeScale * m_hScale;
            // An advance leads to the next glyph; the last one keeps its natural width.
            const bool given = size_t(i) < code.deltaX.size() && i < codePoints.size() - 1;
            glyph.advance = given ? code.deltaX[size_t(i)] : natural;
            if (given && glyph.advance > 0 && natural > glyph.advance * 1.02)
                glyph.squeeze = glyph.advance / natural;
            if (glyph.advance <= 0)
                glyph.advance = natural;
            m_glyphs << glyph;
            x += size_t(i) < code.deltaX.size() ? code.deltaX[size_t(i)] : natural;
            if (size_t(i) < code.deltaY.size())
                y += code.deltaY[size_t(i)];
        }
    }
}

QRectF G_TextLayout::GlyphBox(int index) const
{
    if (index < 0 || index >= m_glyphs.size())
        return QRectF();
    const G_TextGlyph &glyph = m_glyphs[index];
    return QRectF(glyph.origin.x(), glyph.origin.y() - m_ascent, glyph.advance, m_ascent + m_descent);
}

QVector<G_PageGlyph> G_TextLayout::PageGlyphs(IG_Page *page)
{
    QVector<G_PageGlyph> result;
    if (!page)
        return result;
    if (!page->IsParsed())
        page->Parse();
    int line = -1;
    QRectF previous;
    for (int i = 0; i < page->PageObjectCount(); ++i) {
        const auto *text = dynamic_cast<const IG_TextObject *>(page->PageObjectAt(i));
        if (!text || !text->IsVisible())
            continue;
        const G_TextLayout layout(text);
        for (int g = 0; g < layout.Glyphs().size(); ++g) {
            G_PageGlyph glyph;
            glyph.box = layout.ObjectToPage().mapRect(layout.GlyphBox(g));
            glyph.text = layout.Glyphs()[g].text;
            // A new line where the baseline jumps or the text runs back to the left.
            const qreal tolerance = 0.5 * std::min(glyph.box.height(), previous.height());
            const bool sameLine = line >= 0
                && std::fabs(glyph.box.center().y() - previous.center().y()) <= tolerance
                && glyph.box.left() >= previous.left() - previous.width();
            if (!sameLine)
                ++line;
            glyph.line = line;
            previous = glyph.box;
            result << glyph;
        }
    }
    return result;
}

#pragma once

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <QVector>

class IG_Page;
class IG_TextObject;

// One glyph of a text object: baseline origin in the object's space and its advance.
struct G_TextGlyph
{
    QString text;
    QPointF origin;
    qreal advance = 0;
    // Horizontal squeeze of a glyph wider than the room the text leaves it (a substitute font).
    qreal squeeze = 1;
};

// One glyph of a page: its box in page millimetres and the line it belongs to.
struct G_PageGlyph
{
    QRectF box;
    QString text;
    int line = 0;
};

// Where the glyphs of a text object go. Fonts are resolved at a reference pixel size and
// scaled to the object's size in millimetres.
class G_TextLayout
{
public:
    static constexpr qreal ReferenceSize = 100;

    explicit G_TextLayout(const IG_TextObject *object);

    const QFont &Font() const { return m_font; }
    // Millimetres per reference pixel.
    qreal SizeScale() const { return m_sizeScale; }
    // Of the whole font, in the object's units.
    qreal Ascent() const { return m_ascent; }
    qreal Descent() const { return m_descent; }
    qreal HScale() const { return m_hScale; }
    const QVector<G_TextGlyph> &Glyphs() const { return m_glyphs; }
    // From the ascent to the descent, in the object's space.
    QRectF GlyphBox(int index) const;
    QTransform ObjectToPage() const { return m_objectToPage; }

    // The embedded font when there is one, else a system font by family name.
    static QFont ResolveFont(const IG_TextObject *object);
    // The page's glyphs in content order, lines numbered from 0 by position.
    static QVector<G_PageGlyph> PageGlyphs(IG_Page *page);

private:
    QFont m_font;
    qreal m_sizeScale = 0;
    qreal m_hScale = 1;
    qreal m_ascent = 0;
    qreal m_descent = 0;
    QVector<G_TextGlyph> m_glyphs;
    QTransform m_objectToPage;
};

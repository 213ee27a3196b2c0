#pragma once

#include "ig_pageobject.h"

#include <QByteArray>
#include <QString>

#include <vector>

// One run of glyphs: the origin of the first glyph and the advances to the next ones.
struct G_TextCode
{
    float x = 0;
    float y = 0;
    QString text;
    std::vector<float> deltaX; // may be shorter than the text; missing advances use the font's
    std::vector<float> deltaY;
};

// A text page object. Size is the font size in millimetres.
class IG_TextObject : public IG_PageObject
{
public:
    virtual QString FontName() const = 0;
    virtual QString FamilyName() const = 0;
    virtual bool IsBold() const = 0;
    virtual bool IsItalic() const = 0;
    virtual float FontSize() const = 0;
    virtual float HScale() const = 0;
    // Embedded font file bytes; empty for a system font.
    virtual QByteArray FontData() const = 0;
    virtual std::vector<G_TextCode> TextCodes() const = 0;
};

// An image page object: the image fills the unit square mapped by the CTM.
class IG_ImageObject : public IG_PageObject
{
public:
    // Encoded image bytes (PNG, JPEG, ...); empty when the resource is missing.
    virtual QByteArray ImageData() const = 0;
};

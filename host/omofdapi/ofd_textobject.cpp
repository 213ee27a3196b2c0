#include "ofd_textobject.h"

OFD_TextObject::OFD_TextObject(std::shared_ptr<OFD_DocumentContext> context, uint32_t id)
    : OFD_GraphicUnit<IG_TextObject>(G_PageObj_Text, std::move(context), id)
{
    // OFD text fills and does not stroke unless told otherwise.
    m_fill = true;
}

void OFD_TextObject::SetFontName(const QString &name)
{
    m_fontName = name;
    Touch();
}

void OFD_TextObject::SetFamilyName(const QString &name)
{
    m_familyName = name;
    Touch();
}

void OFD_TextObject::SetBold(bool bold)
{
    m_bold = bold;
    Touch();
}

void OFD_TextObject::SetItalic(bool italic)
{
    m_italic = italic;
    Touch();
}

void OFD_TextObject::SetFontSize(float size)
{
    m_fontSize = size;
    Touch();
}

void OFD_TextObject::SetHScale(float scale)
{
    m_hScale = scale;
    Touch();
}

void OFD_TextObject::SetWeight(int weight)
{
    m_weight = weight;
    Touch();
}

void OFD_TextObject::SetFontID(uint32_t id)
{
    m_fontID = id;
    Touch();
}

QByteArray OFD_TextObject::FontData() const
{
    if (m_fontProvider) {
        m_fontData = m_fontProvider();
        m_fontProvider = nullptr;
    }
    return m_fontData;
}

void OFD_TextObject::SetFontData(const QByteArray &data)
{
    m_fontData = data;
    m_fontProvider = nullptr;
    Touch();
}

void OFD_TextObject::SetFontDataProvider(std::function<QByteArray()> provider)
{
    m_fontData.clear();
    m_fontProvider = std::move(provider);
    Touch();
}

void OFD_TextObject::SetTextCodes(const std::vector<G_TextCode> &codes)
{
    m_codes = codes;
    Touch();
}

void OFD_TextObject::AddTextCode(const G_TextCode &code)
{
    m_codes.push_back(code);
    Touch();
}

void OFD_TextObject::MoveBy(float dx, float dy)
{
    for (G_TextCode &code : m_codes) {
        code.x += dx;
        code.y += dy;
    }
    OFD_GraphicUnit<IG_TextObject>::MoveBy(dx, dy);
}

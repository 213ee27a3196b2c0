#pragma once

#include "ofd_graphicunit.h"

#include <functional>

class OFD_TextObject : public OFD_GraphicUnit<IG_TextObject>
{
public:
    OFD_TextObject(std::shared_ptr<OFD_DocumentContext> context, uint32_t id);

    QString FontName() const override { return m_fontName; }
    void SetFontName(const QString &name);
    QString FamilyName() const override { return m_familyName; }
    void SetFamilyName(const QString &name);
    bool IsBold() const override { return m_bold; }
    void SetBold(bool bold);
    bool IsItalic() const override { return m_italic; }
    void SetItalic(bool italic);
    float FontSize() const override { return m_fontSize; }
    void SetFontSize(float size);
    float HScale() const override { return m_hScale; }
    void SetHScale(float scale);
    int Weight() const { return m_weight; }
    void SetWeight(int weight);
    // The font resource the object refers to (OFD TextObject@Font).
    uint32_t FontID() const { return m_fontID; }
    void SetFontID(uint32_t id);

    QByteArray FontData() const override;
    void SetFontData(const QByteArray &data);
    // Reads the bytes on first use (a package reader's zip entry).
    void SetFontDataProvider(std::function<QByteArray()> provider);

    // Moves the glyph origins too.
    void MoveBy(float dx, float dy) override;
    std::vector<G_TextCode> TextCodes() const override { return m_codes; }
    void SetTextCodes(const std::vector<G_TextCode> &codes);
    void AddTextCode(const G_TextCode &code);

private:
    QString m_fontName;
    QString m_familyName;
    bool m_bold = false;
    bool m_italic = false;
    float m_fontSize = 0;
    float m_hScale = 1;
    int m_weight = 400;
    uint32_t m_fontID = 0;
    mutable QByteArray m_fontData;
    mutable std::function<QByteArray()> m_fontProvider;
    std::vector<G_TextCode> m_codes;
};

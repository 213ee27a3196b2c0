#pragma once

#include <QHash>
#include <QString>
#include <QVector>

#include <cstdint>
#include <memory>

class OFD_Color;
class OFD_XmlElement;
class OFD_ZipArchive;

struct OFD_FontResource
{
    QString fontName;
    QString familyName;
    bool bold = false;
    bool italic = false;
    QString filePath; // package path of the font file; empty for a system font
};

struct OFD_MediaResource
{
    int type = 0; // G_MultiMediaType
    QString format;
    QString filePath;
};

// The resources of a package scope (document or page): fonts, colour spaces, drawing
// parameters and multimedia, read from Res parts. Lookups fall back to the parent scope.
class OFD_Resources
{
public:
    explicit OFD_Resources(const OFD_Resources *parent = nullptr);
    ~OFD_Resources();
    OFD_Resources(const OFD_Resources &) = delete;
    OFD_Resources &operator=(const OFD_Resources &) = delete;

    // `root` is the parsed Res part stored at `resPath`; its file locations resolve against
    // its BaseLoc and are looked up in `archive`.
    void AddPart(const OFD_XmlElement &root, const QString &resPath, const OFD_ZipArchive &archive);
    void SetDefaultColorSpace(uint32_t id) { m_defaultColorSpace = id; }

    const OFD_FontResource *Font(uint32_t id) const;
    const OFD_MediaResource *MultiMedia(uint32_t id) const;
    // Multimedia of this scope only, in the order read.
    const QVector<uint32_t> &MultiMediaIDs() const { return m_mediaOrder; }
    // The DrawParam chain of `id`, nearest first (at most a few levels; cycles are cut).
    QVector<const OFD_XmlElement *> DrawParamChain(uint32_t id) const;

    // A CT_Color element as an RGB colour with alpha. False when it holds no usable colour.
    bool ReadColor(const OFD_XmlElement &element, OFD_Color &color) const;

private:
    struct ColorSpace
    {
        int type = 2; // G_ColorSpace
        int bits = 8;
        QVector<QString> palette;
    };
    const ColorSpace *FindColorSpace(uint32_t id) const;
    const OFD_XmlElement *DrawParam(uint32_t id) const;
    uint32_t DefaultColorSpace() const;
    bool ReadColorDepth(const OFD_XmlElement &element, OFD_Color &color, int depth) const;

    const OFD_Resources *m_parent;
    uint32_t m_defaultColorSpace = 0;
    QHash<uint32_t, OFD_FontResource> m_fonts;
    QHash<uint32_t, OFD_MediaResource> m_media;
    QVector<uint32_t> m_mediaOrder;
    QHash<uint32_t, ColorSpace> m_colorSpaces;
    QHash<uint32_t, std::shared_ptr<OFD_XmlElement>> m_drawParams;
};

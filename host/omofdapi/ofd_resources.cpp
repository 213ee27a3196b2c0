#include "ofd_resources.h"

#include "ofd_color.h"
#include "ofd_packagepath.h"
#include "ofd_xmlelement.h"
#include "ofd_ziparchive.h"

#include "ig_document.h"

#include <QVarLengthArray>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {

// A file named in a Res part: against its BaseLoc first, then against the part's folder, then
// from the root; the first that exists wins.
QString LocateFile(const QString &location, const QString &baseFolder, const QString &resFolder,
                   const OFD_ZipArchive &archive)
{
    const QStringList candidates = {OFD_PackagePath::Resolve(baseFolder, location),
                                    OFD_PackagePath::Resolve(resFolder, location),
                                    OFD_PackagePath::Resolve(QString(), location)};
    for (const QString &candidate : candidates) {
        const QString stored = candidate.isEmpty() ? QString() : archive.FindEntry(candidate);
        if (!stored.isEmpty())
            return stored;
    }
    return candidates.first();
}

int MediaType(const QString &text)
{
    if (text.compare(QLatin1String("Audio"), Qt::CaseInsensitive) == 0)
        return G_MultiMedia_Audio;
    if (text.compare(QLatin1String("Video"), Qt::CaseInsensitive) == 0)
        return G_MultiMedia_Video;
    return G_MultiMedia_Image;
}

int ColorSpaceType(const QString &text)
{
    if (text.compare(QLatin1String("GRAY"), Qt::CaseInsensitive) == 0)
        return G_ColorSpace_Gray;
    if (text.compare(QLatin1String("CMYK"), Qt::CaseInsensitive) == 0)
        return G_ColorSpace_CMYK;
    return G_ColorSpace_RGB;
}

using Channels = QVarLengthArray<double, 4>;

// Channel values are decimal or "#hh" per channel.
bool ParseChannels(const QString &text, Channels &channels)
{
    channels.clear();
    const QChar *const data = text.constData();
    const int size = text.size();
    for (int at = 0; at < size;) {
        if (data[at] == QLatin1Char(' ')) {
            ++at;
            continue;
        }
        int end = at;
        while (end < size && data[end] != QLatin1Char(' '))
            ++end;
        const QStringRef token = QStringRef(&text, at, end - at).trimmed();
        at = end;
        bool ok = false;
        double value = 0;
        if (token.startsWith(QLatin1Char('#')))
            value = token.mid(1).toUInt(&ok, 16);
        else
            ok = OFD_XmlElement::ParseDouble(QString::fromRawData(token.unicode(), token.size()), value);
        if (!ok)
            return false;
        channels.append(value);
    }
    return !channels.isEmpty();
}

// Plain decimal channels ("0 0 255"), as parts nearly always hold them, read as stored; false
// for anything else, which takes the reading above.
bool PlainChannels(std::string_view text, Channels &channels)
{
    channels.clear();
    for (const char c : text)
        if (c != ' ' && c != '.' && c != '-' && (c < '0' || c > '9'))
            return false;
    for (size_t at = 0; at < text.size();) {
        if (text[at] == ' ') {
            ++at;
            continue;
        }
        const size_t end = std::min(text.find(' ', at), text.size());
        double value = 0;
        if (!OFD_XmlElement::ParseDouble(text.substr(at, end - at), value))
            return false;
        channels.append(value);
        at = end;
    }
    return !channels.isEmpty();
}

uint8_t ToByte(double value, int bits)
{
    const double max = bits >= 1 && bits <= 16 ? double((1 << bits) - 1) : 255.0;
    // Clamped before rounding: a channel may hold any finite number.
    const double scaled = value / max * 255.0;
    return scaled > 0 ? uint8_t(std::floor(std::min(scaled, 255.0) + 0.5)) : 0;
}

} // namespace

OFD_Resources::OFD_Resources(const OFD_Resources *parent) : m_parent(parent) {}

OFD_Resources::~OFD_Resources() = default;

void OFD_Resources::AddPart(const OFD_XmlElement &root, const QString &resPath, const OFD_ZipArchive &archive)
{
    const QString resFolder = OFD_PackagePath::Folder(resPath);
    QString baseFolder = resFolder;
    if (root.HasAttribute(QStringLiteral("BaseLoc"))) {
        const QString base = OFD_PackagePath::Resolve(resFolder, root.Attribute(QStringLiteral("BaseLoc")));
        if (!base.isEmpty())
            baseFolder = base + QLatin1Char('/');
    }
    for (int i = 0; i < root.ChildCount(); ++i) {
        const OFD_XmlElement *group = root.ChildAt(i);
        for (int k = 0; k < group->ChildCount(); ++k) {
            const OFD_XmlElement *item = group->ChildAt(k);
            const uint32_t id = item->UIntAttribute(QStringLiteral("ID"));
            if (id == 0)
                continue;
            if (item->Is(QStringLiteral("Font"))) {
                OFD_FontResource font;
                font.fontName = item->Attribute(QStringLiteral("FontName"));
                font.familyName = item->Attribute(QStringLiteral("FamilyName"));
                font.bold = item->BoolAttribute(QStringLiteral("Bold"), false);
                font.italic = item->BoolAttribute(QStringLiteral("Italic"), false);
                const QString file = item->ChildText(QStringLiteral("FontFile")).trimmed();
                if (!file.isEmpty())
                    font.filePath = LocateFile(file, baseFolder, resFolder, archive);
                m_fonts.insert(id, font);
            } else if (item->Is(QStringLiteral("MultiMedia"))) {
                OFD_MediaResource media;
                media.type = MediaType(item->Attribute(QStringLiteral("Type")));
                media.format = item->Attribute(QStringLiteral("Format"));
                const QString file = item->ChildText(QStringLiteral("MediaFile")).trimmed();
                if (!file.isEmpty())
                    media.filePath = LocateFile(file, baseFolder, resFolder, archive);
                if (!m_media.contains(id))
                    m_mediaOrder.append(id);
                m_media.insert(id, media);
            } else if (item->Is(QStringLiteral("ColorSpace"))) {
                ColorSpace space;
                space.type = ColorSpaceType(item->Attribute(QStringLiteral("Type")));
                space.bits = item->IntAttribute(QStringLiteral("BitsPerComponent"), 8);
                if (const OFD_XmlElement *palette = item->Child(QStringLiteral("Palette")))
                    for (const OFD_XmlElement *cv : palette->Children(QStringLiteral("CV")))
                        space.palette.append(cv->Text().trimmed());
                m_colorSpaces.insert(id, space);
            } else if (item->Is(QStringLiteral("DrawParam"))) {
                m_drawParams.insert(id, std::shared_ptr<OFD_XmlElement>(item->Clone()));
            }
        }
    }
}

const OFD_FontResource *OFD_Resources::Font(uint32_t id) const
{
    const auto it = m_fonts.constFind(id);
    if (it != m_fonts.constEnd())
        return &it.value();
    return m_parent ? m_parent->Font(id) : nullptr;
}

const OFD_MediaResource *OFD_Resources::MultiMedia(uint32_t id) const
{
    const auto it = m_media.constFind(id);
    if (it != m_media.constEnd())
        return &it.value();
    return m_parent ? m_parent->MultiMedia(id) : nullptr;
}

const OFD_Resources::ColorSpace *OFD_Resources::FindColorSpace(uint32_t id) const
{
    const auto it = m_colorSpaces.constFind(id);
    if (it != m_colorSpaces.constEnd())
        return &it.value();
    return m_parent ? m_parent->FindColorSpace(id) : nullptr;
}

const OFD_XmlElement *OFD_Resources::DrawParam(uint32_t id) const
{
    const auto it = m_drawParams.constFind(id);
    if (it != m_drawParams.constEnd())
        return it.value().get();
    return m_parent ? m_parent->DrawParam(id) : nullptr;
}

uint32_t OFD_Resources::DefaultColorSpace() const
{
    if (m_defaultColorSpace)
        return m_defaultColorSpace;
    return m_parent ? m_parent->DefaultColorSpace() : 0;
}

QVector<const OFD_XmlElement *> OFD_Resources::DrawParamChain(uint32_t id) const
{
    QVector<const OFD_XmlElement *> chain;
    QVector<uint32_t> seen;
    while (id != 0 && !seen.contains(id) && chain.size() < 16) {
        seen.append(id);
        const OFD_XmlElement *param = DrawParam(id);
        if (!param)
            break;
        chain.append(param);
        id = param->UIntAttribute(QStringLiteral("Relative"));
    }
    return chain;
}

bool OFD_Resources::ReadColor(const OFD_XmlElement &element, OFD_Color &color) const
{
    return ReadColorDepth(element, color, 0);
}

bool OFD_Resources::ReadColorDepth(const OFD_XmlElement &element, OFD_Color &color, int depth) const
{
    const int alpha = qBound(0, element.IntAttribute(QStringLiteral("Alpha"), 255), 255);
    const uint32_t spaceID = element.UIntAttribute(QStringLiteral("ColorSpace"), DefaultColorSpace());
    const ColorSpace *space = spaceID ? FindColorSpace(spaceID) : nullptr;
    const bool indexed = element.HasAttribute(QStringLiteral("Index")) && space;
    Channels channels;
    bool read = !indexed && PlainChannels(element.Utf8Attribute(QStringLiteral("Value")), channels);
    if (!read) {
        QString valueText = element.Attribute(QStringLiteral("Value"));
        if (indexed) {
            const int index = element.IntAttribute(QStringLiteral("Index"), -1);
            if (index >= 0 && index < space->palette.size())
                valueText = space->palette.at(index);
        }
        read = !valueText.trimmed().isEmpty() && ParseChannels(valueText, channels);
    }
    if (!read) {
        // A shading has no value of its own: take its first colour.
        if (depth < 4) {
            for (int i = 0; i < element.ChildCount(); ++i) {
                const OFD_XmlElement *shading = element.ChildAt(i);
                for (int k = 0; k < shading->ChildCount(); ++k) {
                    const OFD_XmlElement *stop = shading->ChildAt(k);
                    if (const OFD_XmlElement *inner = stop->Child(QStringLiteral("Color"))) {
                        if (ReadColorDepth(*inner, color, depth + 1)) {
                            color.SetAlpha(uint8_t(alpha));
                            return true;
                        }
                    }
                }
            }
        }
        return false;
    }
    const int bits = space ? space->bits : 8;
    int type = space ? space->type : G_ColorSpace_RGB;
    if (channels.size() == 1)
        type = G_ColorSpace_Gray;
    else if (channels.size() == 4)
        type = G_ColorSpace_CMYK;
    else if (channels.size() != 3)
        return false;
    uint8_t r = 0, g = 0, b = 0;
    if (type == G_ColorSpace_Gray) {
        r = g = b = ToByte(channels.at(0), bits);
    } else if (type == G_ColorSpace_CMYK) {
        const double k = ToByte(channels.at(3), bits) / 255.0;
        r = uint8_t(qRound(255.0 * (1 - ToByte(channels.at(0), bits) / 255.0) * (1 - k)));
        g = uint8_t(qRound(255.0 * (1 - ToByte(channels.at(1), bits) / 255.0) * (1 - k)));
        b = uint8_t(qRound(255.0 * (1 - ToByte(channels.at(2), bits) / 255.0) * (1 - k)));
    } else {
        r = ToByte(channels.at(0), bits);
        g = ToByte(channels.at(1), bits);
        b = ToByte(channels.at(2), bits);
    }
    color.SetColorSpace(G_ColorSpace_RGB);
    color.SetValue(uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16);
    color.SetAlpha(uint8_t(alpha));
    return true;
}

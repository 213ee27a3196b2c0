#include "ofd_sampledocument.h"

#include "ofd_color.h"
#include "ofd_document.h"
#include "ofd_packagewriter.h"
#include "ofd_page.h"
#include "ofd_pageobject.h"
#include "ofd_textobject.h"
#include "ofd_utf8.h"

#include <QDateTime>
#include <QtEndian>
#include <QtMath>

namespace {

const float kPageWidth = 210;
const float kPageHeight = 297;
const float kMargin = 25;

quint32 Crc32(const QByteArray &data)
{
    quint32 crc = 0xffffffffu;
    for (const char c : data) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void AppendBigEndian(QByteArray &bytes, quint32 value)
{
    char buffer[4];
    qToBigEndian(value, buffer);
    bytes.append(buffer, 4);
}

QByteArray PngChunk(const char *type, const QByteArray &data)
{
    QByteArray chunk;
    AppendBigEndian(chunk, quint32(data.size()));
    const QByteArray typed = QByteArray(type) + data;
    chunk.append(typed);
    AppendBigEndian(chunk, Crc32(typed));
    return chunk;
}

// A 16 × 16 colour gradient; the model library has no image classes.
QByteArray GradientPng()
{
    const int size = 16;
    QByteArray pixels;
    for (int y = 0; y < size; ++y) {
        pixels.append('\0');
        for (int x = 0; x < size; ++x) {
            pixels.append(char(40 + x * 12));
            pixels.append(char(90 + y * 8));
            pixels.append(char(200));
        }
    }
    QByteArray header;
    AppendBigEndian(header, size);
    AppendBigEndian(header, size);
    header.append("\x08\x02\x00\x00\x00", 5);
    // qCompress puts the length in front of the zlib stream.
    const QByteArray zlib = qCompress(pixels, 9).mid(4);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", header) + PngChunk("IDAT", zlib) + PngChunk("IEND", QByteArray());
}

void AppendLittleEndian(QByteArray &bytes, quint32 value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.append(char((value >> (8 * i)) & 0xff));
}

// Two short tones, 8 kHz, 8-bit mono.
QByteArray ChimeWav()
{
    const int rate = 8000;
    QByteArray samples;
    for (const double frequency : {660.0, 880.0}) {
        for (int i = 0; i < rate / 4; ++i) {
            const double fade = 1.0 - double(i) / (rate / 4);
            samples.append(char(128 + qRound(90 * fade * qSin(2 * M_PI * frequency * i / rate))));
        }
    }
    QByteArray wav("RIFF");
    AppendLittleEndian(wav, quint32(36 + samples.size()), 4);
    wav.append("WAVEfmt ");
    AppendLittleEndian(wav, 16, 4);
    AppendLittleEndian(wav, 1, 2); // PCM
    AppendLittleEndian(wav, 1, 2); // mono
    AppendLittleEndian(wav, rate, 4);
    AppendLittleEndian(wav, rate, 4);
    AppendLittleEndian(wav, 1, 2);
    AppendLittleEndian(wav, 8, 2);
    wav.append("data");
    AppendLittleEndian(wav, quint32(samples.size()), 4);
    return wav + samples;
}

// The start of an MP4 file: enough for a player to name the format.
QByteArray ClipMp4()
{
    QByteArray box;
    AppendBigEndian(box, 24);
    box.append("ftypisom");
    AppendBigEndian(box, 0x200);
    box.append("isommp41");
    QByteArray free;
    AppendBigEndian(free, 8);
    free.append("free");
    return box + free;
}

void AddLine(OFD_Document &document, OFD_Page &page, uint32_t fontID, float top, float size, const QString &text,
             uint32_t color)
{
    auto object = std::make_unique<OFD_TextObject>(document.Context(), document.NewID());
    object->SetBoundary(CCA_GRect(kMargin, top, kPageWidth - kMargin, top + size * 1.4f));
    object->SetFontID(fontID);
    object->SetFontName(QStringLiteral("DejaVu Sans"));
    object->SetFamilyName(QStringLiteral("DejaVu Sans"));
    object->SetFontSize(size);
    OFD_Color fill(G_ColorSpace_RGB, color, 255);
    object->SetFillColor(&fill);
    G_TextCode code;
    code.x = 0;
    code.y = size;
    code.text = text;
    object->AddTextCode(code);
    page.AddPageObject(std::move(object));
}

} // namespace

std::unique_ptr<OFD_Document> OFD_SampleDocument::Create()
{
    const QStringList titles = {QStringLiteral("Link annotations: a sample document"),
                                QStringLiteral("Page 2: web addresses and attachments"),
                                QStringLiteral("Page 3: audio and video"),
                                QStringLiteral("Page 4: the end of the sample")};
    const QList<QStringList> bodies = {
        {QStringLiteral("Choose the link tool (L) and drag a rectangle on this page."),
         QStringLiteral("The property dialog chooses how the link looks and what it does."),
         QStringLiteral("This blue frame links to page 2: follow it with the hand tool (H)."),
         QStringLiteral("Double-click a link with the link tool to edit it; drag it to move it.")},
        {QStringLiteral("A link can open a web page: type its address in the dialog."),
         QStringLiteral("It can also open one of the two attachments of this document:"),
         QStringLiteral("readme.txt, a short text, and gradient.png, a small picture.")},
        {QStringLiteral("The document holds an audio resource (chime.wav)"),
         QStringLiteral("and a video resource (clip.mp4)."),
         QStringLiteral("Choose \"play audio video file\" in the dialog to link to either.")},
        {QStringLiteral("Copy, cut and paste links with the keyboard; undo with Ctrl+Z."),
         QStringLiteral("Save with Ctrl+S: the links are stored in the OFD package.")}};

    std::unique_ptr<OFD_Document> document = OFD_Document::CreateBlank(titles.size(), kPageWidth, kPageHeight);
    const uint32_t fontID = document->NewID();
    for (int i = 0; i < document->PageCount(); ++i) {
        OFD_Page *page = document->Page(i);
        AddLine(*document, *page, fontID, kMargin, 7, titles.at(i), 0x6b3a1f);
        float top = kMargin + 20;
        for (const QString &line : bodies.at(i)) {
            AddLine(*document, *page, fontID, top, 4.5f, line, 0x202020);
            top += 9;
        }
    }

    // A link on the first page to the second, around the line that mentions it.
    OFD_Page *first = document->Page(0);
    IG_Annot *link = first->AddAnnot(G_AnnotType_Link, CCA_String("Link"), -1, false, nullptr);
    if (link) {
        const CCA_GRect box(kMargin - 2, kMargin + 20 + 18 - 1.5f, kPageWidth - kMargin + 2, kMargin + 20 + 18 + 7.5f);
        link->SetBoundary(box);
        link->SetCreator(CCA_String("annotlink"));
        link->SetReadOnly(false);
        link->SetLastModDate(OFD_ToUtf8(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))));
        IG_PageObject *path = link->CreateAppearance()->InsertPageObject(G_PageObj_Path, 0, true);
        if (path) {
            const float width = 0.35277778f;
            const float h = width / 2;
            CCA_Path shape;
            shape.MoveTo(h, h);
            shape.LineTo(box.Width() - h, h);
            shape.LineTo(box.Width() - h, box.Height() - h);
            shape.LineTo(h, box.Height() - h);
            shape.CloseFigure();
            path->SetLineWidth(width);
            path->SetBoundary(CCA_GRect(0, 0, box.Width(), box.Height()));
            path->SetPath(shape);
            OFD_Color blue(G_ColorSpace_RGB, 0xcc3300, 255);
            path->SetStrokeColor(&blue);
            auto *go = new G_ActionGoto;
            go->Dest().pageIndex = 1;
            go->Dest().pageID = document->GetPageID(1);
            go->Dest().type = G_Dest_Fit;
            CCA_ArrayTemplate<G_Action *> actions;
            actions.Add(go);
            path->SetActions(actions);
        }
    }

    const CCA_String now = OFD_ToUtf8(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    // The name goes without the extension: lists show it followed by "." and the format.
    const auto attach = [&](const char *name, const char *format, const QByteArray &data) {
        G_AttachmentInfo info;
        info.name = CCA_String(name);
        info.filePath = CCA_String((QByteArray(name) + '.' + format).constData());
        info.format = CCA_String(format);
        info.creationDate = info.modDate = now;
        document->AddAttachment(info, data);
    };
    attach("readme", "txt", QByteArray("This text is an attachment of the annotlink sample document.\n"
                                           "A link with the action \"open document attachment\" opens it.\n"));
    attach("gradient", "png", GradientPng());

    const auto embed = [&](int type, const char *format, const char *path, const QByteArray &data) {
        G_MultiMediaInfo info;
        info.type = type;
        info.format = CCA_String(format);
        info.filePath = CCA_String(path);
        document->AddMultiMedia(0, info, data);
    };
    embed(G_MultiMedia_Audio, "WAV", "chime.wav", ChimeWav());
    embed(G_MultiMedia_Video, "MP4", "clip.mp4", ClipMp4());
    document->SetModified(false);
    return document;
}

bool OFD_SampleDocument::Write(const QString &filePath, QString *error)
{
    std::unique_ptr<OFD_Document> document = Create();
    return OFD_PackageWriter::Save(document.get(), filePath, error);
}

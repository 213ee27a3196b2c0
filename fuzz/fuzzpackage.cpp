#include "fuzztargets.h"

#include "omofdapi/g_action.h"
#include "omofdapi/ig_appearance.h"
#include "omofdapi/ofd_document.h"
#include "omofdapi/ofd_packagereader.h"
#include "omofdapi/ofd_packagewriter.h"
#include "omofdapi/ofd_page.h"
#include "omofdapi/ofd_xmlelement.h"
#include "omofdapi/ofd_xmlserializer.h"
#include "omofdapi/ofd_ziparchive.h"

#include <KZip>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace {

// Every input ends within these, so that a run finds faults rather than slow inputs.
const int kMaxPages = 8;
const int kMaxAnnotsPerPage = 64;

QString WorkPath(const char *name)
{
    static QTemporaryDir folder;
    return folder.path() + QLatin1Char('/') + QLatin1String(name);
}

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

OFD_ArchiveLimits Limits()
{
    OFD_ArchiveLimits limits;
    limits.maxEntries = 4096;
    limits.maxEntrySize = qint64(8) << 20;
    limits.maxTotalSize = qint64(64) << 20;
    return limits;
}

// What the reader does with a document: every page read, every annotation and action looked
// at and written as text.
void Walk(OFD_Document *document)
{
    const int pages = std::min(document->PageCount(), kMaxPages);
    for (int i = 0; i < pages; ++i) {
        OFD_Page *page = document->Page(i);
        page->Parse();
        page->LoadAnnots();
        const int annots = std::min(page->AnnotCount(), kMaxAnnotsPerPage);
        for (int k = 0; k < annots; ++k) {
            const IG_Annot *annot = page->AnnotAt(k);
            OFD_XmlSerializer::AnnotElement(*annot);
            const IG_Appearance *appearance = annot->Appearance();
            const IG_PageObject *object = appearance ? appearance->PageObject(0) : nullptr;
            if (!object)
                continue;
            for (const G_Action *action : object->Actions()) {
                if (action)
                    action->ToString();
            }
        }
    }
    for (int i = 0; i < std::min(document->AttachmentCount(), 4); ++i)
        document->AttachmentData(i);
}

// Adds a link as the dialog makes one, saves, and reads the save back.
void AddLinkAndSave(OFD_Document *document)
{
    if (document->PageCount() > 0) {
        IG_Annot *annot = document->GetPage(0)->AddAnnot(G_AnnotType_Link, "Link", -1, false, {});
        if (annot) {
            annot->SetBoundary(CCA_GRect(10, 10, 60, 20));
            IG_PageObject *object = annot->Appearance()->InsertPageObject(G_PageObj_Path, -1, true);
            CCA_ArrayTemplate<G_Action *> actions;
            actions.Add(new G_ActionURI);
            object->SetActions(actions);
        }
    }
    const QString saved = WorkPath("saved.ofd");
    QString error;
    if (OFD_PackageWriter::Save(document, saved, &error)) {
        std::unique_ptr<OFD_Document> again = OFD_PackageReader::Open(saved, &error, Limits());
        if (again)
            Walk(again.get());
    }
    QFile::remove(saved);
}

void Exercise(const QByteArray &package)
{
    const QString path = WorkPath("input.ofd");
    if (!WriteFile(path, package))
        return;
    QString error;
    std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(path, &error, Limits());
    if (document) {
        Walk(document.get());
        AddLinkAndSave(document.get());
    }
}

const char kOfd[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><ofd:OFD xmlns:ofd=\"http://www.ofdspec.org/2016\" "
                    "Version=\"1.0\" DocType=\"OFD\"><ofd:DocBody><ofd:DocInfo><ofd:DocID>x</ofd:DocID></ofd:DocInfo>"
                    "<ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot></ofd:DocBody></ofd:OFD>";
const char kDocument[] =
    "<ofd:Document xmlns:ofd=\"http://www.ofdspec.org/2016\"><ofd:CommonData><ofd:MaxUnitID>20</ofd:MaxUnitID>"
    "<ofd:PageArea><ofd:PhysicalBox>0 0 210 297</ofd:PhysicalBox></ofd:PageArea>"
    "<ofd:PublicRes>PublicRes.xml</ofd:PublicRes><ofd:DocumentRes>DocumentRes.xml</ofd:DocumentRes></ofd:CommonData>"
    "<ofd:Pages><ofd:Page ID=\"1\" BaseLoc=\"Pages/Page_0/Content.xml\"/>"
    "<ofd:Page ID=\"2\" BaseLoc=\"Pages/Page_1/Content.xml\"/></ofd:Pages>"
    "<ofd:Annotations>Annots/Annotations.xml</ofd:Annotations><ofd:Attachments>Attachs/Attachments.xml</ofd:Attachments>"
    "</ofd:Document>";
const char kPage[] =
    "<ofd:Page xmlns:ofd=\"http://www.ofdspec.org/2016\"><ofd:Content><ofd:Layer ID=\"3\">"
    "<ofd:PathObject ID=\"4\" Boundary=\"10 10 50 20\" LineWidth=\"0.5\"><ofd:AbbreviatedData>M 0 0 L 50 0 L 50 20 C"
    "</ofd:AbbreviatedData></ofd:PathObject>"
    "<ofd:TextObject ID=\"5\" Boundary=\"10 40 80 10\" Font=\"6\" Size=\"5\"><ofd:TextCode X=\"0\" Y=\"5\" DeltaX=\"g 3 4\">"
    "Hello</ofd:TextCode></ofd:TextObject>"
    "<ofd:ImageObject ID=\"7\" Boundary=\"10 60 20 20\" CTM=\"20 0 0 20 0 0\" ResourceID=\"8\"/>"
    "</ofd:Layer></ofd:Content></ofd:Page>";
const char kIndex[] = "<ofd:Annotations xmlns:ofd=\"http://www.ofdspec.org/2016\"><ofd:Page PageID=\"1\">"
                      "<ofd:FileLoc>Page_0/Annotation.xml</ofd:FileLoc></ofd:Page></ofd:Annotations>";
const char kAnnots[] =
    "<ofd:PageAnnot xmlns:ofd=\"http://www.ofdspec.org/2016\"><ofd:Annot ID=\"9\" Type=\"Link\" Creator=\"a\" "
    "LastModDate=\"2020-01-02\"><ofd:Appearance Boundary=\"10 10 50 10\"><ofd:PathObject ID=\"10\" Boundary=\"0 0 50 10\">"
    "<ofd:StrokeColor Value=\"255 0 0\"/><ofd:Actions><ofd:Action Event=\"CLICK\"><ofd:URI URI=\"https://x\"/></ofd:Action>"
    "<ofd:Action Event=\"CLICK\"><ofd:Goto><ofd:Dest Type=\"XYZ\" PageID=\"2\" Left=\"3\" Top=\"4\" Zoom=\"2\"/>"
    "</ofd:Goto></ofd:Action></ofd:Actions><ofd:AbbreviatedData>M 0 0 L 50 0 L 50 10 L 0 10 C</ofd:AbbreviatedData>"
    "</ofd:PathObject></ofd:Appearance></ofd:Annot></ofd:PageAnnot>";
const char kPublicRes[] = "<ofd:Res xmlns:ofd=\"http://www.ofdspec.org/2016\" BaseLoc=\"Res\"><ofd:Fonts>"
                          "<ofd:Font ID=\"6\" FontName=\"Sans\"/></ofd:Fonts></ofd:Res>";
const char kDocumentRes[] = "<ofd:Res xmlns:ofd=\"http://www.ofdspec.org/2016\" BaseLoc=\"Res\"><ofd:MultiMedias>"
                            "<ofd:MultiMedia ID=\"8\" Type=\"Image\"><ofd:MediaFile>a.png</ofd:MediaFile></ofd:MultiMedia>"
                            "</ofd:MultiMedias></ofd:Res>";
const char kAttachments[] = "<ofd:Attachments xmlns:ofd=\"http://www.ofdspec.org/2016\"><ofd:Attachment ID=\"11\" "
                            "Name=\"notes\" Format=\"txt\"><ofd:FileLoc>notes.txt</ofd:FileLoc></ofd:Attachment>"
                            "</ofd:Attachments>";

} // namespace

int FuzzPackage(const uint8_t *data, size_t size)
{
    Exercise(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    return 0;
}

int FuzzXmlPart(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    QList<QPair<QString, QByteArray>> parts = {
        {QStringLiteral("OFD.xml"), kOfd},
        {QStringLiteral("Doc_0/Document.xml"), kDocument},
        {QStringLiteral("Doc_0/Pages/Page_0/Content.xml"), kPage},
        {QStringLiteral("Doc_0/Annots/Annotations.xml"), kIndex},
        {QStringLiteral("Doc_0/Annots/Page_0/Annotation.xml"), kAnnots},
        {QStringLiteral("Doc_0/PublicRes.xml"), kPublicRes},
        {QStringLiteral("Doc_0/DocumentRes.xml"), kDocumentRes},
        {QStringLiteral("Doc_0/Attachs/Attachments.xml"), kAttachments},
        {QStringLiteral("Doc_0/Pages/Page_1/Content.xml"), kPage},
    };
    parts[data[0] % parts.size()].second = QByteArray(reinterpret_cast<const char *>(data + 1), int(size - 1));
    QBuffer buffer;
    KZip zip(&buffer);
    if (!zip.open(QIODevice::WriteOnly))
        return 0;
    zip.setCompression(KZip::NoCompression);
    for (const auto &part : qAsConst(parts))
        zip.writeFile(part.first, part.second);
    zip.writeFile(QStringLiteral("Doc_0/Res/a.png"), QByteArray("\x89PNG\r\n\x1a\n", 8));
    zip.writeFile(QStringLiteral("Doc_0/Attachs/notes.txt"), QByteArray("notes"));
    zip.close();
    Exercise(buffer.data());
    return 0;
}

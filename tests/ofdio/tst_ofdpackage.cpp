#include "omofd/ofd_codec.h"
#include "omofdapi/ofd_annot.h"
#include "omofdapi/ofd_color.h"
#include "omofdapi/ofd_document.h"
#include "omofdapi/ofd_documentpatch.h"
#include "omofdapi/ofd_packagereader.h"
#include "omofdapi/ofd_packagewriter.h"
#include "omofdapi/ofd_page.h"
#include "omofdapi/ofd_sampledocument.h"
#include "omofdapi/ofd_ziparchive.h"
#include "omofdapi/ofd_zipwriter.h"

#include "packagefixture.h"
#include "testgeometry.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <zip.h>
#include <zlib.h>

namespace {

const QString kSchemaDir = QStringLiteral(ANNOTLINK_SHARED_DIR "/ofd-schema");

QString FixturePath(const QString &name)
{
    return QStringLiteral(ANNOTLINK_SHARED_DIR "/fixtures/ofd/") + name;
}

QString RootName(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    return reader.readNextStartElement() ? reader.name().toString() : QString();
}

// A zip of stored entries written by hand, each followed by a data descriptor when asked (what
// streaming writers make).
QByteArray StoredZip(const Entries &entries, bool descriptors)
{
    const auto le = [](quint64 value, int bytes) {
        QByteArray out;
        for (int i = 0; i < bytes; ++i)
            out.append(char(value >> (8 * i)));
        return out;
    };
    QByteArray out;
    QByteArray directory;
    for (const auto &entry : entries) {
        const QByteArray name = entry.first.toUtf8();
        const quint32 size = quint32(entry.second.size());
        const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(entry.second.constData()), uInt(size)));
        const QByteArray fields = le(20, 2) + le(descriptors ? 8 : 0, 2) + le(0, 2) + le(0, 2) + le(0x21, 2);
        const QByteArray sizes = le(crc, 4) + le(size, 4) + le(size, 4);
        directory += "PK\x01\x02" + le(20, 2) + fields + sizes + le(quint32(name.size()), 2) + le(0, 8) + le(0, 4)
            + le(quint32(out.size()), 4) + name;
        out += "PK\x03\x04" + fields + (descriptors ? QByteArray(12, '\0') : sizes) + le(quint32(name.size()), 2)
            + le(0, 2) + name + entry.second;
        if (descriptors)
            out += "PK\x07\x08" + sizes;
    }
    const quint32 count = quint32(entries.size());
    return out + directory + "PK\x05\x06" + le(0, 4) + le(count, 2) + le(count, 2) + le(quint32(directory.size()), 4)
        + le(quint32(out.size()), 4) + le(0, 2);
}

// xmllint's complaints about one part, without the schema's own oddities that we accept:
// GotoA@AttachID and Attachment@ID hold numeric IDs, which xs:IDREF and xs:ID refuse.
QStringList SchemaErrors(const QByteArray &xml, const QString &xsd)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("part.xml"));
    if (!WriteFile(file, xml))
        return {QStringLiteral("cannot write the part")};
    QProcess lint;
    lint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("--schema"), kSchemaDir + QLatin1Char('/') + xsd, file});
    lint.waitForFinished(60000);
    QStringList errors;
    for (const QString &line : QString::fromUtf8(lint.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.endsWith(QLatin1String(" validates")) || line.endsWith(QLatin1String("fails to validate")))
            continue;
        if ((line.contains(QLatin1String("'AttachID'")) && line.contains(QLatin1String("xs:IDREF")))
            || (line.contains(QLatin1String("Attachment', attribute 'ID'")) && line.contains(QLatin1String("xs:ID"))))
            continue;
        errors.append(line);
    }
    if (lint.exitCode() != 0 && errors.isEmpty() && lint.exitCode() != 3)
        errors.append(QStringLiteral("xmllint exit code %1").arg(lint.exitCode()));
    return errors;
}

// Page annotation parts are the one kind whose schema is not named after its root.
QString SchemaFor(const QString &root)
{
    return (root == QLatin1String("PageAnnot") ? QStringLiteral("Annotation") : root) + QStringLiteral(".xsd");
}

struct NewLink
{
    int pageIndex;
    CCA_GRect box;
    bool underline;
    bool visible;
    float width;
    QVector<float> dashes;
    uint32_t color;
    uint8_t alpha;
    CCA_Matrix ctm;
    G_Action *action;
};

IG_Annot *AddLink(IG_Document *document, const NewLink &wanted)
{
    IG_Page *page = document->GetPage(wanted.pageIndex);
    page->LoadAnnots();
    IG_Annot *annot = page->AddAnnot(G_AnnotType_Link, CCA_String("Link"), -1, false, nullptr);
    annot->SetBoundary(wanted.box);
    annot->SetCreator(CCA_String("Tester Ü"));
    annot->SetReadOnly(false);
    annot->SetLastModDate(CCA_String("2024-03-05 14:07:09"));
    IG_PageObject *path = annot->CreateAppearance()->InsertPageObject(G_PageObj_Path, 0, true);
    const float w = wanted.box.Width();
    const float h = wanted.box.Height();
    CCA_Path shape = RectPath(0.25f, 0.25f, w - 0.25f, h - 0.25f);
    if (wanted.underline) {
        shape = CCA_Path();
        shape.MoveTo(0.25f, h - 0.25f);
        shape.LineTo(w - 0.25f, h - 0.25f);
    }
    path->SetPath(shape);
    path->SetBoundary(CCA_GRect(0, 0, w, h));
    path->SetVisible(wanted.visible);
    path->SetLineWidth(wanted.width);
    CCA_ArrayTemplate<float> dashes;
    for (float d : wanted.dashes)
        dashes.Add(d);
    path->SetDashPattern(dashes);
    path->SetCTM(wanted.ctm);
    std::unique_ptr<IG_Color> color(document->CreateColor());
    color->SetValue(wanted.color);
    color->SetAlpha(wanted.alpha);
    path->SetStrokeColor(color.get());
    CCA_ArrayTemplate<G_Action *> actions;
    actions.Add(wanted.action);
    path->SetActions(actions);
    return annot;
}

// Every stored field of a link, as text, to compare a link before and after a round trip.
QStringList DescribeLink(const IG_Annot *annot)
{
    const auto rect = [](const CCA_GRect &r) { return QStringLiteral("%1 %2 %3 %4").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom); };
    QStringList fields;
    fields << QStringLiteral("type %1 sub %2").arg(annot->Type()).arg(annot->SubType().c_str())
           << QStringLiteral("box ") + rect(annot->Boundary())
           << QStringLiteral("date %1 creator %2").arg(QString::fromUtf8(annot->LastModDate().c_str()), QString::fromUtf8(annot->Creator().c_str()))
           << QStringLiteral("readonly %1 visible %2").arg(annot->IsReadOnly()).arg(annot->IsVisible());
    const IG_PageObject *path = annot->Appearance() ? annot->Appearance()->PageObject(0) : nullptr;
    if (!path)
        return fields << QStringLiteral("no path object");
    const CCA_Matrix m = path->CTM();
    fields << QStringLiteral("path %1").arg(OFD_PathToString(path->Path()).c_str())
           << QStringLiteral("object box ") + rect(path->Boundary())
           << QStringLiteral("visible %1 width %2 dashes %3").arg(path->IsVisible()).arg(double(path->LineWidth()), 0, 'g', 9).arg(OFD_ArrayToString(path->DashPattern(), 0).c_str())
           << QStringLiteral("stroke %1 fill %2").arg(path->IsStroke()).arg(path->IsFill())
           << QStringLiteral("ctm %1 %2 %3 %4 %5 %6").arg(m.a).arg(m.b).arg(m.c).arg(m.d).arg(m.e).arg(m.f);
    if (const IG_Color *color = path->StrokeColor())
        fields << QStringLiteral("colour %1 alpha %2").arg(color->Value(), 6, 16, QLatin1Char('0')).arg(color->Alpha());
    for (const G_Action *action : path->Actions())
        fields << QString::fromUtf8(action->ToString().c_str());
    return fields;
}

} // namespace

class tst_OfdPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Validation needs xmllint and the shared schemas; both may be missing on a bare machine.
        m_haveXmllint = !QStandardPaths::findExecutable(QStringLiteral("xmllint")).isEmpty() && QFileInfo::exists(kSchemaDir);
    }

    void fixtureOpens_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("pages");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<int>("annots");     // on the first page
        QTest::addColumn<int>("annotType");  // of its first annotation
        QTest::addColumn<int>("appearanceObjects");
        QTest::addColumn<int>("attachments");
        QTest::addColumn<uint>("fileMaxID");

        QTest::newRow("helloworld") << "helloworld.ofd" << 1 << 210.0 << 297.0 << 0 << 0 << 0 << 0 << 4u;
        QTest::newRow("five-pages") << "five-pages.ofd" << 5 << 210.0 << 297.0 << 0 << 0 << 0 << 0 << 88u;
        QTest::newRow("attachment") << "attachment.ofd" << 1 << 210.0 << 297.0 << 0 << 0 << 0 << 1 << 5u;
        // 81 rotated text objects make up the stamp.
        QTest::newRow("stamp-annotations") << "stamp-annotations.ofd" << 2 << 210.0157 << 297.0107 << 1
                                           << int(G_AnnotType_Stamp) << 81 << 0 << 13297u;
    }

    void fixtureOpens()
    {
        QFETCH(QString, file);
        QFETCH(double, width);
        QFETCH(double, height);
        if (!QFile::exists(FixturePath(file)))
            QSKIP("fixture not available");

        QString error;
        std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(FixturePath(file), &error);
        QVERIFY2(document, qPrintable(error));
        QTEST(document->PageCount(), "pages");
        for (int i = 0; i < document->PageCount(); ++i) {
            const CCA_GRect box = document->Page(i)->PageBox();
            QCOMPARE(QSizeF(double(box.Width()), double(box.Height())), QSizeF(double(float(width)), double(float(height))));
        }
        IG_Page *first = document->GetPage(0);
        QVERIFY(!first->IsParsed());
        QVERIFY(first->Parse());
        QVERIFY(first->PageObjectCount() > 0);
        QVERIFY(first->LoadAnnots());
        QTEST(first->AnnotCount(), "annots");
        if (first->AnnotCount() > 0) {
            QTEST(first->AnnotAt(0)->Type(), "annotType");
            QTEST(first->AnnotAt(0)->Appearance()->PageObjectCount(), "appearanceObjects");
        }
        QTEST(document->AttachmentCount(), "attachments");
        QVERIFY(!document->IsModified());
        QVERIFY(!document->IsSigned());
    }

    void unchangedSaveIsByteIdentical_data()
    {
        fixtureOpens_data();
    }

    void unchangedSaveIsByteIdentical()
    {
        QFETCH(QString, file);
        if (!QFile::exists(FixturePath(file)))
            QSKIP("fixture not available");
        QString error;
        std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(FixturePath(file), &error);
        QVERIFY2(document, qPrintable(error));
        // Loading everything changes nothing.
        for (int i = 0; i < document->PageCount(); ++i) {
            document->Page(i)->Parse();
            document->Page(i)->LoadAnnots();
        }
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("copy.ofd"));
        QVERIFY2(OFD_PackageWriter::Save(document.get(), target, &error), qPrintable(error));
        const QMap<QString, QByteArray> before = ZipEntries(FixturePath(file));
        const QMap<QString, QByteArray> after = ZipEntries(target);
        QCOMPARE(after.keys(), before.keys());
        for (auto it = before.constBegin(); it != before.constEnd(); ++it)
            QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key()));
        // Saved again, to the file it now is.
        QVERIFY2(OFD_PackageWriter::Save(document.get(), target, &error), qPrintable(error));
        QCOMPARE(ZipEntries(target), before);
    }

    void linksOfEveryKindRoundTrip_data()
    {
        fixtureOpens_data();
    }

    void linksOfEveryKindRoundTrip()
    {
        QFETCH(QString, file);
        QFETCH(uint, fileMaxID);
        QFETCH(int, annots);
        if (!QFile::exists(FixturePath(file)))
            QSKIP("fixture not available");
        QString error;
        std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(FixturePath(file), &error);
        QVERIFY2(document, qPrintable(error));
        const int last = document->PageCount() - 1;

        auto *xyz = new G_ActionGoto;
        xyz->SetDest({last, document->GetPageID(last), 10.5f, 120.25f, 20.75f, 200.125f, 1.5f, G_Dest_XYZ});
        auto *fitR = new G_ActionGoto;
        fitR->SetDest({0, document->GetPageID(0), 1, 2, 3, 4, 0, G_Dest_FitR});
        auto *uri = new G_ActionURI;
        uri->SetURI(CCA_String("https://example.com/a?b=c&d=\xc3\xa9"));
        auto *gotoA = new G_ActionGotoA;
        gotoA->SetAttachID(77);
        gotoA->SetNewWindow(false);
        auto *sound = new G_ActionSound;
        sound->SetResourceID(88);
        sound->SetVolume(40);
        sound->SetRepeat(true);
        sound->SetSynchronous(true);
        auto *movie = new G_ActionMovie;
        movie->SetResourceID(99);
        movie->SetOperator(G_ActionMovie::Pause);
        const CCA_Matrix identity;
        const QVector<NewLink> wantedLinks = {
            {0, CCA_GRect(10.1f, 20.2f, 60.3f, 30.4f), false, true, 0.70555556f, {1.8813889f, 0.35277778f}, 0x0000ff, 128, identity, xyz},
            {0, CCA_GRect(15, 40, 95, 48), true, true, 0.35277778f, {}, 0x00ff00, 255, identity, fitR},
            {0, CCA_GRect(15, 60, 95, 68), false, false, 1.0583334f, {2.2222f, 1, 0.5f, 1}, 0x123456, 0, CCA_Matrix(1, 0, 0, 1, 2.5f, -1), uri},
            {last, CCA_GRect(30, 100, 80, 110), false, true, 0.35277778f, {}, 0xffffff, 255, identity, gotoA},
            {last, CCA_GRect(30, 120, 80, 130), true, true, 0.35277778f, {}, 0x808080, 200, identity, sound},
            {last, CCA_GRect(30, 140, 80, 150), false, true, 0.35277778f, {}, 0, 255, identity, movie}};
        QVector<uint32_t> ids;
        QList<QStringList> expected;
        for (const NewLink &wanted : wantedLinks) {
            IG_Annot *annot = AddLink(document.get(), wanted);
            ids.append(annot->ID());
            expected.append(DescribeLink(annot));
            QVERIFY2(annot->ID() > fileMaxID, "new IDs come after every ID of the package");
        }
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("links.ofd"));
        std::unique_ptr<OFD_Document> reopened = SaveAndReopen(document.get(), target, &error);
        QVERIFY2(reopened, qPrintable(error));
        QVERIFY(!document->IsModified());

        // Parts other than Document.xml and the annotation parts are copied as they were.
        const QMap<QString, QByteArray> before = ZipEntries(FixturePath(file));
        const QMap<QString, QByteArray> after = ZipEntries(target);
        for (auto it = after.constBegin(); it != after.constEnd(); ++it) {
            if (before.value(it.key()) == it.value())
                continue;
            const QString root = RootName(it.value());
            QVERIFY2(root == QLatin1String("Document") || root == QLatin1String("Annotations") || root == QLatin1String("PageAnnot"),
                     qPrintable(it.key()));
            if (!m_haveXmllint)
                continue;
            const QStringList errors = SchemaErrors(it.value(), SchemaFor(root));
            QVERIFY2(errors.isEmpty(), qPrintable(it.key() + QLatin1String(": ") + errors.join(QLatin1Char('\n'))));
        }
        for (const QString &name : before.keys())
            QVERIFY2(after.contains(name), qPrintable(name));
        QVERIFY(OFD_PackageReader::Of(reopened.get())->FileMaxUnitID() >= ids.last());
        for (int i = 0; i < wantedLinks.size(); ++i) {
            IG_Page *page = reopened->GetPage(wantedLinks.at(i).pageIndex);
            QVERIFY(page->LoadAnnots());
            const IG_Annot *annot = page->AnnotByID(ids.at(i));
            QVERIFY2(annot, qPrintable(QString::number(ids.at(i))));
            QCOMPARE(DescribeLink(annot), expected.at(i));
        }
        const int onFirst = last == 0 ? 6 : 3;
        QCOMPARE(reopened->GetPage(0)->AnnotCount(), onFirst + annots);
        if (!m_haveXmllint)
            QSKIP("xmllint or the schemas not available: the parts were not validated");
    }

    void removingTheLastLinkDropsItsPart()
    {
        if (!QFile::exists(FixturePath(QStringLiteral("helloworld.ofd"))))
            QSKIP("fixture not available");
        QString error;
        QTemporaryDir dir;
        const QString withLink = dir.filePath(QStringLiteral("with.ofd"));
        const QString without = dir.filePath(QStringLiteral("without.ofd"));
        {
            std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(FixturePath(QStringLiteral("helloworld.ofd")), &error);
            QVERIFY2(document, qPrintable(error));
            AddBareLink(document.get(), 0, CCA_GRect(10, 10, 50, 20));
            QVERIFY2(OFD_PackageWriter::Save(document.get(), withLink, &error), qPrintable(error));
        }
        // The layout other readers resolve best.
        const QMap<QString, QByteArray> linked = ZipEntries(withLink);
        QVERIFY(linked.contains(QStringLiteral("Doc_0/Annots/Annotations.xml")));
        QVERIFY(linked.contains(QStringLiteral("Doc_0/Annots/Page_0/Annotation.xml")));
        QVERIFY(linked.value(QStringLiteral("Doc_0/Document.xml")).contains("<ofd:Annotations>Annots/Annotations.xml</ofd:Annotations>"));
        QVERIFY(linked.value(QStringLiteral("Doc_0/Annots/Annotations.xml")).contains("<ofd:FileLoc>Page_0/Annotation.xml</ofd:FileLoc>"));

        std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(withLink, &error);
        QVERIFY2(document, qPrintable(error));
        IG_Page *page = document->GetPage(0);
        QVERIFY(page->LoadAnnots());
        QCOMPARE(page->AnnotCount(), 1);
        delete page->TakeAnnot(page->AnnotAt(0));
        std::unique_ptr<OFD_Document> reopened = SaveAndReopen(document.get(), without, &error);
        QVERIFY2(reopened, qPrintable(error));
        const QMap<QString, QByteArray> unlinked = ZipEntries(without);
        QVERIFY(!unlinked.contains(QStringLiteral("Doc_0/Annots/Page_0/Annotation.xml")));
        QVERIFY(!unlinked.value(QStringLiteral("Doc_0/Annots/Annotations.xml")).contains("FileLoc"));
        QVERIFY(reopened->GetPage(0)->LoadAnnots());
        QCOMPARE(reopened->GetPage(0)->AnnotCount(), 0);
    }

    void savingInPlaceTwiceKeepsEveryLink()
    {
        if (!QFile::exists(FixturePath(QStringLiteral("stamp-annotations.ofd"))))
            QSKIP("fixture not available");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("work.ofd"));
        QVERIFY(QFile::copy(FixturePath(QStringLiteral("stamp-annotations.ofd")), path));
        QString error;
        std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(path, &error);
        QVERIFY2(document, qPrintable(error));
        const uint32_t first = AddLink(document.get(), {0, CCA_GRect(1, 1, 9, 9), false, true, 0.35277778f, {}, 0, 255, CCA_Matrix(), new G_ActionURI})->ID();
        QVERIFY2(OFD_PackageWriter::Save(document.get(), path, &error), qPrintable(error));
        // The second page is read only now, from the package as saved.
        QVERIFY(document->Page(1)->Parse());
        QCOMPARE(document->Page(1)->PageObjectCount(), 144);
        const uint32_t second = AddLink(document.get(), {1, CCA_GRect(2, 2, 8, 8), true, true, 0.35277778f, {}, 0, 255, CCA_Matrix(), new G_ActionURI})->ID();
        QVERIFY2(OFD_PackageWriter::Save(document.get(), path, &error), qPrintable(error));
        // Nothing changed since: the file stays as it is.
        const QByteArray saved = ReadFile(path);
        QVERIFY2(OFD_PackageWriter::Save(document.get(), path, &error), qPrintable(error));
        QCOMPARE(ReadFile(path), saved);

        std::unique_ptr<OFD_Document> reopened = OFD_PackageReader::Open(path, &error);
        QVERIFY2(reopened, qPrintable(error));
        QVERIFY(reopened->GetPage(0)->LoadAnnots());
        QVERIFY(reopened->GetPage(1)->LoadAnnots());
        QCOMPARE(reopened->GetPage(0)->AnnotCount(), 2);
        QVERIFY(reopened->GetPage(0)->AnnotByID(first));
        QCOMPARE(reopened->GetPage(0)->AnnotAt(0)->Type(), int(G_AnnotType_Stamp));
        QCOMPARE(reopened->GetPage(1)->AnnotCount(), 1);
        QVERIFY(reopened->GetPage(1)->AnnotByID(second));
    }

    void quirkyPackageOpensAndSaves()
    {
        const QByteArray bom("\xef\xbb\xbf");
        const QByteArray ofd = bom
            + "<?xml version=\"1.0\" encoding=\"UTF-8\"?><ofd:OFD xmlns:ofd=\"http://www.ofdspec.org\" Version=\"1.2\" DocType=\"OFD-A\">"
              "<ofd:DocBody><ofd:DocInfo><ofd:DocID>q</ofd:DocID></ofd:DocInfo><ofd:DocRoot>/DOC_0/Document.xml</ofd:DocRoot>"
              "<ofd:Signatures>Doc_0/Signs/Signatures.xml</ofd:Signatures></ofd:DocBody></ofd:OFD>";
        // Pages before CommonData, MaxUnitID last and far too low, unqualified boxes.
        const QByteArray doc =
            "<ofd:Document xmlns:ofd=\"http://www.ofdspec.org\"><ofd:Pages>"
            "<ofd:Page ID=\"1\" BaseLoc=\"Pages/Page_0/Content.xml\"/><ofd:Page ID=\"2\" BaseLoc=\"/Doc_0/Pages/Page_1/Content.xml\"/>"
            "</ofd:Pages><ofd:Attachments>Attachments.xml</ofd:Attachments><ofd:Annotations>/Doc_0/Annots/Annotations.xml</ofd:Annotations>"
            "<ofd:CommonData><ofd:PageArea><PhysicalBox>0 0 100 200</PhysicalBox></ofd:PageArea><ofd:PublicRes>PublicRes.xml</ofd:PublicRes>"
            "<ofd:TemplatePage ID=\"3\" BaseLoc=\"Tpls/T.xml\"/><ofd:MaxUnitID>5</ofd:MaxUnitID></ofd:CommonData></ofd:Document>";
        const QByteArray page0 = "<ofd:Page xmlns:ofd=\"http://www.ofdspec.org\"><ofd:Content><ofd:Layer ID=\"10\">"
                                 "<ofd:PathObject ID=\"11\" Boundary=\"0 0 10 10\"><ofd:AbbreviatedData>M 0 0 L 10 10</ofd:AbbreviatedData></ofd:PathObject>"
                                 "</ofd:Layer></ofd:Content></ofd:Page>";
        // Painted bottom to top: the page's background layer, the template's body, the page's body.
        const QByteArray page1 = "<ofd:Page xmlns:ofd=\"http://www.ofdspec.org\"><ofd:Template TemplateID=\"3\"/><ofd:Content>"
                                 "<ofd:Layer ID=\"20\"><ofd:PathObject ID=\"21\" Boundary=\"0 0 1 1\"><ofd:AbbreviatedData>M 0 0</ofd:AbbreviatedData></ofd:PathObject></ofd:Layer>"
                                 "<ofd:Layer ID=\"22\" Type=\"Background\"><ofd:PathObject ID=\"23\" Boundary=\"0 0 1 1\"><ofd:AbbreviatedData>M 0 0</ofd:AbbreviatedData></ofd:PathObject></ofd:Layer>"
                                 "</ofd:Content></ofd:Page>";
        const QByteArray tpl = "<ofd:Page xmlns:ofd=\"http://www.ofdspec.org\"><ofd:Area><ofd:PhysicalBox>0 0 150 150</ofd:PhysicalBox></ofd:Area>"
                               "<ofd:Content><ofd:Layer ID=\"24\"><ofd:PathObject ID=\"25\" Boundary=\"0 0 1 1\"><ofd:AbbreviatedData>M 0 0</ofd:AbbreviatedData></ofd:PathObject></ofd:Layer></ofd:Content></ofd:Page>";
        const QByteArray index = "<ofd:Annotations xmlns:ofd=\"http://www.ofdspec.org\">"
                                 "<ofd:Page PageID=\"1\"><ofd:FileLoc>Page_0/Annotation.xml</ofd:FileLoc></ofd:Page>"
                                 "<ofd:Page PageID=\"999\"><ofd:FileLoc>Page_9/Annotation.xml</ofd:FileLoc></ofd:Page>"
                                 "<ofd:Page PageID=\"2\"><ofd:FileLoc>Missing/Annotation.xml</ofd:FileLoc></ofd:Page></ofd:Annotations>";
        const QByteArray annots =
            "<ofd:PageAnnot xmlns:ofd=\"http://www.ofdspec.org\"><ofd:Annot Type=\"Link\" ID=\"40\" LastModDate=\"2022-11-16-19-20-58\">"
            "<Parameters><Parameter Name=\"k\">v</Parameter></Parameters><ofd:Appearance Boundary=\"5 6 20 10\">"
            "<ofd:PathObject ID=\"41\" Boundary=\"0 0 20 10\" LineWidth=\"wide\"><ofd:Actions><ofd:Action Event=\"CLICK\"><ofd:Goto>"
            "<ofd:Dest Type=\"FitH\" PageID=\"2\"><ofd:Top>33.5</ofd:Top></ofd:Dest></ofd:Goto></ofd:Action>"
            "<ofd:Action Event=\"CLICK\"><ofd:URI URI=\"https://example.org\"/></ofd:Action></ofd:Actions>"
            "<ofd:StrokeColor Value=\"#ee #20 #25\" Alpha=\"128\"/><ofd:AbbreviatedData>S 0 0 L 20 0 L 20 10 L 0 10 C</ofd:AbbreviatedData>"
            "</ofd:PathObject></ofd:Appearance></ofd:Annot></ofd:PageAnnot>";
        const QByteArray attachments = "<ofd:Attachments xmlns:ofd=\"http://www.ofdspec.org\"><ofd:Attachment ID=\"7\" Name=\"notes.txt\" "
                                       "Visible=\"false\" CreationDate=\"2022-10-31 14:16:35\"><ofd:FileLoc>/Doc_0/Attachs/\xe7\xac\x94\xe8\xae\xb0.txt</ofd:FileLoc>"
                                       "</ofd:Attachment></ofd:Attachments>";
        const QByteArray res = "<ofd:Res xmlns:ofd=\"http://www.ofdspec.org\" BaseLoc=\"Res\"><ofd:MultiMedias><ofd:MultiMedia ID=\"8\" "
                               "Type=\"Audio\" Format=\"WAV\"><ofd:MediaFile>a.wav</ofd:MediaFile></ofd:MultiMedia></ofd:MultiMedias></ofd:Res>";
        QTemporaryDir dir;
        const QString source = WritePackage(dir, {{QStringLiteral("OFD.xml"), ofd},
                                  {QStringLiteral("Doc_0/Document.xml"), doc},
                                  {QStringLiteral("Doc_0/Pages/Page_0/Content.xml"), page0},
                                  {QStringLiteral("Doc_0/Pages/Page_1/Content.xml"), page1},
                                  {QStringLiteral("Doc_0/Tpls/T.xml"), tpl},
                                  {QStringLiteral("Doc_0/Annots/Annotations.xml"), index},
                                  {QStringLiteral("Doc_0/Annots/Page_0/Annotation.xml"), annots},
                                  {QStringLiteral("Doc_0/Attachments.xml"), attachments},
                                  {QString::fromUtf8("Doc_0/Attachs/\xe7\xac\x94\xe8\xae\xb0.txt"), "notes"},
                                  {QStringLiteral("Doc_0/PublicRes.xml"), res},
                                  {QStringLiteral("Doc_0/Res/a.wav"), "RIFF"}});

        QString error;
        std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(source, &error);
        QVERIFY2(document, qPrintable(error));
        QVERIFY(document->IsSigned());
        QCOMPARE(document->PageCount(), 2);
        QCOMPARE(document->Page(0)->PageBox(), CCA_GRect(0, 0, 100, 200));
        QCOMPARE(document->Page(1)->PageBox(), CCA_GRect(0, 0, 150, 150));
        QVERIFY(document->Page(0)->Parse());
        QCOMPARE(document->Page(0)->PageObjectCount(), 1);
        QVERIFY(document->Page(1)->Parse());
        QCOMPARE(document->Page(1)->PageObjectCount(), 3);
        QCOMPARE(document->Page(1)->PageObjectAt(0)->ID(), 23u);
        QCOMPARE(document->Page(1)->PageObjectAt(1)->ID(), 25u);
        QCOMPARE(document->Page(1)->PageObjectAt(2)->ID(), 21u);

        IG_Page *first = document->GetPage(0);
        QVERIFY(first->LoadAnnots());
        QCOMPARE(first->AnnotCount(), 1);
        const IG_Annot *link = first->AnnotAt(0);
        QCOMPARE(link->ID(), 40u);
        QCOMPARE(QString::fromUtf8(link->LastModDate().c_str()), QStringLiteral("2022-11-16-19-20-58"));
        QVERIFY(link->IsReadOnly());
        QCOMPARE(link->Parameters().size(), size_t(1));
        QCOMPARE(link->Boundary(), CCA_GRect(5, 6, 25, 16));
        const IG_PageObject *path = link->Appearance()->PageObject(0);
        QCOMPARE(path->LineWidth(), 0.353f);
        QCOMPARE(path->StrokeColor()->Value(), 0xee | 0x20u << 8 | 0x25u << 16);
        QCOMPARE(int(path->StrokeColor()->Alpha()), 128);
        QVERIFY(path->Path().IsRect());
        QCOMPARE(path->Actions().GetSize(), 2);
        G_ActionGoto fitH;
        fitH.SetDest({1, 2, 0, 0, 33.5f, 0, 0, G_Dest_FitH});
        QVERIFY(*path->Actions()[0] == fitH);
        G_ActionURI uri;
        uri.SetURI(CCA_String("https://example.org"));
        QVERIFY(*path->Actions()[1] == uri);

        QCOMPARE(document->AttachmentCount(), 1);
        G_AttachmentInfo info;
        QVERIFY(document->AttachmentInfo(0, info));
        QCOMPARE(info.id, 7u);
        QVERIFY(!info.listed);
        QCOMPARE(document->AttachmentData(0), QByteArray("notes"));
        G_MultiMediaInfo media;
        QVERIFY(document->MultiMediaInfo(8, media));
        QCOMPARE(media.type, int(G_MultiMedia_Audio));
        QCOMPARE(QString::fromUtf8(media.filePath.c_str()), QStringLiteral("Doc_0/Res/a.wav"));
        QCOMPARE(document->MultiMediaData(8), QByteArray("RIFF"));

        // The highest ID of the package is 41, whatever MaxUnitID says.
        QVERIFY(document->NewID() > 41);
        // The second page's part is listed but missing: it has no annotations, and gets the new link.
        QVERIFY(!document->GetPage(1)->LoadAnnots());
        QCOMPARE(document->GetPage(1)->AnnotCount(), 0);
        const IG_Annot *added = AddLink(document.get(), {1, CCA_GRect(1, 2, 3, 4), false, true, 0.35277778f, {}, 0, 255, CCA_Matrix(), new G_ActionURI});
        const QStringList expected = DescribeLink(added);
        const QString target = dir.filePath(QStringLiteral("saved.ofd"));
        std::unique_ptr<OFD_Document> reopened = SaveAndReopen(document.get(), target, &error);
        QVERIFY2(reopened, qPrintable(error));

        const QMap<QString, QByteArray> saved = ZipEntries(target);
        QVERIFY(saved.contains(QStringLiteral("Doc_0/Annots/Missing/Annotation.xml")));
        // The page part of the first page did not change and is kept as it was.
        QCOMPARE(saved.value(QStringLiteral("Doc_0/Annots/Page_0/Annotation.xml")), annots);
        if (m_haveXmllint) {
            for (const QString &part : {QStringLiteral("Doc_0/Document.xml"), QStringLiteral("Doc_0/Annots/Missing/Annotation.xml")}) {
                const QStringList errors = SchemaErrors(saved.value(part), SchemaFor(RootName(saved.value(part))));
                QVERIFY2(errors.isEmpty(), qPrintable(part + QLatin1String(": ") + errors.join(QLatin1Char('\n'))));
            }
        }
        QVERIFY(reopened->GetPage(1)->LoadAnnots());
        QCOMPARE(reopened->GetPage(1)->AnnotCount(), 1);
        QCOMPARE(DescribeLink(reopened->GetPage(1)->AnnotAt(0)), expected);
        QVERIFY(reopened->GetPage(0)->LoadAnnots());
        QCOMPARE(QString::fromUtf8(reopened->GetPage(0)->AnnotAt(0)->LastModDate().c_str()), QStringLiteral("2022-11-16-19-20-58"));
    }

    // A change anywhere in a loaded link is saved; the unchanged link beside it is written
    // back as the file had it, foreign attribute and all.
    void editsOfALoadedLinkAreSaved_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("expected");
        QTest::newRow("annotation") << "hide" << "readonly 1 visible 0";
        QTest::newRow("appearance object") << "width" << "visible 1 width 2 dashes ";
        QTest::newRow("object removed") << "remove" << "no path object";
    }

    void editsOfALoadedLinkAreSaved()
    {
        QFETCH(QString, edit);
        QFETCH(QString, expected);
        const QByteArray link = "<ofd:Appearance Boundary=\"5 6 20 10\"><ofd:PathObject ID=\"%1\" Boundary=\"0 0 20 10\">"
                                "<ofd:AbbreviatedData>M 0 0 L 20 0</ofd:AbbreviatedData></ofd:PathObject></ofd:Appearance>";
        const QByteArray annots = "<ofd:PageAnnot " + kNs + " xmlns:x=\"urn:x\">"
                                  "<ofd:Annot Type=\"Link\" ID=\"3\" x:Note=\"kept\">" + QByteArray(link).replace("%1", "4") + "</ofd:Annot>"
                                  "<ofd:Annot Type=\"Link\" ID=\"5\">" + QByteArray(link).replace("%1", "6") + "</ofd:Annot></ofd:PageAnnot>";
        QTemporaryDir dir;
        const QString source = WritePackage(dir, WithAnnots(Package(), annots));
        QString error;
        std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(source, &error);
        QVERIFY2(document, qPrintable(error));
        // MaxUnitID is too low, and the part with the highest ID is not read yet.
        QVERIFY(document->NewID() > 6);
        QVERIFY(document->Page(0)->LoadAnnots());
        IG_Annot *second = document->Page(0)->AnnotByID(5);
        QVERIFY(second);
        if (edit == QLatin1String("hide"))
            second->SetVisible(false);
        else if (edit == QLatin1String("width"))
            second->Appearance()->PageObject(0)->SetLineWidth(2);
        else
            QVERIFY(second->Appearance()->RemovePageObject(0));
        const QString target = dir.filePath(QStringLiteral("saved.ofd"));
        std::unique_ptr<OFD_Document> reopened = SaveAndReopen(document.get(), target, &error);
        QVERIFY2(reopened, qPrintable(error));
        QVERIFY(ZipEntries(target).value(QStringLiteral("Doc_0/Page_0/Annotation.xml")).contains("Note=\"kept\""));
        QVERIFY(reopened->GetPage(0)->LoadAnnots());
        QCOMPARE(reopened->GetPage(0)->AnnotCount(), 2);
        const QString described = DescribeLink(reopened->GetPage(0)->AnnotByID(5)).join(QLatin1Char('\n'));
        QVERIFY2(described.contains(expected), qPrintable(described));
    }

    void sampleDocumentIsComplete()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("sample.ofd"));
        QString error;
        QVERIFY2(OFD_SampleDocument::Write(target, &error), qPrintable(error));
        std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(target, &error);
        QVERIFY2(document, qPrintable(error));
        // What the link actions of the sample open and play.
        QCOMPARE(document->AttachmentCount(), 2);
        QCOMPARE(document->AttachmentData(1).left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
        QCOMPARE(document->MultiMediaCount(), 2);
        G_MultiMediaInfo video;
        QVERIFY(document->MultiMediaInfo(document->MultiMediaIDByIndex(1), video));
        QCOMPARE(video.type, int(G_MultiMedia_Video));
        QCOMPARE(document->MultiMediaData(document->MultiMediaIDByIndex(0)).left(4), QByteArray("RIFF"));
        QVERIFY(document->GetPage(0)->LoadAnnots());
        QCOMPARE(document->GetPage(0)->AnnotCount(), 1);
        const IG_PageObject *path = document->GetPage(0)->AnnotAt(0)->Appearance()->PageObject(0);
        G_ActionGoto fit;
        fit.SetDest({1, document->GetPageID(1), 0, 0, 0, 0, 0, G_Dest_Fit});
        QVERIFY(*path->Actions()[0] == fit);

        if (!m_haveXmllint)
            QSKIP("xmllint or the schemas not available: the parts were not validated");
        const QMap<QString, QByteArray> entries = ZipEntries(target);
        for (auto it = entries.constBegin(); it != entries.constEnd(); ++it) {
            if (!it.key().endsWith(QLatin1String(".xml")))
                continue;
            const QStringList errors = SchemaErrors(it.value(), SchemaFor(RootName(it.value())));
            QVERIFY2(errors.isEmpty(), qPrintable(it.key() + QLatin1String(": ") + errors.join(QLatin1Char('\n'))));
        }
    }

    void savedPackageIsAValidZip_data()
    {
        QTest::addColumn<QByteArray>("source");
        Entries entries = Package();
        entries.append({QStringLiteral("Doc_0/Res/a.bin"), QByteArray(3000, 'a')});
        entries.append({QStringLiteral("Doc_0/Res/b.bin"), QByteArray("b")});
        QTest::newRow("data descriptors") << StoredZip(entries, true);
        // The first entry's local header says other than the directory does.
        const QByteArray plain = StoredZip(entries, false);
        QTest::newRow("local crc differs") << QByteArray(plain).replace(14, 1, "\x5a");
        QTest::newRow("local method differs") << QByteArray(plain).replace(8, 1, "\x08");
        QTest::newRow("local name differs") << QByteArray(plain).replace(30, 1, "o");
        // More entries than the end record can count.
        QTemporaryDir dir;
        const QString many = dir.filePath(QStringLiteral("many.ofd"));
        OFD_ZipWriter zip;
        bool ok = zip.Begin(many, nullptr);
        for (const auto &entry : entries)
            ok = ok && zip.AddFile(entry.first, entry.second, QDateTime(), nullptr);
        for (int i = 0; i < 65600; ++i)
            ok = ok && zip.AddFile(QStringLiteral("Doc_0/Res/%1").arg(i), QByteArray::number(i), QDateTime(), nullptr);
        QVERIFY(ok && zip.Commit(nullptr));
        QTest::newRow("65,605 entries") << ReadFile(many);
    }

    void savedPackageIsAValidZip()
    {
        QFETCH(QByteArray, source);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("source.ofd"));
        const QString target = dir.filePath(QStringLiteral("saved.ofd"));
        QVERIFY(WriteFile(path, source));
        QString error;
        std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(path, &error);
        QVERIFY2(document, qPrintable(error));
        const uint32_t id = AddBareLink(document.get(), 0, CCA_GRect(1, 1, 9, 9))->ID();
        std::unique_ptr<OFD_Document> reopened = SaveAndReopen(document.get(), target, &error);
        QVERIFY2(reopened, qPrintable(error));
        QVERIFY(reopened->GetPage(0)->LoadAnnots());
        QVERIFY(reopened->GetPage(0)->AnnotByID(id));

        // Local headers agree with the directory, and every entry reads as it did.
        int code = 0;
        zip *checked = zip_open(QFile::encodeName(target).constData(), ZIP_CHECKCONS | ZIP_RDONLY, &code);
        QVERIFY2(checked, qPrintable(QString::number(code)));
        const zip_int64_t count = zip_get_num_entries(checked, 0);
        zip_discard(checked);
        OFD_ZipArchive before;
        OFD_ZipArchive after;
        QVERIFY(before.Open(path, &error) && after.Open(target, &error));
        QCOMPARE(count, zip_int64_t(before.EntryNames().size() + 2));
        for (const QString &name : before.EntryNames()) {
            QByteArray old;
            QByteArray now;
            QVERIFY2(before.ReadEntry(name, old, &error) && after.ReadEntry(name, now, &error), qPrintable(error));
            QVERIFY2(now == old || name == QLatin1String("Doc_0/Document.xml"), qPrintable(name));
        }
        if (!QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty())
            QCOMPARE(QProcess::execute(QStringLiteral("unzip"), {QStringLiteral("-tqq"), target}), 0);
    }

    // Document.xml edited as text: only where the edit is beyond doubt, else left to a rewrite.
    void documentTextEdits_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("index");
        QTest::addColumn<QByteArray>("expected"); // empty: refused
        const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ofd:Document xmlns:ofd=\"u\">\n <ofd:CommonData>\n  ";
        QTest::newRow("indented, escaped location") << head + "<ofd:MaxUnitID>7</ofd:MaxUnitID>\n </ofd:CommonData>\n</ofd:Document>\n"
                                                     << QStringLiteral("A&<B>.xml")
                                                     << head + "<ofd:MaxUnitID>12</ofd:MaxUnitID>\n </ofd:CommonData>\n"
                                                               " <ofd:Annotations>A&amp;&lt;B&gt;.xml</ofd:Annotations>\n</ofd:Document>\n";
        QTest::newRow("no prefix, one line") << QByteArray("<Document><CommonData><MaxUnitID>9</MaxUnitID></CommonData></Document >")
                                             << QStringLiteral("I.xml")
                                             << QByteArray("<Document><CommonData><MaxUnitID>12</MaxUnitID></CommonData>"
                                                           "<Annotations>I.xml</Annotations></Document >");
        QTest::newRow("number only") << QByteArray("<a:Document><a:MaxUnitID>100</a:MaxUnitID></a:Document>") << QString()
                                     << QByteArray("<a:Document><a:MaxUnitID>12</a:MaxUnitID></a:Document>");
        QTest::newRow("name also in a comment") << QByteArray("<Document><!-- MaxUnitID --><MaxUnitID>9</MaxUnitID></Document>")
                                                << QString() << QByteArray();
        QTest::newRow("number with spaces") << QByteArray("<Document><MaxUnitID> 9</MaxUnitID></Document>") << QString() << QByteArray();
        QTest::newRow("empty element") << QByteArray("<Document><MaxUnitID/><x>MaxUnitID</x></Document>") << QString() << QByteArray();
        QTest::newRow("other encoding") << QByteArray("<?xml version='1.0' encoding='GB18030'?><Document><MaxUnitID>9</MaxUnitID></Document>")
                                        << QString() << QByteArray();
        QTest::newRow("comment after the root") << QByteArray("<Document><MaxUnitID>9</MaxUnitID></Document><!-- </Document> -->")
                                                << QStringLiteral("I.xml") << QByteArray();
        QTest::newRow("root of another name") << QByteArray("<Doc><MaxUnitID>9</MaxUnitID></Doc>") << QStringLiteral("I.xml") << QByteArray();
    }

    void documentTextEdits()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, index);
        QFETCH(QByteArray, expected);
        const bool done = OFD_DocumentPatch::SetMaxUnitID(text, 12) && (index.isEmpty() || OFD_DocumentPatch::AppendAnnotations(text, index));
        QCOMPARE(done, !expected.isEmpty());
        if (done)
            QCOMPARE(text, expected);
    }

    void unchangedSaveOntoAnotherFileSystem()
    {
        // The kernel may refuse to copy from one file system to another: the copy is made through
        // memory then, and is the same file all the same.
        QTemporaryDir other(QStringLiteral("/dev/shm/annotlink-XXXXXX"));
        if (!other.isValid())
            QSKIP("no /dev/shm to save onto");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("source.ofd"));
        QVERIFY(WriteFile(path, StoredZip(Package(), false)));
        QString error;
        std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(path, &error);
        QVERIFY2(document, qPrintable(error));
        const QString target = other.filePath(QStringLiteral("copy.ofd"));
        QVERIFY2(OFD_PackageWriter::Save(document.get(), target, &error), qPrintable(error));
        QCOMPARE(ReadFile(target), ReadFile(path));
    }

    void packageReadFromDiskIsCopiedFromItsFile()
    {
        // A package too large to hold in memory is read where needed: its entries are copied from
        // the file it was opened as, headers and all, even after another file took its name.
        Entries entries = Package();
        entries.append({QStringLiteral("Doc_0/Res/blob.bin"), QByteArray("abcdefghijklmnopqrstuvw").repeated(4348)});
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("source.ofd"));
        const QByteArray source = StoredZip(entries, false);
        QVERIFY(WriteFile(path, source));
        OFD_ArchiveLimits limits;
        limits.inMemorySize = 0;
        OFD_ZipArchive archive(limits);
        QString error;
        QVERIFY2(archive.Open(path, &error), qPrintable(error));
        QVERIFY(QFile::remove(path) && WriteFile(path, "another file"));
        const QString target = dir.filePath(QStringLiteral("target.ofd"));
        OFD_ZipWriter zip;
        bool ok = zip.Begin(target, &error);
        for (const QString &name : archive.EntryNames())
            ok = ok && zip.AddCopy(archive, name, &error);
        QVERIFY2(ok && zip.AddFile(QStringLiteral("Doc_0/new.txt"), "new", QDateTime(), &error) && zip.Commit(&error),
                 qPrintable(error));
        QVERIFY(ReadFile(target).startsWith(source.left(source.indexOf("PK\x01\x02"))));
        QMap<QString, QByteArray> expected{{QStringLiteral("Doc_0/new.txt"), "new"}};
        for (const auto &entry : entries)
            expected.insert(entry.first, entry.second);
        QCOMPARE(ZipEntries(target), expected);
    }

    void entriesWrittenOverKeepTheirPlace()
    {
        QTemporaryDir dir;
        OFD_ZipArchive archive;
        QString error;
        QVERIFY2(archive.Open(WritePackage(dir, Package()), &error), qPrintable(error));
        archive.Overlay({{QStringLiteral("doc_0/pages/page_0/content.xml"), "p"}, {QStringLiteral("new.xml"), "n"}},
                        {QStringLiteral("OFD.xml")});
        const QStringList expected{QStringLiteral("Doc_0/Document.xml"), QStringLiteral("Doc_0/Pages/Page_0/Content.xml"),
                                   QStringLiteral("new.xml")};
        QCOMPARE(archive.EntryNames(), expected);
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(archive.EntryPlace(expected.at(i).toUpper()), i);
        QCOMPARE(archive.EntryPlace(QStringLiteral("OFD.xml")), -1);
    }

    void indexAddedAsTextSurvivesTheNextSave()
    {
        // The first save adds the index reference to Document.xml by a text edit; the second must
        // find it there, neither adding it again nor rewriting the part.
        QTemporaryDir dir;
        const QString path = WritePackage(dir, Package());
        QString error;
        std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(path, &error);
        QVERIFY2(document, qPrintable(error));
        AddBareLink(document.get(), 0, CCA_GRect(1, 1, 9, 9));
        QVERIFY2(OFD_PackageWriter::Save(document.get(), path, &error), qPrintable(error));
        const uint32_t last = AddBareLink(document.get(), 0, CCA_GRect(2, 2, 8, 8))->ID();
        QVERIFY2(OFD_PackageWriter::Save(document.get(), path, &error), qPrintable(error));
        const QByteArray expected = QByteArray(kDocument)
                                        .replace("<ofd:MaxUnitID>2<", "<ofd:MaxUnitID>" + QByteArray::number(last) + "<")
                                        .replace("</ofd:Document>", "<ofd:Annotations>Annots/Annotations.xml</ofd:Annotations></ofd:Document>");
        QCOMPARE(ZipEntries(path).value(QStringLiteral("Doc_0/Document.xml")), expected);
    }

    void unchangedSaveWritesWhatWasRead()
    {
        // The file was replaced behind the document's back: a save writes what the document
        // read, not what the name holds now.
        QTemporaryDir dir;
        const QString path = WritePackage(dir, Package());
        QString error;
        std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(path, &error);
        QVERIFY2(document, qPrintable(error));
        Entries other = Package();
        other.append({QStringLiteral("Doc_0/other.txt"), QByteArray("other")});
        QVERIFY(WriteFile(path, ZipBytes(other)));
        const QString target = dir.filePath(QStringLiteral("saved.ofd"));
        QVERIFY2(OFD_PackageWriter::Save(document.get(), target, &error), qPrintable(error));
        QMap<QString, QByteArray> expected;
        for (const auto &entry : Package())
            expected.insert(entry.first, entry.second);
        QCOMPARE(ZipEntries(target), expected);
    }

    void damagedEntryIsCopiedAsItIs()
    {
        // A package whose one binary entry is damaged: it opens (the entry is not needed), and a
        // save with new links copies the entry as it is stored instead of failing on it.
        QByteArray blob;
        for (int i = 0; i < 200000; ++i)
            blob.append(char((i * 7) % 13));
        QTemporaryDir dir;
        Entries entries = Package();
        entries.append({QStringLiteral("Doc_0/Res/blob.bin"), blob});
        const QString source = WritePackage(dir, entries, QStringLiteral("damaged.ofd"));
        QByteArray bytes = ReadFile(source);
        const int damage = bytes.indexOf("Res/blob.bin") + 60;
        bytes.replace(damage, 16, QByteArray(16, '\xff'));
        QVERIFY(WriteFile(source, bytes));
        const QString target = dir.filePath(QStringLiteral("target.ofd"));
        QVERIFY(WriteFile(target, "previous contents"));

        QString error;
        std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(source, &error);
        QVERIFY2(document, qPrintable(error));
        const uint32_t id = AddBareLink(document.get(), 0, CCA_GRect(1, 1, 9, 9))->ID();
        // A target whose folder is a file cannot be written, and nothing changes.
        QVERIFY(!OFD_PackageWriter::Save(document.get(), dir.filePath(QStringLiteral("target.ofd/inside.ofd")), &error));
        QVERIFY2(!error.isEmpty() && !error.contains(QLatin1String("Unknown error")), qPrintable(error));
        QCOMPARE(ReadFile(target), QByteArray("previous contents"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
        QVERIFY(document->IsModified());

        std::unique_ptr<OFD_Document> reopened = SaveAndReopen(document.get(), target, &error);
        QVERIFY2(reopened, qPrintable(error));
        QVERIFY(ReadFile(target).contains(bytes.mid(damage - 8, 40)));
        QVERIFY(reopened->GetPage(0)->LoadAnnots());
        QVERIFY(reopened->GetPage(0)->AnnotByID(id));
        QByteArray data;
        QVERIFY(!OFD_PackageReader::Of(reopened.get())->Archive()->ReadEntry(QStringLiteral("Doc_0/Res/blob.bin"), data, &error));
        QVERIFY2(error.contains(QLatin1String("Res/blob.bin")), qPrintable(error));
    }

private:
    bool m_haveXmllint = false;
};

QTEST_GUILESS_MAIN(tst_OfdPackage)
#include "tst_ofdpackage.moc"

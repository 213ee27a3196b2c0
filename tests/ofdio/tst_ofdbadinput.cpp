#include "omofdapi/ofd_document.h"
#include "omofdapi/ofd_packagereader.h"
#include "omofdapi/ofd_packagewriter.h"
#include "omofdapi/ig_textobject.h"
#include "omofdapi/ig_color.h"
#include "omofdapi/ofd_page.h"
#include "omofdapi/ofd_xmlelement.h"
#include "omofdapi/ofd_xmlparser.h"

#include "uiframework/g_pagerenderer.h"

#include "packagefixture.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray Nested(int depth)
{
    return "<ofd:Document xmlns:ofd=\"http://www.ofdspec.org/2016\">" + QByteArray("<a>").repeated(depth)
        + QByteArray("</a>").repeated(depth) + "</ofd:Document>";
}

QByteArray Laughs()
{
    QByteArray dtd = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">";
    QByteArray previous = "lol";
    for (int i = 1; i < 10; ++i) {
        const QByteArray name = "lol" + QByteArray::number(i);
        dtd += "<!ENTITY " + name + " \"" + ("&" + previous + ";").repeated(10) + "\">";
        previous = name;
    }
    return dtd + "]><ofd:Document xmlns:ofd=\"http://www.ofdspec.org/2016\"><x>&" + previous + ";</x></ofd:Document>";
}

// Writes down what a parser hands on (runs of text joined, as pieces may split differently),
// and stops or fails the parse at the `endAt`-th element: "stop" or "fail".
class Recorder : public OFD_XmlParser::Handler
{
public:
    Recorder(int endAt, bool fail) : m_endAt(endAt), m_fail(fail) {}
    QByteArray log;

    void StartElement(OFD_XmlParser &parser, const char *name, const char **attributes) override
    {
        log += QByteArray("<") + name;
        for (; *attributes; attributes += 2)
            log += QByteArray(" ") + attributes[0] + "=[" + attributes[1] + "]";
        log += ">";
        m_text = false;
        if (++m_elements == m_endAt) {
            if (m_fail)
                parser.Fail(parser.Malformed(QStringLiteral("stop here")));
            else
                parser.Stop();
        }
    }
    void EndElement(OFD_XmlParser &) override
    {
        log += "</>";
        m_text = false;
    }
    void Text(OFD_XmlParser &, const char *text, int length) override
    {
        log += (m_text ? QByteArray() : QByteArray("'")) + QByteArray(text, length);
        m_text = true;
    }
    void Break(OFD_XmlParser &, bool cdata) override
    {
        log += cdata ? "|]" : "|";
        m_text = false;
    }

private:
    int m_endAt;
    bool m_fail;
    int m_elements = 0;
    bool m_text = false;
};

// "{namespace}name[attributes]'text'(children)", attributes as {namespace}name=value.
QString Outline(const OFD_XmlElement &element)
{
    QString text = QStringLiteral("{%1}%2").arg(element.NamespaceUri(), element.Name());
    for (int i = 0; i < element.AttributeCount(); ++i)
        text += QStringLiteral("[{%1}%2=%3]").arg(element.AttributeNamespaceUri(i), element.AttributeName(i),
                                                  element.AttributeValue(i));
    if (!element.Text().isEmpty())
        text += QLatin1Char('\'') + element.Text() + QLatin1Char('\'');
    QStringList children;
    for (int i = 0; i < element.ChildCount(); ++i)
        children.append(Outline(*element.ChildAt(i)));
    if (!children.isEmpty())
        text += QLatin1Char('(') + children.join(QLatin1Char(',')) + QLatin1Char(')');
    return text;
}

// Bytes that do not deflate, so that a package holding them takes a while to write.
QByteArray Noise(int size)
{
    QRandomGenerator generator(42);
    QByteArray bytes(size, Qt::Uninitialized);
    generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

quint32 Crc32(const QByteArray &bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A valid one-pixel PNG whose header claims `width` x `height`.
QByteArray PngClaiming(quint32 width, quint32 height)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImage(1, 1, QImage::Format_RGB32).save(&buffer, "PNG");
    QByteArray png = buffer.data();
    auto put = [&png](int at, quint32 value) {
        for (int i = 0; i < 4; ++i)
            png[at + i] = char(value >> (24 - 8 * i));
    };
    put(16, width);
    put(20, height);
    put(29, Crc32(png.mid(12, 17)));
    return png;
}

// A document whose pages are `pages` copies of one content part, with images as resources.
Entries HostilePackage(const QByteArray &page, int pages = 1, const QList<QByteArray> &images = {})
{
    QByteArray list;
    for (int i = 0; i < pages; ++i)
        list += "<ofd:Page ID=\"" + QByteArray::number(i + 100) + "\" BaseLoc=\"Pages/Page_0/Content.xml\"/>";
    const QByteArray document = "<ofd:Document " + kNs + "><ofd:CommonData><ofd:MaxUnitID>2</ofd:MaxUnitID>"
        "<ofd:PageArea><ofd:PhysicalBox>0 0 210 297</ofd:PhysicalBox></ofd:PageArea>"
        "<ofd:DocumentRes>Res.xml</ofd:DocumentRes></ofd:CommonData><ofd:Pages>" + list + "</ofd:Pages></ofd:Document>";
    QByteArray media;
    Entries entries = Package(kOfd, document);
    entries[2].second = page;
    for (int i = 0; i < images.size(); ++i) {
        media += "<ofd:MultiMedia ID=\"" + QByteArray::number(i + 10) + "\" Type=\"Image\"><ofd:MediaFile>i"
            + QByteArray::number(i) + ".png</ofd:MediaFile></ofd:MultiMedia>";
        entries.append({QStringLiteral("Doc_0/i%1.png").arg(i), images.at(i)});
    }
    entries.append({QStringLiteral("Doc_0/Res.xml"), "<ofd:Res " + kNs + "><ofd:MultiMedias>" + media + "</ofd:MultiMedias></ofd:Res>"});
    return entries;
}

} // namespace

Q_DECLARE_METATYPE(Entries)
Q_DECLARE_METATYPE(OFD_ArchiveLimits)

class tst_OfdBadInput : public QObject
{
    Q_OBJECT

private slots:
    void refused_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<OFD_ArchiveLimits>("limits");
        QTest::addColumn<QString>("reason");

        const OFD_ArchiveLimits defaults;
        const QByteArray valid = ZipBytes(Package());
        const QByteArray ns = "<ofd:Document xmlns:ofd=\"http://www.ofdspec.org/2016\">";
        QTest::newRow("not a zip") << QByteArray("this is not a zip file at all") << defaults << "not a readable zip";
        QTest::newRow("empty file") << QByteArray() << defaults << "not a readable zip";
        QTest::newRow("truncated zip") << valid.left(valid.size() / 2) << defaults << "";
        QTest::newRow("no OFD.xml") << ZipBytes({{QStringLiteral("Doc_0/Document.xml"), kDocument}}) << defaults << "no OFD.xml";
        QTest::newRow("OFD.xml not well formed") << ZipBytes(Package("<ofd:OFD xmlns:ofd=\"x\"><ofd:DocBody>")) << defaults << "not well formed";
        QTest::newRow("OFD.xml of another kind") << ZipBytes(Package("<html/>")) << defaults << "names no document";
        QTest::newRow("Document.xml missing") << ZipBytes({{QStringLiteral("OFD.xml"), kOfd}}) << defaults << "is missing";
        QByteArray escaping = kOfd;
        escaping.replace("Doc_0/Document.xml", "../../Doc_0/Document.xml");
        QTest::newRow("DocRoot outside the package") << ZipBytes(Package(escaping)) << defaults << "is missing";
        QTest::newRow("Document.xml not well formed") << ZipBytes(Package(kOfd, ns + "<ofd:Pages>")) << defaults << "not well formed";
        QTest::newRow("no pages") << ZipBytes(Package(kOfd, ns + "<ofd:Pages/></ofd:Document>")) << defaults << "no pages";
        QTest::newRow("nested too deep") << ZipBytes(Package(kOfd, Nested(5000))) << defaults << "deeper";
        QTest::newRow("entity expansion") << ZipBytes(Package(kOfd, Laughs())) << defaults << "not well formed";
        QTest::newRow("too many pages") << ZipBytes(HostilePackage(QByteArray(), 100001)) << defaults << "100001 pages; at most 100000";

        OFD_ArchiveLimits limits;
        limits.maxEntrySize = 1 << 20;
        Entries bomb = Package();
        bomb.append({QStringLiteral("Doc_0/Res/zeros.bin"), QByteArray(2 << 20, '\0')});
        QTest::newRow("entry too large") << ZipBytes(bomb) << limits << "Doc_0/Res/zeros.bin inflates";
        limits = defaults;
        limits.maxTotalSize = 1 << 20;
        Entries large = Package();
        for (int i = 0; i < 3; ++i)
            large.append({QStringLiteral("Doc_0/Res/part%1.bin").arg(i), QByteArray(600 << 10, 'x')});
        QTest::newRow("package too large") << ZipBytes(large) << limits << "inflates to more than";
        limits = defaults;
        limits.maxEntries = 50;
        Entries many = Package();
        for (int i = 0; i < 60; ++i)
            many.append({QStringLiteral("Doc_0/Res/%1.txt").arg(i), QByteArray("x")});
        QTest::newRow("too many entries") << ZipBytes(many) << limits << "63 entries; at most 50";
    }

    void refused()
    {
        QFETCH(QByteArray, file);
        QFETCH(OFD_ArchiveLimits, limits);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.ofd"));
        QVERIFY(WriteFile(path, file));
        QString error;
        QVERIFY(!OFD_PackageReader::Open(path, &error, limits));
        QVERIFY2(!error.isEmpty() && error.contains(reason), qPrintable(error));
    }

    // What a part reads as, or why it is refused (empty outline).
    void xmlParts_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("outline");
        QTest::addColumn<QString>("reason");

        QTest::newRow("entity declared") << QByteArray("<!DOCTYPE x [<!ENTITY a \"b\">]><x>&a;</x>") << QString()
                                         << "entity declarations are not accepted";
        QTest::newRow("parameter entity declared") << QByteArray("<!DOCTYPE x [<!ENTITY % p \"b\">]><x/>") << QString()
                                                   << "entity declarations are not accepted";
        QTest::newRow("external DTD never read")
            << QByteArray("<!DOCTYPE x SYSTEM \"http://127.0.0.1:9/x.dtd\"><x>a&b;c</x>") << "{}x'ac'" << QString();
        QTest::newRow("undeclared entity") << QByteArray("<x>&b;</x>") << QString() << "not well formed";
        QTest::newRow("XML 1.1") << QByteArray("<?xml version=\"1.1\"?><x/>") << QString() << "not well formed";
        QTest::newRow("unknown encoding") << QByteArray("<?xml version=\"1.0\" encoding=\"x-none\"?><x/>") << QString()
                                          << "not well formed";
        QTest::newRow("GB18030") << QByteArray("<?xml version=\"1.0\" encoding=\"GB18030\"?><x y=\"\xD6\xD0\">\xB9\xFA</x>")
                                 << QString::fromUtf8("{}x[{}y=\u4E2D]'\u56FD'") << QString();
        QTest::newRow("two colons in a name") << QByteArray("<a:b:c/>") << QString() << "not well formed";
        QTest::newRow("not closed") << QByteArray("<x><y></x>") << QString() << "not well formed";
        QTest::newRow("namespaces")
            << QByteArray("<a xmlns=\"urn:d\" xmlns:p=\"urn:p\" p:x=\"1\" y=\"2\" xml:lang=\"en\">"
                          "<b/><p:c xmlns:p=\"urn:q\"/><d xmlns=\"\"/><p:e/></a>")
            << "{urn:d}a[{urn:p}x=1][{}y=2][{http://www.w3.org/XML/1998/namespace}lang=en]"
               "({urn:d}b,{urn:q}c,{}d,{urn:p}e)"
            << QString();
        // Read as if undeclared prefixes were OFD's ("ofd") or stood for themselves.
        QTest::newRow("undeclared prefixes")
            << QByteArray("<ofd:a q:x=\"1\" xmlns:z=\"urn:z\"><OFD:b/><q:c/></ofd:a>")
            << "{}a[{}x=1]({}b,{urn:undeclared-prefix:q}c)" << QString();
        QTest::newRow("white space between children")
            << QByteArray("<a> <b/> x <!--c--> <![CDATA[ ]]>&#32;\n</a>") << "{}a' x   \n'({}b)" << QString();
        QTest::newRow("empty CDATA") << QByteArray("<a><b/><![CDATA[]]> </a>") << "{}a({}b)" << QString();
        QTest::newRow("white space alone") << QByteArray("<a> <!--c-->\r\n</a>") << "{}a' \n'" << QString();
        QTest::newRow("references") << QByteArray("<a v=\"1&amp;&#65;&lt;\t2\">&gt;<![CDATA[<&]]></a>")
                                    << "{}a[{}v=1&A< 2]'><&'" << QString();
    }

    void xmlParts()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, outline);
        QFETCH(QString, reason);
        QString error;
        const std::unique_ptr<OFD_XmlElement> root = OFD_XmlElement::Parse(xml, &error);
        QCOMPARE(root ? Outline(*root) : QString(), outline);
        if (!reason.isEmpty())
            QVERIFY2(error.contains(reason), qPrintable(error));
    }

    // Plain markup is read without expat; whatever a part holds, a handler must see the same as
    // from expat alone, also where the plain reading gives up halfway and expat goes on.
    void plainReadingMatchesExpat()
    {
        const QByteArray seeds[] = {
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ofd:Document xmlns:ofd=\"http://www.ofdspec.org/2016\">\n"
            "  <ofd:CommonData><ofd:MaxUnitID>12</ofd:MaxUnitID></ofd:CommonData>\n  <ofd:Pages>\n"
            "    <ofd:Page ID=\"1\" BaseLoc=\"Pages/Page_0/Content.xml\"/>\n"
            "    <ofd:Page ID='2' BaseLoc = 'Pages/Page_1/Content.xml' />\n  </ofd:Pages>\n</ofd:Document>\n",
            "<ofd:PageAnnot xmlns:ofd=\"http://www.ofdspec.org/2016\"><ofd:Annot ID=\"3\" Type=\"Link\" Creator=\"\xE5\xBC\xA0\">"
            "<ofd:Remark>\xE9\x93\xBE\xE6\x8E\xA5 a > b ]</ofd:Remark><ofd:Appearance Boundary=\"0 0 10 10\"/>"
            "<ofd:URI URI=\"http://x/?a=1&amp;b=&#x32;&#51;&lt;&quot;\"/></ofd:Annot>\t</ofd:PageAnnot>",
        };
        const QByteArray pieces[] = {"<", ">", "/", "&", "&amp;", "&#x41;", "&#0;", "&#9;", "&#xFFFE;", "&x;", "]]>",
                                     "]", "\"", "'", "=", " ", "\t", "\n", "\r", "\r\n", "<!--c-->", "<![CDATA[ ]]>",
                                     "<?p?>", "\xC3\xA9", "\xE4\xB8\xAD", "\xEF\xBF\xBE", "\xED\xA0\x80",
                                     "\xF0\x9F\x98\x80", "\xC0\x80", "\xFF", QByteArray(1, '\0'), "\x01", "a:b:c",
                                     "<b/>", "</b>", "<b c=\"1\" c=\"2\"/>", "\xEF\xBB\xBF", " x=\"1\""};
        QRandomGenerator random(20261206);
        int compared = 0;
        for (const QByteArray &seed : seeds) {
            for (int round = 0; round < 4000; ++round) {
                QByteArray part = seed;
                for (int edits = 1 + random.bounded(3); edits > 0; --edits) {
                    const int at = random.bounded(part.size() + 1);
                    const QByteArray &piece = pieces[random.bounded(int(std::size(pieces)))];
                    switch (random.bounded(3)) {
                    case 0: part.insert(at, piece); break;
                    case 1: part.replace(at, 1, piece); break;
                    default: part.remove(at, random.bounded(8)); break;
                    }
                }
                const int endAt = round % 7;
                const bool fail = round % 2;
                QByteArray logs[2];
                QString errors[2];
                OFD_XmlParser::Result results[2];
                for (int plain = 0; plain < 2; ++plain) {
                    OFD_XmlParser parser;
                    parser.SetPlainReading(plain);
                    Recorder recorder(endAt, fail);
                    results[plain] = parser.Parse(part, recorder, &errors[plain]);
                    logs[plain] = recorder.log;
                }
                QVERIFY2(results[0] == results[1] && errors[0] == errors[1] && logs[0] == logs[1],
                         qPrintable(QString::fromLatin1(part.toPercentEncoding()) + "\n" + errors[0] + "\n" + errors[1]
                                    + "\n" + logs[0].toPercentEncoding() + "\n" + logs[1].toPercentEncoding()));
                ++compared;
            }
        }
        QCOMPARE(compared, 8000);
    }

    // A parsed tree frees its elements all at once: what leaves it must not point into it.
    void partsOfATreeOutliveIt()
    {
        std::unique_ptr<OFD_XmlElement> root = OFD_XmlElement::Parse(
            "<ofd:P xmlns:ofd=\"http://www.ofdspec.org/2016\"><ofd:A x=\"1\">t</ofd:A><ofd:B y=\"2\"/></ofd:P>", nullptr);
        QVERIFY(root);
        std::unique_ptr<OFD_XmlElement> copy = root->ChildAt(0)->Clone();
        std::unique_ptr<OFD_XmlElement> taken = root->TakeChild(1);
        const QString text = root->ChildAt(0)->Text();
        OFD_XmlElement *a = root->ChildAt(0);
        for (int i = 0; i < 9; ++i)
            a->SetAttribute(QStringLiteral("n%1").arg(i), QString::number(i));
        a->AddChild(QStringLiteral("C"), QStringLiteral("c"));
        a->AddChild(std::make_unique<OFD_XmlElement>(QStringLiteral("D")), 0);
        OFD_XmlElement built(QStringLiteral("Q"));
        built.AddChild(std::move(root));
        QCOMPARE(Outline(built),
                 QStringLiteral("{http://www.ofdspec.org/2016}Q({http://www.ofdspec.org/2016}P({http://www.ofdspec.org/2016}A"
                                "[{}x=1][{}n0=0][{}n1=1][{}n2=2][{}n3=3][{}n4=4][{}n5=5][{}n6=6][{}n7=7][{}n8=8]'t'"
                                "({http://www.ofdspec.org/2016}D,{http://www.ofdspec.org/2016}C'c')))"));
        built.TakeChild(0);
        QCOMPARE(Outline(*copy), QStringLiteral("{http://www.ofdspec.org/2016}A[{}x=1]'t'"));
        QCOMPARE(Outline(*taken), QStringLiteral("{http://www.ofdspec.org/2016}B[{}y=2]"));
        QCOMPARE(text, QStringLiteral("t"));
    }

    void defaultLimitsRefuseAZipBomb()
    {
        // 257 MiB of zeros deflate to a few hundred kilobytes.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bomb.ofd"));
        {
            KZip zip(path);
            QVERIFY(zip.open(QIODevice::WriteOnly));
            for (const auto &entry : Package())
                zip.writeFile(entry.first, entry.second);
            const qint64 size = qint64(257) << 20;
            QVERIFY(zip.prepareWriting(QStringLiteral("Doc_0/Res/bomb.bin"), QString(), QString(), size));
            const QByteArray chunk(1 << 20, '\0');
            for (qint64 done = 0; done < size; done += chunk.size())
                QVERIFY(zip.writeData(chunk.constData(), chunk.size()));
            QVERIFY(zip.finishWriting(size));
            QVERIFY(zip.close());
        }
        QVERIFY(QFileInfo(path).size() < (4 << 20));
        QString error;
        QVERIFY(!OFD_PackageReader::Open(path, &error));
        QVERIFY2(error.contains(QLatin1String("bomb.bin inflates to 269484032 bytes")), qPrintable(error));
    }

    void entriesOutsideThePackageAreIgnored()
    {
        Entries entries = Package();
        entries.append({QStringLiteral("../evil.xml"), QByteArray("<x ID=\"4000000000\"/>")});
        entries.append({QStringLiteral("Doc_0/../../climb.txt"), QByteArray("up")});
        entries.append({QStringLiteral("Doc_0\\..\\..\\back.txt"), QByteArray("up")});
        entries.append({QStringLiteral("C:/drive.txt"), QByteArray("up")});
        QTemporaryDir dir;
        QString error;
        std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(WritePackage(dir, entries), &error);
        QVERIFY2(document, qPrintable(error));
        QCOMPARE(OFD_PackageReader::Of(document.get())->Archive()->EntryNames().size(), 3);
        // The ID in the entry outside was never read.
        QVERIFY(document->NewID() < 100);
        // Saved unchanged, they are left out too: such a package is not merely copied.
        const QString unchanged = dir.filePath(QStringLiteral("unchanged.ofd"));
        QVERIFY2(OFD_PackageWriter::Save(document.get(), unchanged, &error), qPrintable(error));
        QCOMPARE(ZipEntries(unchanged).keys(), (QStringList{QStringLiteral("Doc_0/Document.xml"),
                                                            QStringLiteral("Doc_0/Pages/Page_0/Content.xml"),
                                                            QStringLiteral("OFD.xml")}));

        AddBareLink(document.get(), 0, CCA_GRect(1, 1, 5, 5));
        const QString saved = dir.filePath(QStringLiteral("saved.ofd"));
        QVERIFY2(OFD_PackageWriter::Save(document.get(), saved, &error), qPrintable(error));
        const QString names = ZipEntries(saved).keys().join(QLatin1Char(' '));
        QVERIFY2(!names.contains(QLatin1String("..")) && !names.contains(QLatin1String("drive")), qPrintable(names));
        QVERIFY(names.contains(QStringLiteral("Doc_0/Annots/Page_0/Annotation.xml")));
    }

    void savingWritesOnlyAnnotationParts_data()
    {
        QTest::addColumn<QString>("indexLoc");
        QTest::addColumn<QString>("firstLoc");  // the first page's annotation part
        QTest::addColumn<QString>("secondLoc"); // the second page's, when it has one
        QTest::addColumn<QStringList>("rewritten");
        QTest::addColumn<int>("firstLinks");    // after the save, the new link included
        QTest::addColumn<int>("secondLinks");

        const QString index = QStringLiteral("Doc_0/Annots/Annotations.xml");
        const QString document = QStringLiteral("Doc_0/Document.xml");
        QTest::newRow("part is OFD.xml") << "Annots/Annotations.xml" << "/OFD.xml" << "" << QStringList{document, index} << 1 << 0;
        QTest::newRow("part is Document.xml") << "Annots/Annotations.xml" << "/Doc_0/Document.xml" << "" << QStringList{document, index} << 1 << 0;
        QTest::newRow("part is a page") << "Annots/Annotations.xml" << "../Pages/Page_0/Content.xml" << "" << QStringList{document, index} << 1 << 0;
        QTest::newRow("part is an image") << "Annots/Annotations.xml" << "/Doc_0/Res/image.png" << "" << QStringList{document, index} << 1 << 0;
        QTest::newRow("part is the index") << "Annots/Annotations.xml" << "Annotations.xml" << "" << QStringList{document, index} << 1 << 0;
        QTest::newRow("part shared by two pages") << "Annots/Annotations.xml" << "Shared.xml" << "Shared.xml" << QStringList{document, index} << 2 << 1;
        QTest::newRow("index is OFD.xml") << "/OFD.xml" << "" << "" << QStringList{document} << 1 << 0;
        QTest::newRow("index is Document.xml") << "Document.xml" << "" << "" << QStringList{document} << 1 << 0;
        QTest::newRow("index is a page") << "Pages/Page_0/Content.xml" << "" << "" << QStringList{document} << 1 << 0;
        QTest::newRow("index is a page part") << "Annots/Shared.xml" << "" << "" << QStringList{document} << 1 << 0;
    }

    void savingWritesOnlyAnnotationParts()
    {
        QFETCH(QString, indexLoc);
        QFETCH(QString, firstLoc);
        QFETCH(QString, secondLoc);
        QFETCH(QStringList, rewritten);
        const QByteArray document = "<ofd:Document " + kNs + "><ofd:CommonData><ofd:MaxUnitID>2</ofd:MaxUnitID></ofd:CommonData><ofd:Pages>"
            "<ofd:Page ID=\"1\" BaseLoc=\"Pages/Page_0/Content.xml\"/><ofd:Page ID=\"3\" BaseLoc=\"Pages/Page_1/Content.xml\"/>"
            "</ofd:Pages><ofd:Annotations>" + indexLoc.toUtf8() + "</ofd:Annotations></ofd:Document>";
        const QByteArray page = PageWith("<ofd:PathObject ID=\"4\" Boundary=\"0 0 10 10\"><ofd:AbbreviatedData>M 0 0 L 10 10</ofd:AbbreviatedData></ofd:PathObject>");
        QByteArray index = "<ofd:Annotations " + kNs + ">";
        if (!firstLoc.isEmpty())
            index += "<ofd:Page PageID=\"1\"><ofd:FileLoc>" + firstLoc.toUtf8() + "</ofd:FileLoc></ofd:Page>";
        if (!secondLoc.isEmpty())
            index += "<ofd:Page PageID=\"3\"><ofd:FileLoc>" + secondLoc.toUtf8() + "</ofd:FileLoc></ofd:Page>";
        index += "</ofd:Annotations>";
        const QByteArray shared = "<ofd:PageAnnot " + kNs + "><ofd:Annot ID=\"50\" Type=\"Link\"><ofd:Appearance Boundary=\"1 1 5 5\"/>"
                                  "</ofd:Annot></ofd:PageAnnot>";
        const Entries entries = {{QStringLiteral("OFD.xml"), kOfd},
                                 {QStringLiteral("Doc_0/Document.xml"), document},
                                 {QStringLiteral("Doc_0/Pages/Page_0/Content.xml"), page},
                                 {QStringLiteral("Doc_0/Pages/Page_1/Content.xml"), page},
                                 {QStringLiteral("Doc_0/Res/image.png"), QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
                                 {QStringLiteral("Doc_0/Annots/Annotations.xml"), index},
                                 {QStringLiteral("Doc_0/Annots/Shared.xml"), shared}};
        QTemporaryDir dir;
        QString error;
        std::unique_ptr<OFD_Document> doc = OFD_PackageReader::Open(WritePackage(dir, entries), &error);
        QVERIFY2(doc, qPrintable(error));
        doc->GetPage(1)->LoadAnnots();
        const uint32_t id = AddBareLink(doc.get(), 0, CCA_GRect(20, 20, 40, 30))->ID();
        const QString target = dir.filePath(QStringLiteral("saved.ofd"));
        std::unique_ptr<OFD_Document> reopened = SaveAndReopen(doc.get(), target, &error);
        QVERIFY2(reopened, qPrintable(error));

        const QMap<QString, QByteArray> saved = ZipEntries(target);
        for (const auto &entry : entries)
            if (!rewritten.contains(entry.first))
                QVERIFY2(saved.value(entry.first) == entry.second, qPrintable(entry.first));
        QVERIFY(reopened->GetPage(0)->Parse());
        QCOMPARE(reopened->GetPage(0)->PageObjectCount(), 1);
        reopened->GetPage(0)->LoadAnnots();
        reopened->GetPage(1)->LoadAnnots();
        QTEST(reopened->GetPage(0)->AnnotCount(), "firstLinks");
        QTEST(reopened->GetPage(1)->AnnotCount(), "secondLinks");
        const IG_Annot *link = reopened->GetPage(0)->AnnotByID(id);
        QVERIFY(link);
        QCOMPARE(link->Boundary(), CCA_GRect(20, 20, 40, 30));
    }

    void killedSaveLeavesOldOrNewPackage()
    {
        // Large enough that a save takes a while, so the kills land at every stage of it.
        Entries entries = Package();
        const QByteArray noise = Noise(3 << 20);
        entries.append({QStringLiteral("Doc_0/Res/noise.bin"), noise});
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("work.ofd"));
        QVERIFY(WriteFile(path, ZipBytes(entries)));
        int links = 0;
        for (int run = 0; run < 30; ++run) {
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                QString error;
                std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(path, &error);
                if (document)
                    AddBareLink(document.get(), 0, CCA_GRect(1, 1, 5, 5));
                _exit(document && OFD_PackageWriter::Save(document.get(), path, &error) ? 0 : 1);
            }
            usleep(useconds_t(QRandomGenerator::global()->bounded(60000)));
            kill(child, SIGKILL);
            int status = 0;
            waitpid(child, &status, 0);
            QString error;
            std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(path, &error);
            QVERIFY2(document, qPrintable(error));
            document->GetPage(0)->LoadAnnots();
            const int now = document->GetPage(0)->AnnotCount();
            QVERIFY2(now == links || now == links + 1, qPrintable(QStringLiteral("%1 links after %2").arg(now).arg(links)));
            links = now;
            QByteArray data;
            QVERIFY(OFD_PackageReader::Of(document.get())->Archive()->ReadEntry(QStringLiteral("Doc_0/Res/noise.bin"), data, &error));
            QVERIFY(data == noise);
        }
    }

    void failedWriteLeavesOriginal_data()
    {
        QTest::addColumn<bool>("fullDisk");
        QTest::newRow("full disk") << true;
        QTest::newRow("read-only folder") << false;
    }

    void failedWriteLeavesOriginal()
    {
        QFETCH(bool, fullDisk);
        if (!fullDisk && geteuid() == 0)
            QSKIP("a read-only folder does not stop root; a folder that is a file is tried in the package tests");
        const QByteArray noise = Noise(1 << 20);
        Entries entries = Package();
        entries.append({QStringLiteral("Doc_0/Res/noise.bin"), noise});
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("docs"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/work.ofd");
        const QByteArray original = ZipBytes(entries);
        QVERIFY(WriteFile(path, original));
        int pipeEnds[2];
        QVERIFY(pipe(pipeEnds) == 0);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            if (fullDisk) {
                // Files may grow to half the package: the disk is full half way through the save.
                signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{rlim_t(original.size() / 2), rlim_t(original.size() / 2)};
                setrlimit(RLIMIT_FSIZE, &limit);
            } else {
                chmod(QFile::encodeName(folder).constData(), 0555);
            }
            QString error;
            std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(path, &error);
            if (document) {
                AddBareLink(document.get(), 0, CCA_GRect(1, 1, 5, 5));
                if (OFD_PackageWriter::Save(document.get(), path, &error))
                    error = QStringLiteral("saved %1 %2").arg(QFileInfo(path).size()).arg(original.size());
            }
            const QByteArray text = error.toUtf8();
            _exit(write(pipeEnds[1], text.constData(), size_t(text.size())) == text.size() ? 0 : 1);
        }
        close(pipeEnds[1]);
        int status = 0;
        waitpid(child, &status, 0);
        chmod(QFile::encodeName(folder).constData(), 0755);
        QByteArray said;
        char buffer[512];
        for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
            said.append(buffer, int(n));
        close(pipeEnds[0]);
        QVERIFY2(!said.isEmpty() && said != "saved" && !said.contains("Unknown error"), said.constData());
        QVERIFY2(said.contains(fullDisk ? "too large" : "denied"), said.constData());
        QCOMPARE(ReadFile(path), original);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("work.ofd")});
    }

    // Page sizes are read at open from the top of each page, most of them without expat; whatever
    // expat would refuse before the Area leaves the document's default size (210 x 297).
    void pageBoxesWhateverTheMarkup_data()
    {
        QTest::addColumn<QByteArray>("top");
        QTest::addColumn<QByteArray>("box");
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");

        QTest::newRow("plain") << QByteArray() << QByteArray("0 0 100 200") << 100.f << 200.f;
        QTest::newRow("character reference") << QByteArray() << QByteArray("0 0 1&#48;0 200") << 100.f << 200.f;
        QTest::newRow("CDATA") << QByteArray() << QByteArray("<![CDATA[0 0 100 200]]>") << 100.f << 200.f;
        QTest::newRow("comment inside a number") << QByteArray() << QByteArray("0 0 1<!--x-->00 200") << 100.f << 200.f;
        QTest::newRow("Area after the Content") << QByteArray("<ofd:Content/>") << QByteArray("0 0 100 200") << 100.f << 200.f;
        QTest::newRow("attribute twice") << QByteArray("<ofd:Template TemplateID=\"1\" TemplateID=\"1\"/>")
                                         << QByteArray("0 0 100 200") << 210.f << 297.f;
        QTest::newRow("end tag of another") << QByteArray("<a></b>") << QByteArray("0 0 100 200") << 210.f << 297.f;
        QTest::newRow("not UTF-8") << QByteArray("<a>\xff</a>") << QByteArray("0 0 100 200") << 210.f << 297.f;
        QTest::newRow("commas and tabs") << QByteArray() << QByteArray("0,0\t100, 200") << 100.f << 200.f;
        QTest::newRow("leading zeros") << QByteArray() << QByteArray("0 0 0100 0200") << 100.f << 200.f;
        QTest::newRow("fractions") << QByteArray() << QByteArray("10.5 0 99.25 200.5") << 99.25f << 200.5f;
        QTest::newRow("ten digits") << QByteArray() << QByteArray("0 0 1000000000 200") << 1e9f << 200.f;
        QTest::newRow("no-break space") << QByteArray() << QByteArray("0\xc2\xa0" "0 100 200") << 100.f << 200.f;
        QTest::newRow("five numbers") << QByteArray() << QByteArray("0 0 100 200 5") << 210.f << 297.f;
    }

    void pageBoxesWhateverTheMarkup()
    {
        QFETCH(QByteArray, top);
        QFETCH(QByteArray, box);
        QFETCH(float, width);
        QFETCH(float, height);
        Entries entries = Package();
        entries[2].second = "<ofd:Page " + kNs + ">" + top + "<ofd:Area><ofd:PhysicalBox>" + box
            + "</ofd:PhysicalBox></ofd:Area></ofd:Page>";
        QTemporaryDir dir;
        QString error;
        std::unique_ptr<OFD_Document> doc = OFD_PackageReader::Open(WritePackage(dir, entries), &error);
        QVERIFY2(doc, qPrintable(error));
        QCOMPARE(doc->Page(0)->PageBox(), CCA_GRect(0, 0, width, height));
    }

    // Each page as "width x height #ID part +links" (part below Doc_0/Pages/): a part that several
    // pages name sizes the last of them only; a page whose ID is missing or taken gets one above
    // every ID; the links the index lists for ID 1 go to the last page listed with that ID.
    void pagesAsTheDocumentListsThem_data()
    {
        QTest::addColumn<QByteArray>("pages");
        QTest::addColumn<QString>("expected");
        const auto page = [](const QByteArray &id, const QByteArray &location) {
            return "<ofd:Page" + (id.isNull() ? QByteArray() : " ID=\"" + id + "\"") + " BaseLoc=\"" + location + "\"/>";
        };
        const QByteArray first = "Pages/Page_0/Content.xml", second = "Pages/Page_1/Content.xml";
        QTest::newRow("one part") << page("1", first) + page("2", first) << "210x297 #1 Page_0 +1 | 100x200 #2 Page_0 +0";
        QTest::newRow("two cases") << page("1", "PAGES/page_0/content.XML") + page("2", first) << "210x297 #1 Page_0 +1 | 100x200 #2 Page_0 +0";
        QTest::newRow("ID repeated") << page("1", first) + page("1", second) << "100x200 #1 Page_0 +0 | 50x60 #21 Page_1 +1";
        QTest::newRow("ID missing") << page({}, first) + page("3", second) << "100x200 #21 Page_0 +0 | 50x60 #3 Page_1 +0";
        QTest::newRow("ID the scan misses") << page({}, first) + page(" 21", second) << "100x200 #21 Page_0 +0 | 50x60 #22 Page_1 +0";
        QTest::newRow("resolved") << page("1", "/Doc_0/" + first) + page("2", "./x/../Pages/Page_1/Content.xml")
                + page("3", " Pages\\\xe9\xa1\xb5\\Content.xml ") << QString::fromUtf8("100x200 #1 Page_0 +1 | 50x60 #2 Page_1 +0 | 30x40 #3 \xe9\xa1\xb5 +0");
        QTest::newRow("outside or missing") << page("1", "../../" + first) + page("2", "Pages/Page_9/Content.xml")
                                            << "210x297 #1  +1 | 210x297 #2 Page_9 +0";
    }

    void pagesAsTheDocumentListsThem()
    {
        QFETCH(QByteArray, pages);
        QFETCH(QString, expected);
        const auto part = [](const char *box, const char *id) {
            return "<ofd:Page " + kNs + "><ofd:Area><ofd:PhysicalBox>" + box + "</ofd:PhysicalBox></ofd:Area><ofd:Content>"
                "<ofd:Layer ID=\"" + id + "\"/></ofd:Content></ofd:Page>";
        };
        Entries entries = WithAnnots(Package(kOfd, QByteArray(kDocument).replace(kDocument.mid(kDocument.indexOf("<ofd:Page ")), pages + "</ofd:Pages></ofd:Document>")),
                                     "<ofd:PageAnnot " + kNs + "><ofd:Annot ID=\"5\" Type=\"Link\"><ofd:Appearance Boundary=\"1 1 5 5\"/></ofd:Annot></ofd:PageAnnot>");
        entries[2].second = part("0 0 100 200", "7");
        entries.append({QStringLiteral("Doc_0/Pages/Page_1/Content.xml"), part("0 0 50 60", "8")});
        entries.append({QString::fromUtf8("Doc_0/Pages/\xe9\xa1\xb5/Content.xml"), part("0 0 30 40", "20")});
        QTemporaryDir dir;
        QString error;
        std::unique_ptr<OFD_Document> doc = OFD_PackageReader::Open(WritePackage(dir, entries), &error);
        QVERIFY2(doc, qPrintable(error));
        QStringList found;
        for (int i = 0; i < doc->PageCount(); ++i) {
            OFD_Page *page = doc->Page(i);
            const QString part = OFD_PackageReader::FileOf(doc.get())->State(page)->contentPath;
            page->LoadAnnots();
            found.append(QStringLiteral("%1x%2 #%3 %4 +%5").arg(page->PageBox().Width()).arg(page->PageBox().Height()).arg(page->ID())
                             .arg(QString(part).remove(QLatin1String("Doc_0/Pages/")).remove(QLatin1String("/Content.xml"))).arg(page->AnnotCount()));
        }
        QCOMPARE(found.join(QLatin1String(" | ")), expected);
    }

    // Parts alike up to their Content are read once; a part whose box differs later, or that
    // was read as a template, is not taken for the one before it.
    void partsThatBeginAlike()
    {
        const auto part = [](const QByteArray &top) { return "<ofd:Page " + kNs + ">" + top + "<ofd:Content/></ofd:Page>"; };
        const auto area = [](const QByteArray &box) { return "<ofd:Area><ofd:PhysicalBox>" + box + "</ofd:PhysicalBox></ofd:Area>"; };
        const QByteArray document = "<ofd:Document " + kNs + "><ofd:CommonData><ofd:TemplatePage ID=\"30\" BaseLoc=\"A.xml\"/>"
            "<ofd:TemplatePage ID=\"31\" BaseLoc=\"C.xml\"/></ofd:CommonData><ofd:Pages><ofd:Page ID=\"1\" BaseLoc=\"B.xml\"/>"
            "<ofd:Page ID=\"2\" BaseLoc=\"C.xml\"/><ofd:Page ID=\"3\" BaseLoc=\"D.xml\"/></ofd:Pages></ofd:Document>";
        const Entries entries{{QStringLiteral("OFD.xml"), kOfd}, {QStringLiteral("Doc_0/Document.xml"), document},
                              {QStringLiteral("Doc_0/A.xml"), part("<ofd:Template TemplateID=\"31\"/>")},
                              {QStringLiteral("Doc_0/B.xml"), part("<ofd:Template TemplateID=\"31\"/>")},
                              {QStringLiteral("Doc_0/C.xml"), part(area("0 0 100 200"))},
                              {QStringLiteral("Doc_0/D.xml"), part(area("0 0 100 250"))}};
        QTemporaryDir dir;
        QString error;
        std::unique_ptr<OFD_Document> doc = OFD_PackageReader::Open(WritePackage(dir, entries), &error);
        QVERIFY2(doc, qPrintable(error));
        QCOMPARE(doc->Page(0)->PageBox(), CCA_GRect(0, 0, 100, 200));
        QCOMPARE(doc->Page(1)->PageBox(), CCA_GRect(0, 0, 100, 200));
        QCOMPARE(doc->Page(2)->PageBox(), CCA_GRect(0, 0, 100, 250));
    }

    void valuesThatAreNotNumbersFallBackToDefaults()
    {
        const QByteArray document =
            "<ofd:Document xmlns:ofd=\"http://www.ofdspec.org/2016\"><ofd:CommonData><ofd:MaxUnitID>many</ofd:MaxUnitID>"
            "<ofd:PageArea><ofd:PhysicalBox>a b c d</ofd:PhysicalBox></ofd:PageArea></ofd:CommonData>"
            "<ofd:Pages><ofd:Page ID=\"1\" BaseLoc=\"Pages/Page_0/Content.xml\"/></ofd:Pages></ofd:Document>";
        const QByteArray page = "<ofd:Page xmlns:ofd=\"http://www.ofdspec.org/2016\"><ofd:Area><ofd:PhysicalBox>0 0 -5 nan</ofd:PhysicalBox></ofd:Area>"
                                "<ofd:Content><ofd:Layer ID=\"2\"><ofd:TextObject ID=\"x\" Boundary=\"1 2\" Font=\"f\" Size=\"big\">"
                                "<ofd:TextCode X=\"one\" Y=\"2\" DeltaX=\"g 4000000000 1 z\">abc</ofd:TextCode></ofd:TextObject>"
                                "<ofd:PathObject ID=\"9\" Boundary=\"0 0 1 1\" CTM=\"1 0 0\" LineWidth=\"wide\" DashPattern=\"1 x\">"
                                "<ofd:StrokeColor Value=\"#zz 1 2\"/><ofd:AbbreviatedData>M 0 0 L q 1</ofd:AbbreviatedData></ofd:PathObject>"
                                "</ofd:Layer></ofd:Content></ofd:Page>";
        const QByteArray annots = "<ofd:PageAnnot xmlns:ofd=\"http://www.ofdspec.org/2016\"><ofd:Annot ID=\"-3\" Type=\"Link\" ReadOnly=\"maybe\">"
                                  "<ofd:Appearance Boundary=\"x y z w\"><ofd:PathObject ID=\"7\" Boundary=\"0 0 1 1\"><ofd:Actions>"
                                  "<ofd:Action Event=\"CLICK\"><ofd:Goto><ofd:Dest Type=\"Sideways\" PageID=\"p\" Left=\"inf\" Zoom=\"1e999\"/></ofd:Goto></ofd:Action>"
                                  "<ofd:Action Event=\"CLICK\"><ofd:Sound ResourceID=\"r\" Volume=\"loud\"/></ofd:Action></ofd:Actions>"
                                  "<ofd:AbbreviatedData>M 0 0</ofd:AbbreviatedData></ofd:PathObject></ofd:Appearance></ofd:Annot></ofd:PageAnnot>";
        Entries entries = WithAnnots(Package(kOfd, document), annots);
        entries[2].second = page;
        QTemporaryDir dir;
        QString error;
        std::unique_ptr<OFD_Document> doc = OFD_PackageReader::Open(WritePackage(dir, entries), &error);
        QVERIFY2(doc, qPrintable(error));
        QCOMPARE(doc->Page(0)->PageBox(), CCA_GRect(0, 0, 210, 297));
        QVERIFY(doc->Page(0)->Parse());
        QCOMPARE(doc->Page(0)->PageObjectCount(), 2);
        const auto *text = dynamic_cast<const IG_TextObject *>(doc->Page(0)->PageObjectAt(0));
        QVERIFY(text);
        QVERIFY(text->ID() != 0);
        QCOMPARE(text->Boundary(), CCA_GRect());
        QCOMPARE(text->TextCodes().size(), size_t(1));
        QCOMPARE(text->TextCodes()[0].x, 0.0f);
        QVERIFY(text->TextCodes()[0].deltaX.size() <= size_t(1 << 20));
        const IG_PageObject *path2 = doc->Page(0)->PageObjectAt(1);
        QCOMPARE(path2->LineWidth(), 0.353f);
        QVERIFY(path2->CTM().IsIdentity());
        QVERIFY(path2->DashPattern().IsEmpty());
        QVERIFY(!path2->StrokeColor());

        IG_Page *first = doc->GetPage(0);
        QVERIFY(first->LoadAnnots());
        QCOMPARE(first->AnnotCount(), 1);
        const IG_Annot *annot = first->AnnotAt(0);
        QVERIFY(annot->ID() != 0);
        QVERIFY(annot->IsReadOnly());
        QCOMPARE(annot->Boundary(), CCA_GRect());
        const CCA_ArrayTemplate<G_Action *> actions = annot->Appearance()->PageObject(0)->Actions();
        QCOMPARE(actions.GetSize(), 2);
        const auto *go = dynamic_cast<const G_ActionGoto *>(actions[0]);
        QVERIFY(go);
        QCOMPARE(go->Dest().type, int(G_Dest_XYZ));
        QCOMPARE(go->Dest().pageID, 0u);
        QCOMPARE(go->Dest().pageIndex, -1);
        QCOMPARE(go->Dest().left, 0.0f);
        QCOMPARE(go->Dest().zoom, 0.0f);
        const auto *sound = dynamic_cast<const G_ActionSound *>(actions[1]);
        QVERIFY(sound);
        QCOMPARE(sound->ResourceID(), 0u);
        QCOMPARE(sound->Volume(), 100);
    }

    // Channels are clamped before they are rounded; numbers beyond float's range are no numbers.
    void colourChannelsAreClamped_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("rgb"); // red | green << 8 | blue << 16, or -1 for no colour
        QTest::newRow("-1e38") << "-1e38 0 0" << 0;
        QTest::newRow("3e38") << "3e38 3e38 3e38" << 0xffffff;
        QTest::newRow("halves") << "127.5 -0.4 254.6" << (128 | 0 << 8 | 255 << 16);
        QTest::newRow("gray -1e38") << "-1e38" << 0;
        QTest::newRow("cmyk extremes") << "1e30 -1e30 0 0" << (0 | 255 << 8 | 255 << 16);
        QTest::newRow("1e39") << "1e39 0 0" << -1;
    }

    void colourChannelsAreClamped()
    {
        QFETCH(QString, value);
        QFETCH(int, rgb);
        Entries entries = Package();
        entries[2].second = PageWith("<ofd:PathObject ID=\"9\" Boundary=\"0 0 1 1\"><ofd:StrokeColor Value=\"" + value.toUtf8()
                                     + "\"/><ofd:AbbreviatedData>M 0 0 L 1 1</ofd:AbbreviatedData></ofd:PathObject>");
        QTemporaryDir dir;
        QString error;
        std::unique_ptr<OFD_Document> doc = OFD_PackageReader::Open(WritePackage(dir, entries), &error);
        QVERIFY2(doc, qPrintable(error));
        QVERIFY(doc->Page(0)->Parse());
        const IG_Color *color = doc->Page(0)->PageObjectAt(0)->StrokeColor();
        QCOMPARE(color ? int(color->Value()) : -1, rgb);
    }

    // Small files that ask for huge work: each is opened, its first page drawn, a link added and
    // saved, with the page's content left out where it is beyond what a page may hold.
    void hostileFilesEndWithALinkSaved_data()
    {
        QTest::addColumn<Entries>("entries");
        QTest::addColumn<bool>("contentRead");
        const QByteArray image = "<ofd:ImageObject ID=\"%1\" ResourceID=\"%2\" Boundary=\"0 0 100 100\" CTM=\"100 0 0 100 0 0\"/>";
        QByteArray images;
        for (int i = 0; i < 4; ++i)
            images += QString::fromLatin1(image).arg(i + 20).arg(i + 10).toLatin1();
        const QByteArray huge = PngClaiming(20000, 20000);
        QTest::newRow("four 20000 x 20000 images") << HostilePackage(PageWith(images), 1, {huge, huge + " ", huge + "  ", huge + "   "}) << true;
        QTest::newRow("600,000 comments in one text")
            << HostilePackage(PageWith("<ofd:TextObject ID=\"3\" Boundary=\"0 0 10 10\" Size=\"5\"><ofd:TextCode X=\"1\" Y=\"4\">"
                                       + QByteArray("a<!---->").repeated(600000) + "</ofd:TextCode></ofd:TextObject>"))
            << true;
        QTest::newRow("an attribute of 17 MB")
            << HostilePackage(PageWith("<ofd:PathObject ID=\"3\" Name=\"" + QByteArray(17 << 20, 'n') + "\"/>")) << false;
        QTest::newRow("1,100,000 elements") << HostilePackage(PageWith(QByteArray("<x/>").repeated(1100000))) << false;
        QTest::newRow("a path of 1,500,000 lines")
            << HostilePackage(PageWith("<ofd:PathObject ID=\"3\" Boundary=\"0 0 10 10\"><ofd:AbbreviatedData>M 0 0"
                                       + QByteArray(" L 1 1").repeated(1500000) + "</ofd:AbbreviatedData></ofd:PathObject>"))
            << true;
        QTest::newRow("100,000 pages") << HostilePackage(PageWith(QByteArray()), 100000) << true;
    }

    void hostileFilesEndWithALinkSaved()
    {
        QFETCH(Entries, entries);
        QFETCH(bool, contentRead);
        QTemporaryDir dir;
        const QString saved = dir.filePath(QStringLiteral("saved.ofd"));
        QString error;
        std::unique_ptr<OFD_Document> doc = OFD_PackageReader::Open(WritePackage(dir, entries), &error);
        QVERIFY2(doc, qPrintable(error));
        IG_Page *page = doc->GetPage(0);
        QCOMPARE(page->Parse(), contentRead);
        QImage picture(210, 297, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::white);
        {
            QPainter painter(&picture);
            G_PageRenderer renderer(&painter, QTransform());
            renderer.PaintContent(page);
            renderer.PaintAnnots(page);
        }
        QVERIFY(page->LoadAnnots());
        AddBareLink(doc.get(), 0, CCA_GRect(10, 10, 50, 20));
        std::unique_ptr<OFD_Document> reopened = SaveAndReopen(doc.get(), saved, &error);
        QVERIFY2(reopened, qPrintable(error));
        QCOMPARE(reopened->PageCount(), doc->PageCount());
        QVERIFY(reopened->GetPage(0)->LoadAnnots());
        QCOMPARE(reopened->GetPage(0)->AnnotCount(), 1);
        // The content we could not read is kept as it was.
        QCOMPARE(ZipEntries(saved).value(QStringLiteral("Doc_0/Pages/Page_0/Content.xml")), entries[2].second);
    }

    void saveWithoutDocumentOrNameFails()
    {
        QString error;
        QVERIFY(!OFD_PackageWriter::Save(nullptr, QStringLiteral("x.ofd"), &error));
        QVERIFY(!error.isEmpty());
        std::unique_ptr<OFD_Document> document = OFD_Document::CreateBlank(1, 210, 297);
        error.clear();
        QVERIFY(!OFD_PackageWriter::Save(document.get(), QString(), &error));
        QVERIFY(!error.isEmpty());
    }

    void charactersXmlCannotHoldAreLeftOut()
    {
        std::unique_ptr<OFD_Document> document = OFD_Document::CreateBlank(1, 210, 297);
        IG_Annot *annot = document->GetPage(0)->AddAnnot(G_AnnotType_Link, CCA_String("Link"), -1, false, nullptr);
        annot->SetCreator(CCA_String("a\x01" "b\x7f"));
        IG_PageObject *path = annot->CreateAppearance()->InsertPageObject(G_PageObj_Path, 0, true);
        auto *uri = new G_ActionURI;
        uri->SetURI(CCA_String("https://x/\x02y"));
        CCA_ArrayTemplate<G_Action *> actions;
        actions.Add(uri);
        path->SetActions(actions);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("control.ofd"));
        QString error;
        std::unique_ptr<OFD_Document> reopened = SaveAndReopen(document.get(), target, &error);
        QVERIFY2(reopened, qPrintable(error));
        QVERIFY(reopened->GetPage(0)->LoadAnnots());
        const IG_Annot *read = reopened->GetPage(0)->AnnotAt(0);
        QCOMPARE(QByteArray(read->Creator().c_str()), QByteArray("ab\x7f"));
        const auto *readUri = dynamic_cast<const G_ActionURI *>(read->Appearance()->PageObject(0)->Actions()[0]);
        QVERIFY(readUri);
        QCOMPARE(QByteArray(readUri->URI().c_str()), QByteArray("https://x/y"));
    }
};

QTEST_MAIN(tst_OfdBadInput)
#include "tst_ofdbadinput.moc"

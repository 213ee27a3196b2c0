#include "ofd_packagereader.h"

#include "ofd_annot.h"
#include "ofd_contentreader.h"
#include "ofd_document.h"
#include "ofd_documentcontext.h"
#include "ofd_packagepath.h"
#include "ofd_page.h"
#include "ofd_resources.h"
#include "ofd_utf8.h"
#include "ofd_xmlbytes.h"
#include "ofd_xmlelement.h"
#include "ofd_xmlparser.h"
#include "ofd_xmlserializer.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace {

QString Tr(const char *text)
{
    return QCoreApplication::translate("OFD_PackageReader", text);
}

// The medium's bytes stay in the package until they are first asked for.
void AddLazyMedium(OFD_Document &document, const std::shared_ptr<OFD_ZipArchive> &archive, uint32_t id,
                   const OFD_MediaResource &media)
{
    G_MultiMediaInfo info;
    info.type = media.type;
    info.filePath = OFD_ToUtf8(media.filePath);
    info.format = OFD_ToUtf8(media.format);
    document.AddLazyMultiMedia(id, info, OFD_ZipArchive::EntryReader(archive, media.filePath));
}

// MaxUnitID is unreliable in real files: every numeric ID attribute of every part counts.
void NoteIDs(const QByteArray &bytes, OFD_DocumentContext &context)
{
    const char *p = bytes.constData();
    const int n = bytes.size();
    for (int i = 1; i + 4 < n; ++i) {
        const void *found = std::memchr(p + i, 'I', size_t(n - 4 - i));
        if (!found)
            break;
        i = int(static_cast<const char *>(found) - p);
        if (p[i + 1] != 'D' || p[i + 2] != '=')
            continue;
        const char before = p[i - 1];
        if (before != ' ' && before != '\t' && before != '\n' && before != '\r')
            continue;
        const char quote = p[i + 3];
        if (quote != '"' && quote != '\'')
            continue;
        quint64 value = 0;
        int j = i + 4;
        int digits = 0;
        while (j < n && p[j] >= '0' && p[j] <= '9' && digits < 11) {
            value = value * 10 + quint64(p[j] - '0');
            ++j;
            ++digits;
        }
        if (digits > 0 && j < n && p[j] == quote && value <= 0xffffffffu)
            context.NoteID(uint32_t(value));
    }
}

// The page box of an Area (or PageArea) element: PhysicalBox, else ApplicationBox, else ContentBox.
const char *const kBoxNames[] = {"PhysicalBox", "ApplicationBox", "ContentBox"};
using BoxTexts = std::array<std::string, 3>;

// The first of the boxes with a positive size, moved to the origin.
bool BoxOf(const BoxTexts &boxes, CCA_GRect &box)
{
    for (const std::string &text : boxes) {
        CCA_GRect rect;
        if (OFD_ContentReader::ParseBox(std::string_view(text), rect) && rect.Width() > 0 && rect.Height() > 0) {
            box = CCA_GRect(0, 0, rect.Width(), rect.Height());
            return true;
        }
    }
    return false;
}

bool BoxOfElement(const OFD_XmlElement *area, CCA_GRect &box)
{
    if (!area)
        return false;
    BoxTexts boxes;
    for (size_t i = 0; i < boxes.size(); ++i)
        boxes[i] = area->ChildText(QLatin1String(kBoxNames[i])).toUtf8().toStdString();
    return BoxOf(boxes, box);
}

// Reads the top of a page or template part for its Area and the template it uses, and stops
// at its Content once the Area is known. One reads every part in turn, reusing its room.
class PageTop : public OFD_XmlParser::Handler
{
public:
    void Reset(uint32_t *templateID)
    {
        m_templateID = templateID;
        for (std::string &box : m_boxes)
            box.clear();
        m_box = -1;
        m_depth = 0;
        m_inArea = false;
        m_haveArea = false;
    }
    const BoxTexts &Boxes() const { return m_boxes; }

    // `attributes` holds `count` names and values in turn. True when the rest of the part is not needed.
    bool Start(std::string_view name, const std::string_view *attributes, size_t count)
    {
        ++m_depth;
        if (m_depth == 3 && m_inArea) {
            const std::string_view local = LocalName(name);
            m_box = -1;
            for (int i = 0; i < 3 && m_box < 0; ++i)
                if (local == kBoxNames[i])
                    m_box = i;
            m_boxText.clear();
        }
        if (m_depth != 2)
            return false;
        const std::string_view local = LocalName(name);
        if (local == "Area") {
            m_inArea = true;
        } else if (local == "Template") {
            for (size_t i = 0; m_templateID && *m_templateID == 0 && i + 1 < count; i += 2)
                if (attributes[i] == "TemplateID")
                    OFD_XmlElement::ParseUInt(QString::fromUtf8(attributes[i + 1].data(), int(attributes[i + 1].size())),
                                              *m_templateID);
        } else if (local == "Content" && m_haveArea) {
            return true;
        }
        return false;
    }

    void End()
    {
        if (m_depth == 3 && m_inArea && m_box >= 0)
            m_boxes[size_t(m_box)] = m_boxText;
        if (m_depth == 2 && m_inArea) {
            m_inArea = false;
            m_haveArea = true;
        }
        --m_depth;
    }

    void AddText(const char *text, int length)
    {
        if (m_depth == 3 && m_inArea && m_box >= 0)
            m_boxText.append(text, size_t(length));
    }

    void StartElement(OFD_XmlParser &parser, const char *name, const char **attributes) override
    {
        m_attributes.clear();
        for (int i = 0; attributes[i]; ++i)
            m_attributes.emplace_back(attributes[i]);
        if (Start(name, m_attributes.data(), m_attributes.size()))
            parser.Stop();
    }
    void EndElement(OFD_XmlParser &) override { End(); }
    void Text(OFD_XmlParser &, const char *text, int length) override { AddText(text, length); }
    void Break(OFD_XmlParser &, bool) override {}

private:
    static std::string_view LocalName(std::string_view name)
    {
        const size_t colon = name.find(':');
        return colon == std::string_view::npos ? name : name.substr(colon + 1);
    }

    uint32_t *m_templateID = nullptr;
    BoxTexts m_boxes;
    int m_box = -1; // which of them is being read
    std::string m_boxText;
    int m_depth = 0;
    bool m_inArea = false;
    bool m_haveArea = false;
    std::vector<std::string_view> m_attributes; // expat's, for Start
};

using OFD_XmlBytes::Is;

// Setting expat up costs more than a small page's top. Most parts are plain: ASCII, at most
// the usual declaration, no references, comments, CDATA, instructions or DOCTYPE, no carriage
// returns. Such a part is read here, giving the handler the calls expat would give it; anything
// else answers false before the handler is trusted, and expat reads the part instead. One
// scanner reads every part, reusing its room.
class PlainTopScanner
{
public:
    // `read`: how many bytes the result depends on; none past them is looked at.
    bool Scan(const QByteArray &bytes, PageTop &top, int &read)
    {
        const char *at = bytes.constData();
        const char *const end = at + bytes.size();
        if (bytes.startsWith(OFD_XmlBytes::kUsualDeclaration))
            at += sizeof(OFD_XmlBytes::kUsualDeclaration) - 1;
        const auto space = [](char c) { return Is(c, OFD_XmlBytes::Space); };
        const auto skipSpaces = [&]() {
            const char *from = at;
            while (at < end && Is(*at, OFD_XmlBytes::Space))
                ++at;
            return at > from;
        };
        const auto name = [&]() {
            const char *from = at;
            if (at < end && Is(*at, OFD_XmlBytes::NameStart))
                while (at < end && Is(*at, OFD_XmlBytes::NameChar))
                    ++at;
            return Span{from, int(at - from)};
        };
        m_open.clear();
        bool rootDone = false;
        while (at < end) {
            if (*at != '<') {
                const char *from = at;
                while (at < end && Is(*at, OFD_XmlBytes::TextByte))
                    ++at;
                if (at < end && *at != '<')
                    return false;
                if (m_open.empty()) {
                    if (!std::all_of(from, at, space))
                        return false;
                } else {
                    top.AddText(from, int(at - from));
                }
                continue;
            }
            ++at;
            if (at < end && *at == '/') {
                ++at;
                const Span closed = name();
                if (m_open.empty() || !closed.Equals(m_open.back()))
                    return false;
                skipSpaces();
                if (at == end || *at++ != '>')
                    return false;
                m_open.pop_back();
                top.End();
                rootDone = m_open.empty();
                continue;
            }
            const Span element = name();
            if (element.length == 0 || rootDone)
                return false;
            m_attributes.clear();
            bool empty = false;
            for (;;) {
                const bool spaced = skipSpaces();
                if (at < end && *at == '>') {
                    ++at;
                    break;
                }
                if (end - at >= 2 && at[0] == '/' && at[1] == '>') {
                    at += 2;
                    empty = true;
                    break;
                }
                const Span attribute = spaced ? name() : Span{at, 0};
                if (attribute.length == 0)
                    return false;
                for (size_t i = 0; i < m_attributes.size(); i += 2)
                    if (attribute.View() == m_attributes[i])
                        return false;
                skipSpaces();
                if (at == end || *at++ != '=')
                    return false;
                skipSpaces();
                if (at == end || (*at != '"' && *at != '\''))
                    return false;
                const char quote = *at++;
                const char *value = at;
                for (;; ++at) {
                    while (at < end && Is(*at, OFD_XmlBytes::ValueByte))
                        ++at;
                    if (at == end || *at == quote)
                        break;
                    if (*at != '"' && *at != '\'')
                        return false;
                }
                if (at == end)
                    return false;
                m_attributes.push_back(attribute.View());
                m_attributes.emplace_back(value, size_t(at - value));
                ++at;
            }
            if (top.Start(element.View(), m_attributes.data(), m_attributes.size())) {
                read = int(at - bytes.constData());
                return true;
            }
            if (empty) {
                top.End();
                rootDone = m_open.empty();
            } else {
                m_open.push_back(element);
            }
        }
        // A part cut short is expat's to judge.
        read = bytes.size();
        return rootDone;
    }

private:
    struct Span
    {
        const char *at;
        int length;
        std::string_view View() const { return std::string_view(at, size_t(length)); }
        bool Equals(const Span &other) const { return View() == other.View(); }
    };

    std::vector<Span> m_open;                   // the elements open, in the part's bytes
    std::vector<std::string_view> m_attributes; // of the start tag read: names and values in turn
};

// Reads the page box and the template of page and template parts in turn.
class AreaReader
{
public:
    CCA_GRect Read(const QByteArray &part, uint32_t *templateID)
    {
        // The pages of a package mostly begin alike up to their Content, and a scan's result
        // depends on the bytes it read only; a part it read to the end is matched whole.
        const Scanned &last = m_last;
        if (last.read > 0 && (last.read == last.part.size() ? part.size() == last.read : part.size() >= last.read)
            && std::memcmp(part.constData(), last.part.constData(), size_t(last.read)) == 0) {
            if (templateID)
                *templateID = last.templateID;
            return last.box;
        }
        // The template used is read for template parts too, so that a page alike may take their result.
        uint32_t scannedID = 0;
        m_top.Reset(&scannedID);
        CCA_GRect box;
        int read = 0;
        if (m_scanner.Scan(part, m_top, read)) {
            if (!BoxOf(m_top.Boxes(), box))
                box = CCA_GRect();
            m_last = {part, read, box, scannedID};
            if (templateID)
                *templateID = scannedID;
            return box;
        }
        m_top.Reset(templateID);
        m_parser.Parse(part, m_top, nullptr);
        return BoxOf(m_top.Boxes(), box) ? box : CCA_GRect();
    }

private:
    struct Scanned
    {
        QByteArray part;
        int read = 0; // of its bytes
        CCA_GRect box;
        uint32_t templateID = 0;
    };

    OFD_XmlParser m_parser; // one for all: its setup costs more than reading a small page
    PlainTopScanner m_scanner;
    PageTop m_top;
    Scanned m_last;
};

// Background layers, then body, then foreground; a template's layers go below the page's of
// the same kind, and a foreground template above the page's body.
int LayerRank(const OFD_XmlElement &layer)
{
    const QString type = layer.Attribute(QStringLiteral("Type"));
    if (type == QLatin1String("Background"))
        return 0;
    if (type == QLatin1String("Foreground"))
        return 2;
    return 1;
}

} // namespace

OFD_PackageReader::OFD_PackageReader(OFD_Document *document, std::shared_ptr<OFD_ZipArchive> archive)
    : m_document(document), m_archive(archive), m_file(std::make_shared<OFD_PackageFile>(archive, archive->FilePath())),
      m_resources(std::make_unique<OFD_Resources>())
{
}

OFD_PackageReader::~OFD_PackageReader() = default;

OFD_PackageReader *OFD_PackageReader::Of(const OFD_Document *document)
{
    return document ? dynamic_cast<OFD_PackageReader *>(document->PageLoader()) : nullptr;
}

OFD_PackageFile *OFD_PackageReader::FileOf(const OFD_Document *document)
{
    const OFD_PackageReader *reader = Of(document);
    return reader ? reader->m_file.get() : nullptr;
}

uint32_t OFD_PackageReader::FileMaxUnitID() const
{
    return m_file->FileMaxUnitID();
}

std::unique_ptr<OFD_Document> OFD_PackageReader::Open(const QString &filePath, QString *error,
                                                      const OFD_ArchiveLimits &limits)
{
    auto archive = std::make_shared<OFD_ZipArchive>(limits);
    if (!archive->Open(filePath, error))
        return nullptr;
    auto document = std::make_unique<OFD_Document>();
    std::unique_ptr<OFD_PackageReader> reader(new OFD_PackageReader(document.get(), archive));
    {
        OFD_LoadingScope loading(document->Context().get());
        if (!reader->ReadPackage(error))
            return nullptr;
    }
    document->SetPageLoader(std::move(reader));
    document->SetFilePath(filePath);
    document->SetModified(false);
    return document;
}

std::unique_ptr<OFD_XmlElement> OFD_PackageReader::ReadPart(const QString &path, QString *error, QByteArray *text) const
{
    QByteArray bytes;
    if (path.isEmpty() || !m_archive->ReadEntry(path, bytes, error))
        return nullptr;
    if (text)
        *text = bytes;
    QString parseError;
    std::unique_ptr<OFD_XmlElement> root = OFD_XmlElement::Parse(bytes, &parseError);
    if (!root && error)
        *error = Tr("%1: %2").arg(path, parseError);
    return root;
}

QString OFD_PackageReader::LocateEntry(const QStringList &candidates) const
{
    for (const QString &candidate : candidates) {
        const QString stored = candidate.isEmpty() ? QString() : m_archive->FindEntry(candidate);
        if (!stored.isEmpty())
            return stored;
    }
    for (const QString &candidate : candidates)
        if (!candidate.isEmpty())
            return candidate;
    return QString();
}

std::unique_ptr<OFD_XmlElement> OFD_PackageReader::ReadDocumentRoot(QString *error)
{
    const QString entry = m_archive->FindEntry(QStringLiteral("OFD.xml"));
    if (entry.isEmpty()) {
        if (error)
            *error = Tr("The package has no OFD.xml: it is no OFD document.");
        return nullptr;
    }
    std::unique_ptr<OFD_XmlElement> ofd = ReadPart(entry, error);
    if (!ofd)
        return nullptr;
    const OFD_XmlElement *body = ofd->Child(QStringLiteral("DocBody"));
    if (!ofd->Is(QStringLiteral("OFD")) || !body) {
        if (error)
            *error = Tr("OFD.xml names no document.");
        return nullptr;
    }
    if (!body->ChildText(QStringLiteral("Signatures")).trimmed().isEmpty())
        m_document->SetSigned(true);
    const QString docRoot = OFD_PackagePath::Resolve(QString(), body->ChildText(QStringLiteral("DocRoot")));
    const QString documentPath = docRoot.isEmpty() ? QString() : m_archive->FindEntry(docRoot);
    if (documentPath.isEmpty()) {
        if (error)
            *error = Tr("The document part %1 named in OFD.xml is missing.")
                         .arg(body->ChildText(QStringLiteral("DocRoot")).trimmed());
        return nullptr;
    }
    m_documentFolder = OFD_PackagePath::Folder(documentPath);
    QByteArray text;
    std::unique_ptr<OFD_XmlElement> doc = ReadPart(documentPath, error, &text);
    if (!doc)
        return nullptr;
    if (!doc->Is(QStringLiteral("Document"))) {
        if (error)
            *error = Tr("%1 is no OFD document part.").arg(documentPath);
        return nullptr;
    }
    m_file->SetDocument(documentPath, nullptr);
    // Kept for the writer, which edits it as text when a save changes little in it.
    m_file->SetDocumentText(text);
    return doc;
}

bool OFD_PackageReader::ReadPackage(QString *error)
{
    std::unique_ptr<OFD_XmlElement> doc = ReadDocumentRoot(error);
    if (!doc)
        return false;
    const OFD_XmlElement *pagesElement = doc->Child(QStringLiteral("Pages"));
    const QVector<OFD_XmlElement *> pageElements =
        pagesElement ? pagesElement->Children(QStringLiteral("Page")) : QVector<OFD_XmlElement *>();
    if (pageElements.isEmpty()) {
        if (error)
            *error = Tr("The document has no pages.");
        return false;
    }
    // Beyond this a document takes minutes to show and is no document anyone reads.
    const int maxPages = 100000;
    if (pageElements.size() > maxPages) {
        if (error)
            *error = Tr("The document has %1 pages; at most %2 are accepted.").arg(pageElements.size()).arg(maxPages);
        return false;
    }

    ReadCommonData(*doc);
    AddPages(pageElements);
    for (const uint32_t id : m_resources->MultiMediaIDs())
        AddLazyMedium(*m_document, m_archive, id, *m_resources->MultiMedia(id));
    if (!doc->ChildText(QStringLiteral("Attachments")).trimmed().isEmpty())
        ReadAttachments(doc->ChildText(QStringLiteral("Attachments")));
    ReadAnnotIndex(doc->ChildText(QStringLiteral("Annotations")));
    // Kept for the writer, which changes little of it and would otherwise parse it again.
    m_file->SetDocument(m_file->DocumentPath(), std::shared_ptr<const OFD_XmlElement>(std::move(doc)));
    return true;
}

void OFD_PackageReader::ReadCommonData(const OFD_XmlElement &doc)
{
    const OFD_XmlElement *common = doc.Child(QStringLiteral("CommonData"));
    m_defaultBox = CCA_GRect(0, 0, 210, 297);
    if (common) {
        uint32_t maxUnitID = 0;
        OFD_XmlElement::ParseUInt(common->ChildText(QStringLiteral("MaxUnitID")), maxUnitID);
        m_file->SetFileMaxUnitID(maxUnitID);
        m_document->NoteID(maxUnitID);
        BoxOfElement(common->Child(QStringLiteral("PageArea")), m_defaultBox);
        for (int i = 0; i < common->ChildCount(); ++i) {
            const OFD_XmlElement *child = common->ChildAt(i);
            if (child->Is(QStringLiteral("PublicRes")) || child->Is(QStringLiteral("DocumentRes"))) {
                const QString path = LocateEntry({OFD_PackagePath::Resolve(m_documentFolder, child->Text())});
                if (std::unique_ptr<OFD_XmlElement> res = ReadPart(path, nullptr))
                    m_resources->AddPart(*res, path, *m_archive);
            } else if (child->Is(QStringLiteral("TemplatePage"))) {
                const uint32_t id = child->UIntAttribute(QStringLiteral("ID"));
                const QString path = OFD_PackagePath::Resolve(m_documentFolder, child->Attribute(QStringLiteral("BaseLoc")));
                if (id != 0 && !path.isEmpty())
                    m_templatePaths.insert(id, LocateEntry({path}));
            }
        }
        uint32_t defaultColorSpace = 0;
        OFD_XmlElement::ParseUInt(common->ChildText(QStringLiteral("DefaultCS")), defaultColorSpace);
        m_resources->SetDefaultColorSpace(defaultColorSpace);
    }
    if (const OFD_XmlElement *bookmarks = doc.Child(QStringLiteral("Bookmarks"))) {
        for (const OFD_XmlElement *bookmark : bookmarks->Children(QStringLiteral("Bookmark")))
            if (const OFD_XmlElement *dest = bookmark->Child(QStringLiteral("Dest")))
                m_bookmarks.insert(bookmark->Attribute(QStringLiteral("Name")), std::shared_ptr<OFD_XmlElement>(dest->Clone()));
    }

}

// The box of each page (empty when its part names none) and the template it uses. Only pages
// and templates are read now; the IDs of the other parts are collected when a new ID is first needed.
void OFD_PackageReader::ReadPageBoxes(const QVector<int> &pagePlaces, QVector<CCA_GRect> &pageBoxes)
{
    const QStringList names = m_archive->EntryNames();
    // A part that several pages name gives its box to the last of them only.
    std::vector<int> pageAt(size_t(names.size()), -1);
    for (int i = 0; i < pagePlaces.size(); ++i)
        if (pagePlaces.at(i) >= 0)
            pageAt[size_t(pagePlaces.at(i))] = i;
    QHash<QString, uint32_t> templateOfPath;
    for (auto it = m_templatePaths.constBegin(); it != m_templatePaths.constEnd(); ++it)
        templateOfPath.insert(it.value(), it.key());
    QVector<uint32_t> pageTemplates(pagePlaces.size(), 0);
    QHash<uint32_t, CCA_GRect> templateBoxes;
    QStringList unscanned;
    AreaReader areas;
    for (int listed = 0; listed < names.size(); ++listed) {
        const QString &name = names.at(listed);
        const int index = pageAt[size_t(listed)];
        const bool isTemplate = !templateOfPath.isEmpty() && templateOfPath.contains(name);
        if (index < 0 && !isTemplate) {
            if (name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
                unscanned.append(name);
            continue;
        }
        QByteArray bytes;
        if (!m_archive->ReadEntry(name, bytes, nullptr))
            continue;
        NoteIDs(bytes, *m_document->Context());
        if (index >= 0)
            pageBoxes[index] = areas.Read(bytes, &pageTemplates[index]);
        if (isTemplate)
            templateBoxes.insert(templateOfPath.value(name), areas.Read(bytes, nullptr));
    }
    // Holds the archive, not the reader: the context may outlive the document.
    const std::shared_ptr<OFD_ZipArchive> archive = m_archive;
    m_document->Context()->SetPendingIDs([archive, unscanned](OFD_DocumentContext &context) {
        for (const QString &name : unscanned) {
            QByteArray bytes;
            if (archive->ReadEntry(name, bytes, nullptr))
                NoteIDs(bytes, context);
        }
    });

    for (int i = 0; i < pagePlaces.size(); ++i)
        if (pageBoxes.at(i).IsEmpty())
            pageBoxes[i] = templateBoxes.value(pageTemplates.at(i));
}

void OFD_PackageReader::AddPages(const QVector<OFD_XmlElement *> &pageElements)
{
    const QStringList names = m_archive->EntryNames();
    const int count = pageElements.size();
    QVector<QString> pagePaths;
    QVector<int> pagePlaces; // in names, or -1 for a part the package lacks
    std::vector<uint32_t> fileIDs;
    pagePaths.reserve(count);
    pagePlaces.reserve(count);
    fileIDs.reserve(size_t(count));
    QString path; // its room serves every page found in the archive, which then takes the archive's name
    for (const OFD_XmlElement *pageElement : pageElements) {
        OFD_PackagePath::Resolve(m_documentFolder, pageElement->Utf8Attribute(QStringLiteral("BaseLoc")), path);
        const int place = path.isEmpty() ? -1 : m_archive->EntryPlace(path);
        pagePaths.append(place < 0 ? path : names.at(place));
        pagePlaces.append(place);
        fileIDs.push_back(pageElement->UIntAttribute(QStringLiteral("ID")));
    }
    QVector<CCA_GRect> pageBoxes(count);
    ReadPageBoxes(pagePlaces, pageBoxes);
    // Pages that each have an ID of their own keep it; only when one lacks it or repeats another
    // are the IDs taken so far needed. IDs mostly rise, which shows it without sorting them.
    const auto distinct = [](const std::vector<uint32_t> &ids) {
        return ids.empty() || (ids.front() != 0 && std::adjacent_find(ids.cbegin(), ids.cend(), std::greater_equal<>()) == ids.cend());
    };
    bool ownIDs = distinct(fileIDs);
    if (!ownIDs) {
        std::vector<uint32_t> sortedIDs = fileIDs;
        std::sort(sortedIDs.begin(), sortedIDs.end());
        ownIDs = distinct(sortedIDs);
    }
    QSet<uint32_t> pageIDs;
    if (!ownIDs)
        pageIDs.reserve(count);
    m_file->ReservePages(count);
    for (int i = 0; i < count; ++i) {
        const uint32_t fileID = fileIDs[size_t(i)];
        const uint32_t id = !ownIDs && pageIDs.contains(fileID) ? 0 : fileID;
        CCA_GRect box = pageBoxes.at(i);
        if (box.IsEmpty())
            box = m_defaultBox;
        OFD_Page *page = m_document->AddPage(box, id);
        if (!ownIDs)
            pageIDs.insert(page->ID());
        page->SetParsed(false);
        page->SetAnnotsLoaded(false);
        m_file->AddPage(page, pagePaths.at(i), fileID);
    }
}

void OFD_PackageReader::ReadAttachments(const QString &location)
{
    const QString path = LocateEntry({OFD_PackagePath::Resolve(m_documentFolder, location)});
    std::unique_ptr<OFD_XmlElement> root = ReadPart(path, nullptr);
    if (!root)
        return;
    const QString folder = OFD_PackagePath::Folder(path);
    for (const OFD_XmlElement *element : root->Children(QStringLiteral("Attachment"))) {
        G_AttachmentInfo info;
        info.id = element->UIntAttribute(QStringLiteral("ID"));
        info.name = OFD_ToUtf8(element->Attribute(QStringLiteral("Name")));
        info.format = OFD_ToUtf8(element->Attribute(QStringLiteral("Format")));
        info.creationDate = OFD_ToUtf8(element->Attribute(QStringLiteral("CreationDate")));
        info.modDate = OFD_ToUtf8(element->Attribute(QStringLiteral("ModDate")));
        info.sizeKB = element->DoubleAttribute(QStringLiteral("Size"), 0);
        info.listed = element->BoolAttribute(QStringLiteral("Visible"), true);
        info.usage = OFD_ToUtf8(element->Attribute(QStringLiteral("Usage")));
        const QString location = element->ChildText(QStringLiteral("FileLoc"));
        const QString file = LocateEntry({OFD_PackagePath::Resolve(folder, location),
                                          OFD_PackagePath::Resolve(m_documentFolder, location),
                                          OFD_PackagePath::Resolve(QString(), location)});
        info.filePath = OFD_ToUtf8(file);
        m_document->AddLazyAttachment(info, OFD_ZipArchive::EntryReader(m_archive, file));
    }
}

void OFD_PackageReader::ReadAnnotIndex(const QString &location)
{
    QVector<OFD_PackageFile::IndexEntry> entries;
    const QString path = location.trimmed().isEmpty() ? QString()
                                                       : LocateEntry({OFD_PackagePath::Resolve(m_documentFolder, location)});
    std::unique_ptr<OFD_XmlElement> root = path.isEmpty() ? nullptr : ReadPart(path, nullptr);
    // Any other part named as the index is never read or written as one.
    const bool exists = root && root->Is(QStringLiteral("Annotations"));
    if (exists) {
        const QString folder = OFD_PackagePath::Folder(path);
        for (const OFD_XmlElement *element : root->Children(QStringLiteral("Page"))) {
            OFD_PackageFile::IndexEntry entry;
            entry.pageID = element->UIntAttribute(QStringLiteral("PageID"));
            const QString fileLoc = element->ChildText(QStringLiteral("FileLoc"));
            entry.filePath = LocateEntry({OFD_PackagePath::Resolve(folder, fileLoc),
                                          OFD_PackagePath::Resolve(m_documentFolder, fileLoc),
                                          OFD_PackagePath::Resolve(QString(), fileLoc)});
            entry.element = std::shared_ptr<const OFD_XmlElement>(element->Clone());
            entries.append(entry);
        }
    }
    const bool owned = exists || path.isEmpty() || m_archive->FindEntry(path).isEmpty();
    m_file->SetAnnotIndex(path, exists, owned, entries);
}

const OFD_XmlElement *OFD_PackageReader::TemplateRoot(uint32_t templateID)
{
    const auto cached = m_templates.constFind(templateID);
    if (cached != m_templates.constEnd())
        return cached.value().get();
    std::shared_ptr<OFD_XmlElement> root(ReadPart(m_templatePaths.value(templateID), nullptr));
    m_templates.insert(templateID, root);
    return root.get();
}

// Page and template resources sit above the document's; their media join the document.
std::unique_ptr<OFD_Resources> OFD_PackageReader::ResourceScope(const OFD_XmlElement &partRoot, const QString &partPath)
{
    auto scope = std::make_unique<OFD_Resources>(m_resources.get());
    for (const OFD_XmlElement *res : partRoot.Children(QStringLiteral("PageRes"))) {
        const QString path = LocateEntry({OFD_PackagePath::Resolve(OFD_PackagePath::Folder(partPath), res->Text()),
                                          OFD_PackagePath::Resolve(m_documentFolder, res->Text())});
        if (std::unique_ptr<OFD_XmlElement> part = ReadPart(path, nullptr))
            scope->AddPart(*part, path, *m_archive);
    }
    for (const uint32_t id : scope->MultiMediaIDs()) {
        G_MultiMediaInfo existing;
        const OFD_MediaResource *media = scope->MultiMedia(id);
        if (!m_document->MultiMediaInfo(id, existing) && media)
            AddLazyMedium(*m_document, m_archive, id, *media);
    }
    return scope;
}

bool OFD_PackageReader::LoadContent(OFD_Page *page)
{
    const OFD_PackageFile::PageState *state = m_file->State(page);
    if (!state)
        return false;
    const QString contentPath = state->contentPath;
    std::unique_ptr<OFD_XmlElement> root = ReadPart(contentPath, nullptr);
    if (!root)
        return false;
    OFD_LoadingScope loading(m_document->Context().get());

    struct Layer
    {
        int rank;
        const OFD_XmlElement *element;
        const OFD_Resources *resources;
    };
    std::vector<Layer> layers;
    std::vector<std::unique_ptr<OFD_Resources>> scopes;
    const auto scopeOf = [this, &scopes](const OFD_XmlElement &partRoot, const QString &partPath) {
        scopes.push_back(ResourceScope(partRoot, partPath));
        return scopes.back().get();
    };
    const OFD_Resources *pageScope = scopeOf(*root, contentPath);
    for (const OFD_XmlElement *use : root->Children(QStringLiteral("Template"))) {
        const uint32_t templateID = use->UIntAttribute(QStringLiteral("TemplateID"));
        const OFD_XmlElement *templateRoot = TemplateRoot(templateID);
        if (!templateRoot)
            continue;
        const OFD_Resources *scope = scopeOf(*templateRoot, m_templatePaths.value(templateID));
        const bool foreground = use->Attribute(QStringLiteral("ZOrder")) == QLatin1String("Foreground");
        if (const OFD_XmlElement *content = templateRoot->Child(QStringLiteral("Content")))
            for (const OFD_XmlElement *layer : content->Children(QStringLiteral("Layer")))
                layers.push_back({foreground ? 4 : LayerRank(*layer) * 2, layer, scope});
    }
    if (const OFD_XmlElement *content = root->Child(QStringLiteral("Content")))
        for (const OFD_XmlElement *layer : content->Children(QStringLiteral("Layer")))
            layers.push_back({LayerRank(*layer) * 2 + 1, layer, pageScope});
    std::stable_sort(layers.begin(), layers.end(), [](const Layer &a, const Layer &b) { return a.rank < b.rank; });

    std::vector<std::unique_ptr<IG_PageObject>> objects;
    for (const Layer &layer : layers) {
        OFD_ContentReader reader(m_document, *layer.resources, m_archive, &m_bookmarks);
        reader.ReadBlock(*layer.element, layer.element->UIntAttribute(QStringLiteral("DrawParam")), objects);
    }
    for (auto &object : objects)
        page->AddPageObject(std::move(object));
    return true;
}

bool OFD_PackageReader::LoadAnnots(OFD_Page *page)
{
    OFD_PackageFile::PageState *found = m_file->State(page);
    if (!found)
        return false;
    OFD_LoadingScope loading(m_document->Context().get());
    OFD_PackageFile::PageState &state = *found;
    state.annotsLoaded = true;
    state.annotsComplete = false;
    state.annots.clear();
    state.annotParts.clear();
    OFD_ContentReader reader(m_document, *m_resources, m_archive, &m_bookmarks);
    bool ok = true;
    for (const QString &path : qAsConst(state.annotFiles)) {
        std::unique_ptr<OFD_XmlElement> root = ReadPart(path, nullptr);
        if (!root) {
            ok = false;
            continue;
        }
        if (!root->Is(QStringLiteral("PageAnnot"))) {
            ok = false;
            continue;
        }
        state.annotParts.insert(path);
        for (int child = 0; child < root->ChildCount(); ++child) {
            const OFD_XmlElement *element = root->ChildAt(child);
            if (!element->Is(QStringLiteral("Annot")))
                continue;
            const uint32_t fileID = element->UIntAttribute(QStringLiteral("ID"));
            const bool fresh = fileID == 0 || m_loadedAnnotIDs.contains(fileID);
            OFD_Annot *annot = reader.ReadAnnot(*element, *page, fresh);
            if (!annot)
                continue;
            m_loadedAnnotIDs.insert(annot->ID());
            state.annots.append({annot->ID(), child, path});
        }
    }
    state.annotsComplete = true;
    return ok;
}

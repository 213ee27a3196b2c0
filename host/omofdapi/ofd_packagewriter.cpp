#include "ofd_packagewriter.h"

#include "ofd_annot.h"
#include "ofd_document.h"
#include "ofd_documentpatch.h"
#include "ofd_imageobject.h"
#include "ofd_packagepath.h"
#include "ofd_packagereader.h"
#include "ofd_page.h"
#include "ofd_textobject.h"
#include "ofd_utf8.h"
#include "ofd_xmlelement.h"
#include "ofd_xmlserializer.h"
#include "ofd_zipwriter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QUuid>

#include <algorithm>
#include <functional>
#include <map>

namespace {

QString Tr(const char *text)
{
    return QCoreApplication::translate("OFD_PackageWriter", text);
}

const QStringList &DocumentOrder()
{
    static const QStringList order = {
        QStringLiteral("CommonData"), QStringLiteral("Pages"),       QStringLiteral("Outlines"),
        QStringLiteral("Permissions"), QStringLiteral("Actions"),    QStringLiteral("VPreferences"),
        QStringLiteral("Bookmarks"),  QStringLiteral("Annotations"), QStringLiteral("CustomTags"),
        QStringLiteral("Attachments"), QStringLiteral("Extensions")};
    return order;
}

const QStringList &CommonDataOrder()
{
    static const QStringList order = {QStringLiteral("MaxUnitID"),   QStringLiteral("PageArea"),
                                      QStringLiteral("PublicRes"),   QStringLiteral("DocumentRes"),
                                      QStringLiteral("TemplatePage"), QStringLiteral("DefaultCS")};
    return order;
}

const QStringList &PageAreaOrder()
{
    static const QStringList order = {QStringLiteral("PhysicalBox"), QStringLiteral("ApplicationBox"),
                                      QStringLiteral("ContentBox"), QStringLiteral("BleedBox")};
    return order;
}

QString PageBoxText(const OFD_Document &document)
{
    const OFD_Page *first = document.Page(0);
    const CCA_GRect box = first ? first->PageBox() : CCA_GRect(0, 0, 210, 297);
    return OFD_XmlSerializer::BoxText(CCA_GRect(0, 0, box.Width(), box.Height()));
}

// A package path not used yet: `folder` + `name`, or with a number added to the folder.
QString FreePath(const QString &folder, const QString &name, const std::function<bool(const QString &)> &taken)
{
    QString path = folder + name;
    for (int n = 1; taken(path); ++n)
        path = folder.left(folder.size() - 1) + QLatin1Char('_') + QString::number(n) + QLatin1Char('/') + name;
    return path;
}

bool WriteEntries(OFD_ZipWriter &zip, const QList<QPair<QString, QByteArray>> &entries, QString *error)
{
    for (const auto &entry : entries)
        if (!zip.AddFile(entry.first, entry.second, QDateTime(), error))
            return false;
    return true;
}

// The last guard before a package is written over: only parts read as what they are
// rewritten as are replaced or dropped, and new entries are new.
bool OwnsEveryWrite(const OFD_PackageFile &file, const OFD_Document &document, const QHash<QString, QByteArray> &replaced,
                    const QList<QPair<QString, QByteArray>> &added, const QSet<QString> &dropped, QString *error)
{
    QSet<QString> owned{file.DocumentPath()};
    if (file.AnnotIndexExists())
        owned.insert(file.AnnotIndexPath());
    for (int i = 0; i < document.PageCount(); ++i) {
        const OFD_Page *page = document.Page(i);
        if (const OFD_PackageFile::PageState *state = file.State(page))
            for (const QString &part : state->annotParts)
                if (file.OwnsAnnotPart(page, part))
                    owned.insert(part);
    }
    QStringList foreign;
    for (auto it = replaced.constBegin(); it != replaced.constEnd(); ++it)
        if (!owned.contains(it.key()))
            foreign.append(it.key());
    for (const QString &name : dropped)
        if (!owned.contains(name) && !file.Archive()->FindEntry(name).isEmpty())
            foreign.append(name);
    for (const auto &entry : added)
        if (!file.Archive()->FindEntry(entry.first).isEmpty())
            foreign.append(entry.first);
    if (foreign.isEmpty())
        return true;
    if (error)
        *error = Tr("Saving would overwrite %1, which this document did not read as its annotations; nothing was saved.")
                     .arg(foreign.first());
    return false;
}

// The Annot elements as the package holds them, each part read when first asked for.
class OriginalAnnots
{
public:
    explicit OriginalAnnots(const OFD_ZipArchive &archive) : m_archive(archive) {}

    const OFD_XmlElement *Find(const OFD_PackageFile::LoadedAnnot &loaded)
    {
        auto it = m_parts.find(loaded.part);
        if (it == m_parts.end()) {
            QByteArray bytes;
            std::unique_ptr<OFD_XmlElement> root;
            if (m_archive.ReadEntry(loaded.part, bytes, nullptr))
                root = OFD_XmlElement::Parse(bytes, nullptr);
            it = m_parts.emplace(loaded.part, std::move(root)).first;
        }
        const OFD_XmlElement *root = it->second.get();
        if (!root || loaded.child < 0 || loaded.child >= root->ChildCount())
            return nullptr;
        const OFD_XmlElement *element = root->ChildAt(loaded.child);
        return element->Is(QStringLiteral("Annot")) ? element : nullptr;
    }

private:
    const OFD_ZipArchive &m_archive;
    std::map<QString, std::unique_ptr<OFD_XmlElement>> m_parts;
};

bool IsEdited(const IG_Annot *annot)
{
    const auto *ofd = OFD_Annot::Of(annot);
    return !ofd || ofd->IsEdited();
}

// Whether the page holds the annotations it was read with, in the same order, none edited.
bool AnnotsUnchanged(const OFD_Page &page, const OFD_PackageFile::PageState &state)
{
    if (page.AnnotCount() != state.annots.size())
        return false;
    for (int k = 0; k < page.AnnotCount(); ++k) {
        const IG_Annot *annot = page.AnnotAt(k);
        if (annot->ID() != state.annots.at(k).id || IsEdited(annot))
            return false;
    }
    return true;
}

} // namespace

bool OFD_PackageWriter::Save(OFD_Document *document, const QString &filePath, QString *error)
{
    if (!document) {
        if (error)
            *error = Tr("There is no document to save.");
        return false;
    }
    if (filePath.isEmpty()) {
        if (error)
            *error = Tr("No file name was given.");
        return false;
    }
    if (OFD_PackageFile *file = OFD_PackageReader::FileOf(document))
        return SaveUpdate(document, *file, filePath, error);
    return SaveNew(document, filePath, error);
}

namespace {

// Saves a document over the package it was read from: each changed page's annotation part,
// the index and Document.xml are written anew, every other entry is copied as stored.
class PackageUpdate
{
public:
    PackageUpdate(OFD_Document *document, OFD_PackageFile &file, QString *error)
        : m_document(document), m_file(file), m_archive(file.Archive()), m_error(error),
          m_originals(*file.Archive()), m_index(file.AnnotIndex()), m_indexChanged(!file.AnnotIndexExists())
    {
    }

    bool Save(const QString &filePath);

private:
    void ClaimIndexPath();
    bool Taken(const QString &path) const;
    bool WritePageAnnots(int pageIndex);
    QString OwnPart(const OFD_Page *page, const OFD_PackageFile::PageState &state, bool empty);
    void WriteIndex();
    bool WriteDocumentPart();
    // Whether the annotation index is written where the package did not have it.
    bool IndexMoved() const { return m_indexPath != m_file.AnnotIndexPath(); }
    void EditDocumentTree(OFD_XmlElement &root, uint32_t maxID) const;
    bool DocumentText(QByteArray &bytes, QString *error) const;
    QByteArray PatchedDocument(const OFD_XmlElement &root, uint32_t maxID) const;
    bool SaveUnchanged(const QString &filePath);
    bool WriteZip(const QString &filePath);
    void Rebase(const QString &filePath);
    void Replace(const QString &path, const QByteArray &bytes, bool first = false);
    bool Fail(const QString &reason);

    OFD_Document *m_document;
    OFD_PackageFile &m_file;
    const std::shared_ptr<OFD_ZipArchive> m_archive;
    QString *m_error;
    OriginalAnnots m_originals;
    QSet<QString> m_taken; // case-folded names claimed besides the package's entries
    bool m_claimed = false;
    QString m_indexPath;
    QVector<OFD_PackageFile::IndexEntry> m_index;
    bool m_indexChanged;
    QHash<QString, QByteArray> m_replaced; // stored entry name -> new bytes
    QList<QPair<QString, QByteArray>> m_added;
    QSet<QString> m_dropped;
    QHash<const OFD_Page *, QVector<OFD_PackageFile::LoadedAnnot>> m_written;
    std::shared_ptr<const OFD_XmlElement> m_documentRoot; // as written, when it was
};

bool PackageUpdate::Fail(const QString &reason)
{
    if (m_error)
        *m_error = reason;
    return false;
}

void PackageUpdate::Replace(const QString &path, const QByteArray &bytes, bool first)
{
    const QString stored = m_archive->FindEntry(path);
    if (!stored.isEmpty())
        m_replaced.insert(stored, bytes);
    else if (first)
        m_added.prepend(qMakePair(path, bytes));
    else
        m_added.append(qMakePair(path, bytes));
}

bool PackageUpdate::Taken(const QString &path) const
{
    return !m_archive->FindEntry(path).isEmpty() || m_taken.contains(path.toCaseFolded());
}

// Done when the first page is rewritten: an unchanged save needs no new names.
void PackageUpdate::ClaimIndexPath()
{
    m_claimed = true;
    for (const OFD_PackageFile::IndexEntry &entry : m_index)
        m_taken.insert(entry.filePath.toCaseFolded());
    m_indexPath = m_file.AnnotIndexOwned() ? m_file.AnnotIndexPath() : QString();
    if (m_indexPath.isEmpty())
        m_indexPath = FreePath(OFD_PackagePath::Folder(m_file.DocumentPath()) + QStringLiteral("Annots/"),
                               QStringLiteral("Annotations.xml"), [this](const QString &path) { return Taken(path); });
    m_taken.insert(m_indexPath.toCaseFolded());
}

bool PackageUpdate::Save(const QString &filePath)
{
    for (int i = 0; i < m_document->PageCount(); ++i)
        if (!WritePageAnnots(i))
            return false;
    // A part still listed for another page stays.
    for (const OFD_PackageFile::IndexEntry &entry : qAsConst(m_index))
        m_dropped.remove(entry.filePath);

    if (m_written.isEmpty())
        return SaveUnchanged(filePath);
    if (m_indexChanged)
        WriteIndex();
    if (!WriteDocumentPart() || !OwnsEveryWrite(m_file, *m_document, m_replaced, m_added, m_dropped, m_error)
        || !WriteZip(filePath))
        return false;
    Rebase(filePath);
    return true;
}

// Nothing to write anew: the file is copied when a rewrite would hold the same bytes.
bool PackageUpdate::SaveUnchanged(const QString &filePath)
{
    bool ok = QFileInfo(filePath) == QFileInfo(m_file.SavedPath());
    if (!ok && m_archive->ListsEveryRecord() && m_archive->FileUnchanged())
        ok = OFD_ZipWriter::CopyPackage(*m_archive, filePath, m_error);
    else if (!ok)
        ok = WriteZip(filePath);
    if (ok)
        m_file.Rebase(filePath, nullptr);
    return ok;
}

// The page's first part of its own takes all its annotations; its other own parts go. Parts it
// shares or that held no annotations stay as they are.
QString PackageUpdate::OwnPart(const OFD_Page *page, const OFD_PackageFile::PageState &state, bool empty)
{
    QString path;
    for (const QString &file : state.annotFiles) {
        if (!m_file.OwnsAnnotPart(page, file))
            continue;
        if (path.isEmpty() && !empty)
            path = file;
        else
            m_dropped.insert(file);
    }
    for (int e = m_index.size() - 1; e >= 0; --e) {
        if (m_index.at(e).pageID == state.fileID && !m_index.at(e).filePath.isEmpty()
            && (path.isEmpty() || m_index.at(e).filePath != path)) {
            m_index.remove(e);
            m_indexChanged = true;
        }
    }
    return path;
}

bool PackageUpdate::WritePageAnnots(int pageIndex)
{
    OFD_Page *page = m_document->Page(pageIndex);
    if (!page->IsAnnotsLoaded())
        return true;
    const OFD_PackageFile::PageState *state = m_file.State(page);
    if (!state || AnnotsUnchanged(*page, *state))
        return true;
    if (!state->annotsComplete)
        return Fail(Tr("The annotations of page %1 could not all be read; saving would lose some of them. "
                       "Nothing was saved.").arg(pageIndex + 1));
    if (!m_claimed)
        ClaimIndexPath();
    QHash<uint32_t, const OFD_PackageFile::LoadedAnnot *> before;
    for (const OFD_PackageFile::LoadedAnnot &loaded : state->annots)
        before.insert(loaded.id, &loaded);
    auto pageAnnot = std::make_unique<OFD_XmlElement>(QStringLiteral("PageAnnot"));
    QVector<OFD_PackageFile::LoadedAnnot> now;
    for (int k = 0; k < page->AnnotCount(); ++k) {
        const IG_Annot *annot = page->AnnotAt(k);
        const OFD_PackageFile::LoadedAnnot *old = before.value(annot->ID());
        const OFD_XmlElement *original = old ? m_originals.Find(*old) : nullptr;
        if (original && !IsEdited(annot)) {
            // Unchanged: written back as it was read, under the ID it has now.
            std::unique_ptr<OFD_XmlElement> copy = original->Clone();
            copy->SetAttribute(QStringLiteral("ID"), QString::number(annot->ID()));
            pageAnnot->AddChild(std::move(copy));
        } else {
            const QString typeText = original ? original->Attribute(QStringLiteral("Type")) : QString();
            pageAnnot->AddChild(OFD_XmlSerializer::AnnotElement(*annot, typeText));
        }
        now.append({annot->ID(), k, QString()});
    }
    QString path = OwnPart(page, *state, now.isEmpty());
    if (!now.isEmpty()) {
        if (path.isEmpty()) {
            // New page parts always go below Annots/ beside Document.xml, wherever the index is.
            path = FreePath(OFD_PackagePath::Folder(m_file.DocumentPath()) + QStringLiteral("Annots/Page_%1/").arg(pageIndex),
                            QStringLiteral("Annotation.xml"), [this](const QString &taken) { return Taken(taken); });
            m_taken.insert(path.toCaseFolded());
            OFD_PackageFile::IndexEntry entry;
            entry.pageID = page->ID();
            entry.filePath = path;
            m_index.append(entry);
            m_indexChanged = true;
        }
        for (OFD_PackageFile::LoadedAnnot &loaded : now)
            loaded.part = path;
        Replace(path, pageAnnot->ToDocument());
    }
    m_written.insert(page, now);
    return true;
}

void PackageUpdate::WriteIndex()
{
    const QString indexFolder = OFD_PackagePath::Folder(m_indexPath);
    auto root = std::make_unique<OFD_XmlElement>(QStringLiteral("Annotations"));
    for (const OFD_PackageFile::IndexEntry &entry : qAsConst(m_index)) {
        if (entry.element) {
            root->AddChild(entry.element->Clone());
            continue;
        }
        OFD_XmlElement *page = root->AddChild(QStringLiteral("Page"));
        page->SetAttribute(QStringLiteral("PageID"), QString::number(entry.pageID));
        page->AddChild(QStringLiteral("FileLoc"), OFD_PackagePath::LocationFrom(indexFolder, entry.filePath));
    }
    Replace(m_indexPath, root->ToDocument(), true);
}

// Document.xml changes only for a higher MaxUnitID or a new index location.
bool PackageUpdate::WriteDocumentPart()
{
    const uint32_t maxID = qMax(m_document->MaxID(), m_file.FileMaxUnitID());
    if (maxID == m_file.FileMaxUnitID() && !IndexMoved())
        return true;
    std::unique_ptr<OFD_XmlElement> parsed;
    const OFD_XmlElement *read = m_file.DocumentRoot().get();
    if (!read) {
        QByteArray bytes;
        if (!DocumentText(bytes, m_error))
            return false;
        QString parseError;
        parsed = OFD_XmlElement::Parse(bytes, &parseError);
        if (!parsed)
            return Fail(Tr("%1: %2").arg(m_file.DocumentPath(), parseError));
        read = parsed.get();
    }
    // Edited as text, the part keeps its tree as it was read: FileMaxUnitID() and AnnotIndexPath()
    // hold what the edits changed, and copying a tree of every page costs more than the edits.
    const QByteArray patched = PatchedDocument(*read, maxID);
    if (!patched.isEmpty()) {
        m_replaced.insert(m_file.DocumentPath(), patched);
        m_documentRoot = std::move(parsed);
        return true;
    }
    std::unique_ptr<OFD_XmlElement> root = parsed ? std::move(parsed) : read->Clone();
    EditDocumentTree(*root, maxID);
    m_replaced.insert(m_file.DocumentPath(), root->ToDocument());
    m_documentRoot = std::move(root);
    return true;
}

// The edits a rewrite makes: the new MaxUnitID and index location, and what a part must hold in
// the order the schema gives it.
void PackageUpdate::EditDocumentTree(OFD_XmlElement &root, uint32_t maxID) const
{
    OFD_XmlElement *common = root.Child(QStringLiteral("CommonData"));
    if (!common)
        common = root.AddChild(std::make_unique<OFD_XmlElement>(QStringLiteral("CommonData")), 0);
    OFD_XmlElement *max = common->Child(QStringLiteral("MaxUnitID"));
    if (!max)
        max = common->AddChild(QStringLiteral("MaxUnitID"));
    max->SetText(QString::number(maxID));
    OFD_XmlElement *area = common->Child(QStringLiteral("PageArea"));
    if (!area)
        common->AddChild(QStringLiteral("PageArea"))->AddChild(QStringLiteral("PhysicalBox"), PageBoxText(*m_document));
    else
        area->SortChildren(PageAreaOrder());
    common->SortChildren(CommonDataOrder());
    // A tree kept after a text edit may lack the index reference the edit added.
    OFD_XmlElement *annotations = root.Child(QStringLiteral("Annotations"));
    if (!annotations || IndexMoved()) {
        if (!annotations)
            annotations = root.AddChild(QStringLiteral("Annotations"));
        annotations->SetText(OFD_PackagePath::LocationFrom(OFD_PackagePath::Folder(m_file.DocumentPath()), m_indexPath));
    }
    root.SortChildren(DocumentOrder());
}

// Document.xml as the package holds it: the text kept from the open or the last save, else read.
bool PackageUpdate::DocumentText(QByteArray &bytes, QString *error) const
{
    bytes = m_file.DocumentText();
    return !bytes.isEmpty() || m_archive->ReadEntry(m_file.DocumentPath(), bytes, error);
}

// The part's text with the edits the tree gets, when they are all it needs: it is in the order
// a rewrite sorts it into, has what a rewrite adds, and the index reference is new and goes last.
// Empty when the part must be written from its tree.
QByteArray PackageUpdate::PatchedDocument(const OFD_XmlElement &root, uint32_t maxID) const
{
    const OFD_XmlElement *common = root.Child(QStringLiteral("CommonData"));
    const OFD_XmlElement *area = common ? common->Child(QStringLiteral("PageArea")) : nullptr;
    const bool indexMoved = IndexMoved();
    if (!area || !common->Child(QStringLiteral("MaxUnitID")) || !OFD_DocumentPatch::InOrder(root, DocumentOrder())
        || !OFD_DocumentPatch::InOrder(*common, CommonDataOrder()) || !OFD_DocumentPatch::InOrder(*area, PageAreaOrder()))
        return QByteArray();
    const bool hasIndex = root.Child(QStringLiteral("Annotations")) || !m_file.AnnotIndexPath().isEmpty();
    const int annotationsRank = DocumentOrder().indexOf(QStringLiteral("Annotations"));
    if (hasIndex ? indexMoved
                 : !indexMoved || (root.ChildCount() > 0
                                   && OFD_DocumentPatch::Rank(*root.ChildAt(root.ChildCount() - 1), DocumentOrder()) > annotationsRank))
        return QByteArray();
    QByteArray bytes;
    if (!DocumentText(bytes, nullptr) || !OFD_DocumentPatch::SetMaxUnitID(bytes, maxID))
        return QByteArray();
    const QString location = OFD_PackagePath::LocationFrom(OFD_PackagePath::Folder(m_file.DocumentPath()), m_indexPath);
    if (!hasIndex && !OFD_DocumentPatch::AppendAnnotations(bytes, location))
        return QByteArray();
    return bytes;
}

// Untouched entries are copied raw, replaced ones written anew, new ones appended. The few
// entries that change are found by their record once, so that the others need no lookup.
bool PackageUpdate::WriteZip(const QString &filePath)
{
    OFD_ZipWriter zip;
    if (!zip.Begin(filePath, m_error))
        return false;
    std::vector<bool> changed(m_archive->Directory().Records().size());
    const auto mark = [&](const QString &name) {
        if (const int record = m_archive->RecordIndex(name); record >= 0)
            changed[size_t(record)] = true;
    };
    std::for_each(m_replaced.keyBegin(), m_replaced.keyEnd(), mark);
    std::for_each(m_dropped.cbegin(), m_dropped.cend(), mark);
    const QStringList names = m_archive->EntryNames();
    for (int i = 0; i < names.size(); ++i) {
        const int record = m_archive->ListedRecord(i);
        const QString &name = names.at(i);
        bool copied = false;
        if (record >= 0 && !changed[size_t(record)]) {
            copied = zip.AddCopy(*m_archive, record, m_error);
        } else if (m_dropped.contains(name)) {
            continue;
        } else if (m_replaced.contains(name)) {
            copied = zip.AddFile(name, m_replaced.value(name), QDateTime(), m_error);
        } else if (m_archive->IsInMemory(name)) {
            QByteArray data;
            copied = m_archive->ReadEntry(name, data, m_error) && zip.AddFile(name, data, m_archive->EntryDate(name), m_error);
        } else {
            copied = zip.AddCopy(*m_archive, name, m_error);
        }
        if (!copied)
            return false;
    }
    return WriteEntries(zip, m_added, m_error) && zip.Commit(m_error);
}

// The package file now describes what was saved, and the saved annotations count as unchanged.
void PackageUpdate::Rebase(const QString &filePath)
{
    OFD_PackageFile::Changes saved;
    saved.written = m_replaced;
    for (const auto &entry : qAsConst(m_added))
        saved.written.insert(entry.first, entry.second);
    saved.removed = m_dropped;
    saved.index = m_index;
    saved.indexPath = m_indexPath;
    saved.maxUnitID = qMax(m_document->MaxID(), m_file.FileMaxUnitID());
    for (auto it = m_written.constBegin(); it != m_written.constEnd(); ++it)
        for (int k = 0; k < it.key()->AnnotCount(); ++k)
            if (auto *annot = OFD_Annot::Of(it.key()->AnnotAt(k)))
                annot->SetEdited(false);
    saved.annots = m_written;
    saved.documentRoot = std::move(m_documentRoot);
    m_file.Rebase(filePath, &saved);
}

} // namespace

bool OFD_PackageWriter::SaveUpdate(OFD_Document *document, OFD_PackageFile &file, const QString &filePath,
                                   QString *error)
{
    if (!PackageUpdate(document, file, error).Save(filePath))
        return false;
    document->SetFilePath(filePath);
    document->SetModified(false);
    return true;
}

namespace {

QString Extension(const QString &format, const QString &fallback)
{
    const QString clean = format.trimmed().toLower();
    static const QRegularExpression plain(QStringLiteral("^[a-z0-9]{1,8}$"));
    return plain.match(clean).hasMatch() ? clean : fallback;
}

// The last part of a name, without anything that could leave a folder.
QString SafeFileName(const QString &name, const QString &fallback)
{
    QString base = name.section(QLatin1Char('/'), -1).section(QLatin1Char('\\'), -1).trimmed();
    if (base.isEmpty() || base == QLatin1String(".") || base == QLatin1String(".."))
        base = fallback;
    return base;
}

// xs:dateTime of a date text in the forms real files use; empty when it is none.
QString XsDateTime(const QString &text)
{
    const QString trimmed = text.trimmed();
    for (const char *format : {"yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd-HH-mm-ss"}) {
        const QDateTime time = QDateTime::fromString(trimmed, QLatin1String(format));
        if (time.isValid())
            return time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    }
    const QString date = OFD_XmlSerializer::XsDate(trimmed);
    return date.isEmpty() ? QString() : date + QStringLiteral("T00:00:00");
}

// Writes a document built in memory as a whole new package.
class NewPackage
{
public:
    explicit NewPackage(OFD_Document *document) : m_document(document) {}

    bool Save(const QString &filePath, QString *error);

private:
    QString Claim(const QString &folder, const QString &name);
    void AddMedia(uint32_t id, const QString &type, const QString &format, const QString &wanted, const QByteArray &data);
    void AddDocumentMedia();
    uint32_t FontID(const OFD_TextObject &text);
    uint32_t ImageID(const OFD_ImageObject &image);
    void AddPage(int pageIndex, const OFD_XmlSerializer::ResourceMap &resources);
    void AddAttachments();
    void AddDocumentParts();

    OFD_Document *m_document;
    const QString m_docFolder = QStringLiteral("Doc_0/");
    const QString m_indexPath = QStringLiteral("Doc_0/Annots/Annotations.xml");
    const QString m_attachmentsPath = QStringLiteral("Doc_0/Attachments.xml");
    QList<QPair<QString, QByteArray>> m_entries;
    QSet<QString> m_taken;
    std::unique_ptr<OFD_XmlElement> m_res;
    OFD_XmlElement *m_fonts = nullptr;
    OFD_XmlElement *m_medias = nullptr;
    QHash<QString, uint32_t> m_fontIDs;
    QHash<const OFD_ImageObject *, uint32_t> m_imageIDs;
    std::unique_ptr<OFD_XmlElement> m_pages;
    std::unique_ptr<OFD_XmlElement> m_index;
    std::unique_ptr<OFD_XmlElement> m_attachments;
};

QString NewPackage::Claim(const QString &folder, const QString &name)
{
    const QString path = FreePath(folder, name, [this](const QString &taken) { return m_taken.contains(taken.toCaseFolded()); });
    m_taken.insert(path.toCaseFolded());
    return path;
}

bool NewPackage::Save(const QString &filePath, QString *error)
{
    m_res = std::make_unique<OFD_XmlElement>(QStringLiteral("Res"));
    m_res->SetAttribute(QStringLiteral("BaseLoc"), QStringLiteral("Res"));
    m_pages = std::make_unique<OFD_XmlElement>(QStringLiteral("Pages"));
    m_index = std::make_unique<OFD_XmlElement>(QStringLiteral("Annotations"));
    m_attachments = std::make_unique<OFD_XmlElement>(QStringLiteral("Attachments"));
    m_taken.insert(m_indexPath.toCaseFolded());

    // Resources: the fonts the text uses, the document's multimedia and the images' pictures.
    AddDocumentMedia();
    OFD_XmlSerializer::ResourceMap resources;
    resources.fontID = [this](const OFD_TextObject &text) { return FontID(text); };
    resources.imageID = [this](const OFD_ImageObject &image) { return ImageID(image); };
    for (int i = 0; i < m_document->PageCount(); ++i)
        AddPage(i, resources);
    AddAttachments();
    AddDocumentParts();

    OFD_ZipWriter zip;
    return zip.Begin(filePath, error) && WriteEntries(zip, m_entries, error) && zip.Commit(error);
}

void NewPackage::AddMedia(uint32_t id, const QString &type, const QString &format, const QString &wanted,
                          const QByteArray &data)
{
    if (!m_medias)
        m_medias = m_res->AddChild(QStringLiteral("MultiMedias"));
    const QString name = Claim(m_docFolder + QStringLiteral("Res/"), wanted);
    OFD_XmlElement *media = m_medias->AddChild(QStringLiteral("MultiMedia"));
    media->SetAttribute(QStringLiteral("ID"), QString::number(id));
    media->SetAttribute(QStringLiteral("Type"), type);
    if (!format.isEmpty())
        media->SetAttribute(QStringLiteral("Format"), format);
    media->AddChild(QStringLiteral("MediaFile"), OFD_PackagePath::LocationFrom(m_docFolder + QStringLiteral("Res/"), name));
    m_entries.append(qMakePair(name, data));
}

void NewPackage::AddDocumentMedia()
{
    for (int i = 0; i < m_document->MultiMediaCount(); ++i) {
        const uint32_t id = m_document->MultiMediaIDByIndex(i);
        G_MultiMediaInfo info;
        if (!m_document->MultiMediaInfo(id, info))
            continue;
        const QString type = info.type == G_MultiMedia_Audio ? QStringLiteral("Audio")
            : info.type == G_MultiMedia_Video                ? QStringLiteral("Video")
                                                              : QStringLiteral("Image");
        const QString format = OFD_FromUtf8(info.format);
        const QString name = SafeFileName(OFD_FromUtf8(info.filePath), QStringLiteral("media_%1.%2").arg(id).arg(Extension(format, QStringLiteral("bin"))));
        AddMedia(id, type, format, name, m_document->MultiMediaData(id));
    }
}

uint32_t NewPackage::FontID(const OFD_TextObject &text)
{
    const QString key = QStringList{text.FontName(), text.FamilyName(), QString::number(text.IsBold()),
                                    QString::number(text.IsItalic())}
                            .join(QLatin1Char('\n'));
    const auto it = m_fontIDs.constFind(key);
    if (it != m_fontIDs.constEnd())
        return it.value();
    uint32_t id = text.FontID();
    for (const uint32_t used : qAsConst(m_fontIDs))
        if (used == id)
            id = 0;
    if (id == 0)
        id = m_document->NewID();
    if (!m_fonts)
        m_fonts = m_res->AddChild(QStringLiteral("Fonts"), QString());
    OFD_XmlElement *font = m_fonts->AddChild(QStringLiteral("Font"));
    font->SetAttribute(QStringLiteral("ID"), QString::number(id));
    font->SetAttribute(QStringLiteral("FontName"), text.FontName().isEmpty() ? QStringLiteral("SimSun") : text.FontName());
    if (!text.FamilyName().isEmpty())
        font->SetAttribute(QStringLiteral("FamilyName"), text.FamilyName());
    if (text.IsItalic())
        font->SetAttribute(QStringLiteral("Italic"), QStringLiteral("true"));
    if (text.IsBold())
        font->SetAttribute(QStringLiteral("Bold"), QStringLiteral("true"));
    m_fontIDs.insert(key, id);
    return id;
}

uint32_t NewPackage::ImageID(const OFD_ImageObject &image)
{
    G_MultiMediaInfo info;
    if (image.ResourceID() != 0 && m_document->MultiMediaInfo(image.ResourceID(), info))
        return image.ResourceID();
    const auto it = m_imageIDs.constFind(&image);
    if (it != m_imageIDs.constEnd())
        return it.value();
    const uint32_t id = m_document->NewID();
    AddMedia(id, QStringLiteral("Image"), QString(), QStringLiteral("image_%1.png").arg(id), image.ImageData());
    m_imageIDs.insert(&image, id);
    return id;
}

// The page's content part, and its annotation part with an index entry when it has any.
void NewPackage::AddPage(int pageIndex, const OFD_XmlSerializer::ResourceMap &resources)
{
    OFD_Page *page = m_document->Page(pageIndex);
    page->Parse();
    page->LoadAnnots();
    const QString pagePath = Claim(m_docFolder + QStringLiteral("Pages/Page_%1/").arg(pageIndex), QStringLiteral("Content.xml"));
    OFD_XmlElement *pageRef = m_pages->AddChild(QStringLiteral("Page"));
    pageRef->SetAttribute(QStringLiteral("ID"), QString::number(page->ID()));
    pageRef->SetAttribute(QStringLiteral("BaseLoc"), pagePath.mid(m_docFolder.size()));

    auto content = std::make_unique<OFD_XmlElement>(QStringLiteral("Page"));
    OFD_XmlElement *area = content->AddChild(QStringLiteral("Area"));
    const CCA_GRect box = page->PageBox();
    area->AddChild(QStringLiteral("PhysicalBox"), OFD_XmlSerializer::BoxText(CCA_GRect(0, 0, box.Width(), box.Height())));
    if (page->PageObjectCount() > 0) {
        OFD_XmlElement *layer = content->AddChild(QStringLiteral("Content"))->AddChild(QStringLiteral("Layer"));
        layer->SetAttribute(QStringLiteral("ID"), QString::number(m_document->NewID()));
        layer->SetAttribute(QStringLiteral("Type"), QStringLiteral("Body"));
        for (int k = 0; k < page->PageObjectCount(); ++k)
            if (auto object = OFD_XmlSerializer::PageObjectElement(*page->PageObjectAt(k), m_document, &resources))
                layer->AddChild(std::move(object));
    }
    m_entries.append(qMakePair(pagePath, content->ToDocument()));

    if (page->AnnotCount() == 0)
        return;
    auto pageAnnot = std::make_unique<OFD_XmlElement>(QStringLiteral("PageAnnot"));
    for (int k = 0; k < page->AnnotCount(); ++k)
        pageAnnot->AddChild(OFD_XmlSerializer::AnnotElement(*page->AnnotAt(k), QString(), &resources));
    const QString annotPath = Claim(m_docFolder + QStringLiteral("Annots/Page_%1/").arg(pageIndex), QStringLiteral("Annotation.xml"));
    OFD_XmlElement *entry = m_index->AddChild(QStringLiteral("Page"));
    entry->SetAttribute(QStringLiteral("PageID"), QString::number(page->ID()));
    entry->AddChild(QStringLiteral("FileLoc"), OFD_PackagePath::LocationFrom(OFD_PackagePath::Folder(m_indexPath), annotPath));
    m_entries.append(qMakePair(annotPath, pageAnnot->ToDocument()));
}

void NewPackage::AddAttachments()
{
    for (int i = 0; i < m_document->AttachmentCount(); ++i) {
        G_AttachmentInfo info;
        if (!m_document->AttachmentInfo(i, info))
            continue;
        const QByteArray data = m_document->AttachmentData(i);
        const QString path = Claim(m_docFolder + QStringLiteral("Attachs/"),
                                   SafeFileName(OFD_FromUtf8(info.filePath), SafeFileName(OFD_FromUtf8(info.name), QStringLiteral("attachment_%1").arg(info.id))));
        OFD_XmlElement *attachment = m_attachments->AddChild(QStringLiteral("Attachment"));
        attachment->SetAttribute(QStringLiteral("ID"), QString::number(info.id));
        attachment->SetAttribute(QStringLiteral("Name"), OFD_FromUtf8(info.name));
        if (!info.format.IsEmpty())
            attachment->SetAttribute(QStringLiteral("Format"), OFD_FromUtf8(info.format));
        const QString created = XsDateTime(OFD_FromUtf8(info.creationDate));
        if (!created.isEmpty())
            attachment->SetAttribute(QStringLiteral("CreationDate"), created);
        const QString modified = XsDateTime(OFD_FromUtf8(info.modDate));
        if (!modified.isEmpty())
            attachment->SetAttribute(QStringLiteral("ModDate"), modified);
        attachment->SetAttribute(QStringLiteral("Size"), QString::number(data.size() / 1024.0, 'f', QLocale::FloatingPointShortest));
        attachment->SetAttribute(QStringLiteral("Visible"), info.listed ? QStringLiteral("true") : QStringLiteral("false"));
        if (!info.usage.IsEmpty())
            attachment->SetAttribute(QStringLiteral("Usage"), OFD_FromUtf8(info.usage));
        attachment->AddChild(QStringLiteral("FileLoc"), OFD_PackagePath::LocationFrom(m_docFolder, path));
        m_entries.append(qMakePair(path, data));
    }
}

// Document.xml, the public resources, the index and the attachment list, then OFD.xml first.
void NewPackage::AddDocumentParts()
{
    auto doc = std::make_unique<OFD_XmlElement>(QStringLiteral("Document"));
    OFD_XmlElement *common = doc->AddChild(QStringLiteral("CommonData"));
    OFD_XmlElement *max = common->AddChild(QStringLiteral("MaxUnitID"));
    common->AddChild(QStringLiteral("PageArea"))->AddChild(QStringLiteral("PhysicalBox"), PageBoxText(*m_document));
    if (m_res->ChildCount() > 0) {
        common->AddChild(QStringLiteral("PublicRes"), QStringLiteral("PublicRes.xml"));
        m_entries.append(qMakePair(m_docFolder + QStringLiteral("PublicRes.xml"), m_res->ToDocument()));
    }
    doc->AddChild(std::move(m_pages));
    if (m_index->ChildCount() > 0) {
        doc->AddChild(QStringLiteral("Annotations"), OFD_PackagePath::LocationFrom(m_docFolder, m_indexPath));
        m_entries.append(qMakePair(m_indexPath, m_index->ToDocument()));
    }
    if (m_attachments->ChildCount() > 0) {
        doc->AddChild(QStringLiteral("Attachments"), OFD_PackagePath::LocationFrom(m_docFolder, m_attachmentsPath));
        m_entries.append(qMakePair(m_attachmentsPath, m_attachments->ToDocument()));
    }
    max->SetText(QString::number(m_document->MaxID()));

    auto ofd = std::make_unique<OFD_XmlElement>(QStringLiteral("OFD"));
    ofd->SetAttribute(QStringLiteral("Version"), QStringLiteral("1.0"));
    ofd->SetAttribute(QStringLiteral("DocType"), QStringLiteral("OFD"));
    OFD_XmlElement *body = ofd->AddChild(QStringLiteral("DocBody"));
    OFD_XmlElement *info = body->AddChild(QStringLiteral("DocInfo"));
    info->AddChild(QStringLiteral("DocID"), QUuid::createUuid().toString(QUuid::Id128));
    info->AddChild(QStringLiteral("CreationDate"), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    body->AddChild(QStringLiteral("DocRoot"), m_docFolder + QStringLiteral("Document.xml"));
    m_entries.prepend(qMakePair(m_docFolder + QStringLiteral("Document.xml"), doc->ToDocument()));
    m_entries.prepend(qMakePair(QStringLiteral("OFD.xml"), ofd->ToDocument()));
}

} // namespace

bool OFD_PackageWriter::SaveNew(OFD_Document *document, const QString &filePath, QString *error)
{
    if (!NewPackage(document).Save(filePath, error))
        return false;
    document->SetFilePath(filePath);
    document->SetModified(false);
    return true;
}

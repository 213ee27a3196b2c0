#pragma once

#include "ofd_ziparchive.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class OFD_Page;
class OFD_XmlElement;

// What the package file on disk holds, as far as saving needs it: the archive, where the
// document part and the annotation index are, and which parts each page's annotations were
// read from. The reader fills it; the writer reads it and rebases it on what it saved.
class OFD_PackageFile
{
public:
    // Where an annotation was read: its ID, the part and which Annot child of it.
    struct LoadedAnnot
    {
        uint32_t id = 0;
        int child = 0;
        QString part;
    };
    struct PageState
    {
        QString contentPath;
        uint32_t fileID = 0;      // the page's ID in Document.xml (0 when it had none)
        QStringList annotFiles;   // its annotation parts, as listed in the index
        QSet<QString> annotParts; // those that held a PageAnnot when they were read
        bool annotsLoaded = false;
        bool annotsComplete = false; // false when reading them stopped halfway (out of memory)
        QVector<LoadedAnnot> annots;
    };
    struct IndexEntry
    {
        uint32_t pageID = 0;
        QString filePath; // empty when the location is unusable
        std::shared_ptr<const OFD_XmlElement> element;
    };

    OFD_PackageFile(std::shared_ptr<OFD_ZipArchive> archive, const QString &filePath);
    ~OFD_PackageFile();

    const std::shared_ptr<OFD_ZipArchive> &Archive() const { return m_archive; }
    // The file that holds what this describes: the one opened, then the last one saved.
    QString SavedPath() const { return m_savedPath; }

    QString DocumentPath() const { return m_documentPath; }
    // Document.xml as it was read or last rewritten, parsed; null before it was read. After text
    // edits its MaxUnitID and index reference may be older: FileMaxUnitID() and AnnotIndexPath() count.
    const std::shared_ptr<const OFD_XmlElement> &DocumentRoot() const { return m_documentRoot; }
    void SetDocument(const QString &path, std::shared_ptr<const OFD_XmlElement> root);
    // Its text as the package holds it, for edits that keep every other byte; empty when not kept.
    const QByteArray &DocumentText() const { return m_documentText; }
    void SetDocumentText(const QByteArray &text) { m_documentText = text; }
    uint32_t FileMaxUnitID() const { return m_fileMaxUnitID; }
    void SetFileMaxUnitID(uint32_t id) { m_fileMaxUnitID = id; }

    // Where Document.xml says the annotation index is (empty when it names none usable),
    // whether the package has it, and whether it may be written where it is: it is missing or
    // was read as an index.
    QString AnnotIndexPath() const { return m_indexPath; }
    bool AnnotIndexExists() const { return m_indexExists; }
    bool AnnotIndexOwned() const { return m_indexOwned; }
    const QVector<IndexEntry> &AnnotIndex() const { return m_index; }
    void SetAnnotIndex(const QString &path, bool exists, bool owned, const QVector<IndexEntry> &entries);

    void AddPage(const OFD_Page *page, const QString &contentPath, uint32_t fileID);
    // Room for `count` pages at once, before a package's pages are added.
    void ReservePages(int count);
    const PageState *State(const OFD_Page *page) const;
    PageState *State(const OFD_Page *page);
    // Whether `path` may take the annotations of `page` alone: it is listed for that page only
    // and was read as its annotation part, or is not in the package yet.
    bool OwnsAnnotPart(const OFD_Page *page, const QString &path) const;

    // What a save changed in the package.
    struct Changes
    {
        QHash<QString, QByteArray> written; // entries written anew
        QSet<QString> removed;              // entries left out
        QVector<IndexEntry> index;
        QString indexPath;
        uint32_t maxUnitID = 0;
        std::shared_ptr<const OFD_XmlElement> documentRoot; // null when Document.xml stayed
        QHash<const OFD_Page *, QVector<LoadedAnnot>> annots; // pages whose part was rewritten
    };
    // After a save to `filePath`: this then describes that file without reading it again. Null
    // `changes`: the package was saved as it was.
    void Rebase(const QString &filePath, const Changes *changes);

private:
    void AssignIndex(const QVector<IndexEntry> &entries);
    PageState *StateByFileID(uint32_t fileID);
    void SortPages() const;

    std::shared_ptr<OFD_ZipArchive> m_archive;
    QString m_savedPath;
    QString m_documentPath;
    std::shared_ptr<const OFD_XmlElement> m_documentRoot;
    QByteArray m_documentText;
    uint32_t m_fileMaxUnitID = 0;
    QString m_indexPath;
    bool m_indexExists = false;
    bool m_indexOwned = true;
    QVector<IndexEntry> m_index;
    QHash<QString, int> m_annotPartUsers; // pages listing each annotation part
    // A package's pages are added at once and looked up one by one later: their states lie in
    // the order added (moving when more are added), found through keys sorted on the first look
    // after an addition. Of equal keys the last added counts.
    std::vector<PageState> m_states;
    mutable std::vector<std::pair<const OFD_Page *, int>> m_statesByPage;
    mutable std::vector<std::pair<uint32_t, const OFD_Page *>> m_pagesByFileID;
    mutable bool m_pagesSorted = true;
};

#pragma once

#include "ofd_pageloader.h"
#include "ofd_ziparchive.h"

#include "ombase/cca_geometry.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

class OFD_Document;
class OFD_Resources;
class OFD_XmlElement;
class OFD_XmlParser;

// Reads an OFD package into an OFD_Document and stays with it as its page loader: page
// content and annotations are read when first needed. Keeps what the package writer needs
// to save the document again without touching the parts that did not change.
class OFD_PackageReader : public OFD_PageLoader
{
public:
    // Null with a reason when the file is no readable OFD package.
    static std::unique_ptr<OFD_Document> Open(const QString &filePath, QString *error,
                                              const OFD_ArchiveLimits &limits = OFD_ArchiveLimits());
    // The reader of a document opened by Open, or null.
    static OFD_PackageReader *Of(const OFD_Document *document);

    ~OFD_PackageReader() override;

    bool LoadContent(OFD_Page *page) override;
    bool LoadAnnots(OFD_Page *page) override;

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

    const std::shared_ptr<OFD_ZipArchive> &Archive() const { return m_archive; }
    const OFD_Document *Document() const { return m_document; }
    QString DocumentPath() const { return m_documentPath; }
    uint32_t FileMaxUnitID() const { return m_fileMaxUnitID; }
    // Where Document.xml says the annotation index is (empty when it names none usable),
    // and whether the package has it.
    QString AnnotIndexPath() const { return m_indexPath; }
    bool AnnotIndexExists() const { return m_indexExists; }
    // Whether the index may be written where it is: it is missing or was read as an index.
    bool AnnotIndexOwned() const { return m_indexOwned; }
    const QVector<IndexEntry> &AnnotIndex() const { return m_index; }
    const PageState *State(const OFD_Page *page) const;
    // Whether `path` may take the annotations of `page` alone: it is listed for that page only
    // and was read as its annotation part, or is not in the package yet.
    bool OwnsAnnotPart(const OFD_Page *page, const QString &path) const;

    // The file that holds what this reader describes: the one opened, then the last one saved.
    QString SavedPath() const { return m_savedPath; }
    // What a save changed in the package, so that the reader describes the saved file without
    // reading it again.
    struct SavedParts
    {
        QHash<QString, QByteArray> written;                     // entries written anew
        QSet<QString> removed;                                  // entries left out
        QVector<IndexEntry> index;
        QString indexPath;
        uint32_t maxUnitID = 0;
        QHash<const OFD_Page *, QVector<LoadedAnnot>> annots;  // pages whose part was rewritten
    };
    // Null `changes`: the package was copied as it was.
    void Saved(const QString &filePath, const SavedParts *changes);

private:
    OFD_PackageReader(OFD_Document *document, std::shared_ptr<OFD_ZipArchive> archive);
    bool ReadPackage(QString *error);
    std::unique_ptr<OFD_XmlElement> ReadDocumentRoot(QString *error);
    void ReadCommonData(const OFD_XmlElement &doc);
    void AddPages(const QVector<OFD_XmlElement *> &pageElements);
    void ReadPageBoxes(const QVector<QString> &pagePaths, QVector<CCA_GRect> &pageBoxes);
    void ReadAttachments(const QString &location);
    void ReadAnnotIndex(const QString &location);
    void AssignIndex(const QVector<IndexEntry> &entries);
    std::unique_ptr<OFD_XmlElement> ReadPart(const QString &path, QString *error) const;
    QString LocateEntry(const QStringList &candidates) const;
    static CCA_GRect BoxOfArea(OFD_XmlParser &parser, const QByteArray &pageBytes, uint32_t *templateID);
    const OFD_XmlElement *TemplateRoot(uint32_t templateID);

    OFD_Document *m_document;
    std::shared_ptr<OFD_ZipArchive> m_archive;
    std::unique_ptr<OFD_Resources> m_resources;
    QString m_documentPath;
    QString m_savedPath;
    QString m_documentFolder;
    uint32_t m_fileMaxUnitID = 0;
    CCA_GRect m_defaultBox;
    QString m_indexPath;
    bool m_indexExists = false;
    bool m_indexOwned = true;
    QHash<QString, int> m_annotPartUsers; // pages listing each annotation part
    QVector<IndexEntry> m_index;
    QHash<const OFD_Page *, PageState> m_pages;
    QHash<uint32_t, QString> m_templatePaths;
    QHash<uint32_t, std::shared_ptr<OFD_XmlElement>> m_templates;
    QHash<QString, std::shared_ptr<OFD_XmlElement>> m_bookmarks;
    QSet<uint32_t> m_loadedAnnotIDs;
};

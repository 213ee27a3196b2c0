#pragma once

#include "ofd_packagefile.h"
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

// Reads an OFD package into an OFD_Document and stays with it as its page loader: page
// content and annotations are read when first needed. Notes in its OFD_PackageFile what the
// package writer needs to save the document again without touching the parts that did not change.
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

    // What the package file holds; the writer saves through it.
    const std::shared_ptr<OFD_PackageFile> &File() const { return m_file; }
    static OFD_PackageFile *FileOf(const OFD_Document *document);
    const std::shared_ptr<OFD_ZipArchive> &Archive() const { return m_archive; }
    uint32_t FileMaxUnitID() const;

private:
    OFD_PackageReader(OFD_Document *document, std::shared_ptr<OFD_ZipArchive> archive);
    bool ReadPackage(QString *error);
    std::unique_ptr<OFD_XmlElement> ReadDocumentRoot(QString *error);
    void ReadCommonData(const OFD_XmlElement &doc);
    void AddPages(const QVector<OFD_XmlElement *> &pageElements);
    void ReadPageBoxes(const QVector<int> &pagePlaces, QVector<CCA_GRect> &pageBoxes);
    void ReadAttachments(const QString &location);
    void ReadAnnotIndex(const QString &location);
    std::unique_ptr<OFD_XmlElement> ReadPart(const QString &path, QString *error, QByteArray *text = nullptr) const;
    QString LocateEntry(const QStringList &candidates) const;
    const OFD_XmlElement *TemplateRoot(uint32_t templateID);
    std::unique_ptr<OFD_Resources> ResourceScope(const OFD_XmlElement &partRoot, const QString &partPath);

    OFD_Document *m_document;
    std::shared_ptr<OFD_ZipArchive> m_archive;
    std::shared_ptr<OFD_PackageFile> m_file;
    std::unique_ptr<OFD_Resources> m_resources;
    QString m_documentFolder;
    CCA_GRect m_defaultBox;
    QHash<uint32_t, QString> m_templatePaths;
    QHash<uint32_t, std::shared_ptr<OFD_XmlElement>> m_templates;
    QHash<QString, std::shared_ptr<OFD_XmlElement>> m_bookmarks;
    QSet<uint32_t> m_loadedAnnotIDs;
};

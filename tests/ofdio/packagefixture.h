#pragma once

#include "omofdapi/ofd_document.h"
#include "omofdapi/ofd_packagereader.h"
#include "omofdapi/ofd_packagewriter.h"
#include "omofdapi/ofd_page.h"

#include <KZip>
#include <KArchiveDirectory>
#include <KArchiveFile>

#include <QBuffer>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <memory>

using Entries = QList<QPair<QString, QByteArray>>;

const QByteArray kNs = "xmlns:ofd=\"http://www.ofdspec.org/2016\"";

// The bytes of a zip package holding `entries`.
inline QByteArray ZipBytes(const Entries &entries)
{
    QBuffer buffer;
    KZip zip(&buffer);
    if (!zip.open(QIODevice::WriteOnly))
        return QByteArray();
    for (const auto &entry : entries)
        zip.writeFile(entry.first, entry.second);
    zip.close();
    return buffer.data();
}

inline bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void CollectEntries(const KArchiveDirectory *dir, const QString &prefix, QMap<QString, QByteArray> &entries)
{
    for (const QString &name : dir->entries()) {
        const KArchiveEntry *entry = dir->entry(name);
        if (entry->isDirectory())
            CollectEntries(static_cast<const KArchiveDirectory *>(entry), prefix + name + QLatin1Char('/'), entries);
        else
            entries.insert(prefix + name, static_cast<const KArchiveFile *>(entry)->data());
    }
}

// Every file of a zip package by its path; empty when the package cannot be read.
inline QMap<QString, QByteArray> ZipEntries(const QString &path)
{
    QMap<QString, QByteArray> entries;
    KZip zip(path);
    if (zip.open(QIODevice::ReadOnly))
        CollectEntries(zip.directory(), QString(), entries);
    return entries;
}

const QByteArray kOfd = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><ofd:OFD xmlns:ofd=\"http://www.ofdspec.org/2016\" Version=\"1.0\" "
                        "DocType=\"OFD\"><ofd:DocBody><ofd:DocInfo><ofd:DocID>x</ofd:DocID></ofd:DocInfo>"
                        "<ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot></ofd:DocBody></ofd:OFD>";
const QByteArray kDocument = "<ofd:Document xmlns:ofd=\"http://www.ofdspec.org/2016\"><ofd:CommonData><ofd:MaxUnitID>2</ofd:MaxUnitID>"
                             "<ofd:PageArea><ofd:PhysicalBox>0 0 210 297</ofd:PhysicalBox></ofd:PageArea></ofd:CommonData>"
                             "<ofd:Pages><ofd:Page ID=\"1\" BaseLoc=\"Pages/Page_0/Content.xml\"/></ofd:Pages></ofd:Document>";
const QByteArray kPage = "<ofd:Page xmlns:ofd=\"http://www.ofdspec.org/2016\"><ofd:Content><ofd:Layer ID=\"2\"/></ofd:Content></ofd:Page>";

// A package of one A4 page with one empty layer.
inline Entries Package(const QByteArray &ofd = kOfd, const QByteArray &document = kDocument)
{
    return {{QStringLiteral("OFD.xml"), ofd},
            {QStringLiteral("Doc_0/Document.xml"), document},
            {QStringLiteral("Doc_0/Pages/Page_0/Content.xml"), kPage}};
}
inline QByteArray PageWith(const QByteArray &objects)
{
    return "<ofd:Page " + kNs + "><ofd:Content><ofd:Layer ID=\"2\">" + objects + "</ofd:Layer></ofd:Content></ofd:Page>";
}

// `entries` from Package() with `annots` as the first page's annotation part.
inline Entries WithAnnots(Entries entries, const QByteArray &annots)
{
    entries[1].second.replace("</ofd:Document>", "<ofd:Annotations>Annots.xml</ofd:Annotations></ofd:Document>");
    entries.append({QStringLiteral("Doc_0/Annots.xml"), "<ofd:Annotations " + kNs + "><ofd:Page PageID=\"1\">"
                                                        "<ofd:FileLoc>Page_0/Annotation.xml</ofd:FileLoc></ofd:Page></ofd:Annotations>"});
    entries.append({QStringLiteral("Doc_0/Page_0/Annotation.xml"), annots});
    return entries;
}

// Writes `entries` as a package in `dir`; an unwritable one leaves the path empty, which no
// reader opens.
inline QString WritePackage(const QTemporaryDir &dir, const Entries &entries, const QString &name = QStringLiteral("source.ofd"))
{
    const QString path = dir.filePath(name);
    return WriteFile(path, ZipBytes(entries)) ? path : QString();
}

// Saves `document` to `target` and reads the result back; null, with `error` set, when either fails.
inline std::unique_ptr<OFD_Document> SaveAndReopen(OFD_Document *document, const QString &target, QString *error)
{
    if (!OFD_PackageWriter::Save(document, target, error))
        return nullptr;
    return OFD_PackageReader::Open(target, error);
}

// A link with a boundary and nothing else, added to a page whose own links are read first.
inline IG_Annot *AddBareLink(IG_Document *document, int pageIndex, const CCA_GRect &box)
{
    IG_Page *page = document->GetPage(pageIndex);
    page->LoadAnnots();
    IG_Annot *annot = page->AddAnnot(G_AnnotType_Link, CCA_String("Link"), -1, false, nullptr);
    annot->SetBoundary(box);
    return annot;
}

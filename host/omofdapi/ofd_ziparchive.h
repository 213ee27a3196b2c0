#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>

class KZip;
class KArchiveDirectory;
class KArchiveFile;

// What a package may hold before we refuse it: protects against zip bombs and
// archives of a million tiny entries.
struct OFD_ArchiveLimits
{
    int maxEntries = 100000;
    qint64 maxEntrySize = qint64(256) << 20;
    qint64 maxTotalSize = qint64(4) << 30;
};

// Read access to the entries of a zip package. Entry names are package paths without
// a leading slash; names that climb out of the package ("..") are not listed.
class OFD_ZipArchive
{
public:
    explicit OFD_ZipArchive(const OFD_ArchiveLimits &limits = OFD_ArchiveLimits());
    ~OFD_ZipArchive();
    OFD_ZipArchive(const OFD_ZipArchive &) = delete;
    OFD_ZipArchive &operator=(const OFD_ZipArchive &) = delete;

    bool Open(const QString &filePath, QString *error);
    void Close();
    bool IsOpen() const;
    QString FilePath() const { return m_filePath; }
    const OFD_ArchiveLimits &Limits() const { return m_limits; }

    // File entries in the order they are stored in the archive.
    QStringList EntryNames() const { return m_names; }
    bool Contains(const QString &name) const { return m_files.contains(name); }
    // The stored name for `name`: the exact one, else one that differs only in case; empty when none.
    QString FindEntry(const QString &name) const;
    qint64 EntrySize(const QString &name) const;
    QDateTime EntryDate(const QString &name) const;
    // The inflated bytes of an entry (found like FindEntry). False with a reason when the entry
    // is missing, larger than the limits allow, or damaged.
    bool ReadEntry(const QString &name, QByteArray &data, QString *error) const;

private:
    bool CheckEntryCount(const QString &filePath, QString *error) const;
    void CollectEntries(const KArchiveDirectory *dir, const QString &prefix, int depth,
                        QList<QPair<QString, const KArchiveFile *>> &files) const;

    OFD_ArchiveLimits m_limits;
    std::unique_ptr<KZip> m_zip;
    QString m_filePath;
    QStringList m_names;
    QHash<QString, const KArchiveFile *> m_files;
    QHash<QString, QString> m_foldedNames;
};

#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

struct zip;

// What a package may hold before we refuse it: protects against zip bombs and
// archives of a million tiny entries.
struct OFD_ArchiveLimits
{
    int maxEntries = 100000;
    qint64 maxEntrySize = qint64(256) << 20;
    qint64 maxTotalSize = qint64(4) << 30;
};

// Read access to the entries of a zip package. Entry names are package paths without
// a leading slash; names that climb out of the package (".." segments with either
// separator, drive letters) are not listed.
class OFD_ZipArchive
{
public:
    explicit OFD_ZipArchive(const OFD_ArchiveLimits &limits = OFD_ArchiveLimits());
    ~OFD_ZipArchive();
    OFD_ZipArchive(const OFD_ZipArchive &) = delete;
    OFD_ZipArchive &operator=(const OFD_ZipArchive &) = delete;

    bool Open(const QString &filePath, QString *error);
    void Close();
    bool IsOpen() const { return m_zip != nullptr; }
    QString FilePath() const { return m_filePath; }
    const OFD_ArchiveLimits &Limits() const { return m_limits; }

    // File entries in the order of the central directory.
    QStringList EntryNames() const { return m_names; }
    bool Contains(const QString &name) const { return m_entries.contains(name); }
    // The stored name for `name`: the exact one, else one that differs only in case; empty when none.
    QString FindEntry(const QString &name) const;
    qint64 EntrySize(const QString &name) const;
    QDateTime EntryDate(const QString &name) const;
    // The inflated bytes of an entry (found like FindEntry). False with a reason when the entry
    // is missing, larger than the limits allow, or damaged.
    bool ReadEntry(const QString &name, QByteArray &data, QString *error) const;
    // Reads the entry when called (empty when it cannot be read); holds the archive open.
    static std::function<QByteArray()> EntryReader(std::shared_ptr<const OFD_ZipArchive> archive, const QString &name);

    // For the writer's raw copies: the open archive and an entry's index in it (-1 when none,
    // or when the entry's bytes are held in memory).
    zip *Handle() const { return m_zip; }
    qint64 EntryIndex(const QString &name) const;

    // After a save: the package on disk now holds `written` (new or in place of stored entries)
    // and no longer holds `removed`. Those are served from memory from now on, so a save never
    // has to reopen the package it wrote.
    void Overlay(const QHash<QString, QByteArray> &written, const QSet<QString> &removed);
    bool IsInMemory(const QString &name) const;

    // A name as the package lists it, or empty when it is not one we read: a name that climbs
    // out, starts at a drive or a root, or names a folder.
    static QString PackageName(const QByteArray &rawName);

private:
    bool CountEntries(const QString &filePath, QString *error) const;

    struct Entry
    {
        quint64 index = 0;
        qint64 size = 0;
        qint64 mtime = 0;
        bool inMemory = false;
    };

    OFD_ArchiveLimits m_limits;
    zip *m_zip = nullptr;
    QString m_filePath;
    QStringList m_names;
    QHash<QString, Entry> m_entries;
    QHash<QString, QString> m_foldedNames;
    QHash<QString, QByteArray> m_memory;
    QByteArray m_bytes; // the whole package, when it is read from memory
};

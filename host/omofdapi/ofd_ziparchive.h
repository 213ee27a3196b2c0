#pragma once

#include "ofd_zipdirectory.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct zip;

// What a package may hold before we refuse it: protects against zip bombs and
// archives of a million tiny entries.
struct OFD_ArchiveLimits
{
    int maxEntries = 100000;
    qint64 maxEntrySize = qint64(256) << 20;
    qint64 maxTotalSize = qint64(4) << 30;
    // A package up to this size is read into memory at once; a larger one is read where needed.
    qint64 inMemorySize = qint64(64) << 20;
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
    // Where EntryNames() lists the entry FindEntry names; -1 when none.
    int EntryPlace(const QString &name) const;
    qint64 EntrySize(const QString &name) const;
    QDateTime EntryDate(const QString &name) const;
    // The inflated bytes of an entry (found like FindEntry). False with a reason when the entry
    // is missing, larger than the limits allow, or damaged.
    bool ReadEntry(const QString &name, QByteArray &data, QString *error) const;
    // Reads the entry when called (empty when it cannot be read); holds the archive open.
    static std::function<QByteArray()> EntryReader(std::shared_ptr<const OFD_ZipArchive> archive, const QString &name);

    // For the writer's raw copies: an entry's central directory record as the file holds it
    // (null when none, or when the entry's bytes are held in memory), and bytes of the file.
    const OFD_ZipRecord *Record(const QString &name) const;
    // The place in Directory() of the record of the entry of exactly `name`, or of the
    // `listed`th of EntryNames(); -1 when it has no record of its own or is served from memory.
    int RecordIndex(const QString &name) const;
    int ListedRecord(int listed) const;
    const OFD_ZipDirectory &Directory() const { return m_directory; }
    qint64 RawSize() const { return m_rawSize; }
    // `length` bytes at `offset` of the file that was opened, even when that name now holds
    // another file; empty when they cannot be read.
    QByteArray ReadRaw(qint64 offset, qint64 length) const;
    // The whole file, when it is held in memory; null when it is read from disk.
    const char *RawBytes() const { return m_raw.isOpen() || m_bytes.isEmpty() ? nullptr : m_bytes.constData(); }
    // Whether every record of the directory is an entry we list, none served from memory: a
    // package rewritten entry by entry would then hold exactly what the file holds.
    bool ListsEveryRecord() const;
    // Whether the file at FilePath() is still the one that was opened, as far as its size,
    // times and inode tell.
    bool FileUnchanged() const;
    // A descriptor of the file that was opened, for copies made by the kernel: the one held open,
    // or `file` opened on FilePath() when that is still the same file; -1 when neither.
    int RawHandle(QFile &file) const;

    // After a save: the package on disk now holds `written` (new or in place of stored entries)
    // and no longer holds `removed`. Those are served from memory from now on, so a save never
    // has to reopen the package it wrote.
    void Overlay(const QHash<QString, QByteArray> &written, const QSet<QString> &removed);
    bool IsInMemory(const QString &name) const;

    // A name as the package lists it, or empty when it is not one we read: a name that climbs
    // out, starts at a drive or a root, or names a folder.
    static QString PackageName(const QByteArray &rawName);

private:
    bool ReadDirectory(const QString &filePath, QString *error);

    struct Entry
    {
        quint64 index = 0;
        qint64 size = 0;
        qint64 mtime = 0;
        bool inMemory = false;
        int record = -1; // in m_directory, when the zip library's entry is that record
        int listed = -1; // in m_names
    };
    // The entry FindEntry names, found with one lookup when the name is exact.
    QHash<QString, Entry>::const_iterator Lookup(const QString &name) const;

    OFD_ArchiveLimits m_limits;
    zip *m_zip = nullptr;
    QString m_filePath;
    QStringList m_names;
    std::vector<int> m_listedRecords; // by place in m_names: its record, or -1 (also once written over)
    QHash<QString, Entry> m_entries;
    QHash<QString, QString> m_foldedNames;
    QHash<QString, QByteArray> m_memory;
    QByteArray m_bytes; // the whole package, when it is read from memory
    mutable QFile m_raw; // the package, when it is not
    qint64 m_rawSize = 0;
    // What tells a replaced or rewritten file from the one read, taken without time-zone work.
    struct FileStamp
    {
        qint64 size = -1, modifiedNs = 0, changedNs = 0, inode = 0, device = 0;
        bool operator==(const FileStamp &o) const
        {
            return size == o.size && modifiedNs == o.modifiedNs && changedNs == o.changedNs && inode == o.inode
                && device == o.device;
        }
    };
    static FileStamp StampOf(const QString &filePath);
    static FileStamp StampOf(int handle);
    FileStamp m_stamp;
    bool m_listsEveryRecord = false; // as opened: every entry is its own directory record
    OFD_ZipDirectory m_directory;
};

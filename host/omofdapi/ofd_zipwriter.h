#pragma once

#include "ofd_zipdirectory.h"

#include <QByteArray>
#include <QDateTime>
#include <QSaveFile>
#include <QSet>
#include <QString>

#include <memory>
#include <vector>

class OFD_ZipArchive;

// Writes a zip package so that the target is replaced only when everything was written:
// entries go to a temporary file beside the target, which then takes the target's name.
// Entries copied from another package are copied as byte ranges of its file, neighbours in one
// go, before the entries written anew; the directory lists them all in the order they were added.
class OFD_ZipWriter
{
public:
    OFD_ZipWriter();
    ~OFD_ZipWriter();
    OFD_ZipWriter(const OFD_ZipWriter &) = delete;
    OFD_ZipWriter &operator=(const OFD_ZipWriter &) = delete;

    bool Begin(const QString &targetPath, QString *error);
    // An entry name may be given once; an invalid date takes the current time. The data is
    // deflated, or stored when deflating does not make it smaller.
    bool AddFile(const QString &name, const QByteArray &data, const QDateTime &date, QString *error);
    // An entry of `source` as it is stored: its compressed bytes are copied, never inflated, so
    // an entry we cannot read is kept as well. `source` stays open until Commit.
    bool AddCopy(const OFD_ZipArchive &source, const QString &name, QString *error);
    // The same for the entry of the record at `record` of the source's directory.
    bool AddCopy(const OFD_ZipArchive &source, int record, QString *error);
    // Replaces the target with the finished package. Without Commit the target stays as it was.
    bool Commit(QString *error);

    // Replaces `targetPath` with a byte-for-byte copy of the file `source` was opened from.
    static bool CopyPackage(const OFD_ZipArchive &source, const QString &targetPath, QString *error);

private:
    struct Entry;

    bool ClaimsUnique(QString *error) const;
    static bool PlaceCopy(Entry &entry, QString *error);
    bool WriteCopies(QString *error);
    bool WriteEntry(Entry &entry, const QByteArray &data, QString *error);
    bool WriteDirectory(QString *error);
    static void DirectoryRecord(const Entry &entry, QByteArray &out);
    static QByteArray EndRecords(quint64 start, quint64 length, quint64 count);
    bool Write(const char *data, qint64 length, QString *error);
    bool Write(const QByteArray &data, QString *error) { return Write(data.constData(), data.size(), error); }
    bool Flush(QString *error);
    void Abandon();

    std::unique_ptr<QSaveFile> m_file;
    QString m_target;
    QSet<QString> m_names; // of the entries written anew; told from copies at Commit
    struct Copied
    {
        const OFD_ZipArchive *source;
        std::vector<bool> records; // by place in its directory
    };
    std::vector<Copied> m_copied;
    std::vector<Entry> m_entries;
    QByteArray m_pending; // small writes, gathered
    quint64 m_position = 0;
    quint16 m_nowTime = 0; // the time entries without one get, taken once per package
    quint16 m_nowDate = 0;
};

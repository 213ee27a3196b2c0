#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>

#include <vector>

struct zip;
class OFD_ZipArchive;

// Writes a zip package so that the target is replaced only when everything was written:
// entries go to a temporary file beside the target, which then takes the target's name.
class OFD_ZipWriter
{
public:
    OFD_ZipWriter();
    ~OFD_ZipWriter();
    OFD_ZipWriter(const OFD_ZipWriter &) = delete;
    OFD_ZipWriter &operator=(const OFD_ZipWriter &) = delete;

    // `expectedSize` tells how large the package will about be; a small one is built in memory.
    bool Begin(const QString &targetPath, QString *error, qint64 expectedSize = 0);
    // An entry name may be given once; an invalid date takes the current time.
    bool AddFile(const QString &name, const QByteArray &data, const QDateTime &date, QString *error);
    // An entry of `source` as it is stored: its compressed bytes are copied, never inflated, so
    // an entry we cannot read is kept as well. `source` stays open until Commit.
    bool AddCopy(const OFD_ZipArchive &source, const QString &name, QString *error);
    // Replaces the target with the finished package. Without Commit the target stays as it was.
    bool Commit(QString *error);

    // Replaces `targetPath` with a byte-for-byte copy of `sourcePath`.
    static bool CopyPackage(const QString &sourcePath, const QString &targetPath, QString *error);

private:
    void Abandon();
    bool Failed(const QString &what, QString *error);

    zip *m_zip = nullptr;
    struct zip_source *m_output = nullptr; // the package in memory, when it is built there
    QString m_target;
    QSet<QString> m_names;
    QList<QByteArray> m_buffers; // the bytes of added entries, until they are written
    std::vector<struct zip_source *> m_copies; // held so that we choose the order they are freed in
};

#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QSet>
#include <QString>

#include <memory>

class KZip;
class QTemporaryFile;

// Writes a zip package so that the target is replaced only when everything was written:
// entries go to a temporary file first, which is then committed through QSaveFile.
class OFD_ZipWriter
{
public:
    OFD_ZipWriter();
    ~OFD_ZipWriter();
    OFD_ZipWriter(const OFD_ZipWriter &) = delete;
    OFD_ZipWriter &operator=(const OFD_ZipWriter &) = delete;

    bool Begin(const QString &targetPath, QString *error);
    // An entry name may be given once; an invalid date takes the current time.
    bool AddFile(const QString &name, const QByteArray &data, const QDateTime &date, QString *error);
    // Replaces the target with the finished package. Without Commit the target stays as it was.
    bool Commit(QString *error);

    // Replaces `targetPath` with a byte-for-byte copy of `sourcePath`.
    static bool CopyPackage(const QString &sourcePath, const QString &targetPath, QString *error);

private:
    void Abandon();

    std::unique_ptr<QTemporaryFile> m_temp;
    std::unique_ptr<KZip> m_zip;
    QString m_target;
    QSet<QString> m_names;
};

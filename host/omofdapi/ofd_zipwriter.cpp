#include "ofd_zipwriter.h"

#include <KZip>

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryFile>

namespace {

QString Tr(const char *text)
{
    return QCoreApplication::translate("OFD_ZipWriter", text);
}

// Streams `source` into `target` and commits it; the target is untouched on any failure.
bool CommitCopy(QIODevice &source, const QString &targetPath, QString *error)
{
    QSaveFile target(targetPath);
    if (!target.open(QIODevice::WriteOnly)) {
        if (error)
            *error = Tr("Cannot write %1: %2").arg(targetPath, target.errorString());
        return false;
    }
    QByteArray chunk;
    while (!source.atEnd()) {
        chunk = source.read(1 << 20);
        if (chunk.isEmpty()) {
            if (error)
                *error = Tr("Cannot read the package being saved: %1").arg(source.errorString());
            target.cancelWriting();
            return false;
        }
        if (target.write(chunk) != chunk.size()) {
            if (error)
                *error = Tr("Cannot write %1: %2").arg(targetPath, target.errorString());
            target.cancelWriting();
            return false;
        }
    }
    if (!target.commit()) {
        if (error)
            *error = Tr("Cannot write %1: %2").arg(targetPath, target.errorString());
        return false;
    }
    return true;
}

} // namespace

OFD_ZipWriter::OFD_ZipWriter() = default;

OFD_ZipWriter::~OFD_ZipWriter()
{
    Abandon();
}

void OFD_ZipWriter::Abandon()
{
    if (m_zip && m_zip->isOpen())
        m_zip->close();
    m_zip.reset();
    m_temp.reset();
    m_names.clear();
}

bool OFD_ZipWriter::Begin(const QString &targetPath, QString *error)
{
    Abandon();
    m_target = targetPath;
    m_temp = std::make_unique<QTemporaryFile>();
    if (!m_temp->open()) {
        if (error)
            *error = Tr("Cannot create a temporary file: %1").arg(m_temp->errorString());
        m_temp.reset();
        return false;
    }
    m_zip = std::make_unique<KZip>(m_temp.get());
    m_zip->setCompression(KZip::DeflateCompression);
    if (!m_zip->open(QIODevice::WriteOnly)) {
        if (error)
            *error = Tr("Cannot start the package: %1").arg(m_zip->errorString());
        Abandon();
        return false;
    }
    return true;
}

bool OFD_ZipWriter::AddFile(const QString &name, const QByteArray &data, const QDateTime &date, QString *error)
{
    if (!m_zip || !m_zip->isOpen()) {
        if (error)
            *error = Tr("The package is not open for writing.");
        return false;
    }
    if (m_names.contains(name)) {
        if (error)
            *error = Tr("The entry %1 was written twice.").arg(name);
        return false;
    }
    const QDateTime when = date.isValid() ? date : QDateTime::currentDateTime();
    if (!m_zip->writeFile(name, data, 0100644, QString(), QString(), when, when, when)) {
        if (error)
            *error = Tr("Cannot write the entry %1: %2").arg(name, m_zip->errorString());
        return false;
    }
    m_names.insert(name);
    return true;
}

bool OFD_ZipWriter::Commit(QString *error)
{
    if (!m_zip || !m_zip->isOpen()) {
        if (error)
            *error = Tr("The package is not open for writing.");
        return false;
    }
    const bool closed = m_zip->close();
    m_zip.reset();
    if (!closed || !m_temp->open() || !m_temp->seek(0)) {
        if (error)
            *error = Tr("Cannot finish the package: %1").arg(m_temp->errorString());
        Abandon();
        return false;
    }
    const bool ok = CommitCopy(*m_temp, m_target, error);
    Abandon();
    return ok;
}

bool OFD_ZipWriter::CopyPackage(const QString &sourcePath, const QString &targetPath, QString *error)
{
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly)) {
        if (error)
            *error = Tr("Cannot read %1: %2").arg(sourcePath, source.errorString());
        return false;
    }
    return CommitCopy(source, targetPath, error);
}

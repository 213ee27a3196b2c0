#include "ofd_zipwriter.h"

#include "ofd_ziparchive.h"

#include <zip.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <climits>

namespace {

const qint64 kInMemorySize = qint64(64) << 20;

QString Tr(const char *text)
{
    return QCoreApplication::translate("OFD_ZipWriter", text);
}

QString WriteError(const QSaveFile &file)
{
    // A short write leaves no error string; the system's reason is still in errno.
    const int code = errno;
    return file.error() != QFileDevice::NoError && !file.errorString().isEmpty()
            && file.errorString() != QLatin1String("Unknown error")
        ? file.errorString()
        : QString::fromLocal8Bit(strerror(code ? code : ENOSPC));
}

// Streams `source` into `target` and commits it; the target is untouched on any failure.
bool CommitCopy(QIODevice &source, const QString &targetPath, QString *error)
{
    QSaveFile target(targetPath);
    // Unbuffered, so that a write cut short (a full disk, a file size limit) is seen here and
    // not lost in a flush that reports success.
    if (!target.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
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
                *error = Tr("Cannot write %1: %2").arg(targetPath, WriteError(target));
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
    if (m_zip)
        zip_discard(m_zip);
    m_zip = nullptr;
    // Each copy is on the source archive's list of open sources, which the zip library searches
    // from the front and fills a gap with the last one. Freeing the first, then the rest from
    // the back, always finds the copy at the front: linear in the entry count, where the order
    // of the entries would be quadratic.
    if (!m_copies.empty()) {
        zip_source_free(m_copies.front());
        for (auto it = m_copies.rbegin(); it + 1 != m_copies.rend(); ++it)
            zip_source_free(*it);
    }
    m_copies.clear();
    if (m_output)
        zip_source_free(m_output);
    m_output = nullptr;
    m_names.clear();
    m_buffers.clear();
}

bool OFD_ZipWriter::Failed(const QString &what, QString *error)
{
    if (error)
        *error = Tr("%1: %2").arg(what, QString::fromLocal8Bit(m_zip ? zip_strerror(m_zip) : ""));
    Abandon();
    return false;
}

bool OFD_ZipWriter::Begin(const QString &targetPath, QString *error, qint64 expectedSize)
{
    Abandon();
    m_target = targetPath;
    zip_error_t reason;
    zip_error_init(&reason);
    // An ordinary package is built in memory and written in one go; the zip library's own
    // file output seeks back and forth for every entry.
    if (expectedSize <= kInMemorySize) {
        m_output = zip_source_buffer_create(nullptr, 0, 0, &reason);
        m_zip = m_output ? zip_open_from_source(m_output, ZIP_TRUNCATE, &reason) : nullptr;
        if (m_zip)
            zip_source_keep(m_output);
        else if (m_output)
            zip_source_free(m_output);
        if (!m_zip)
            m_output = nullptr;
    } else {
        int code = 0;
        // Nothing is written to the target until Commit.
        m_zip = zip_open(QFile::encodeName(targetPath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
        zip_error_set(&reason, code, errno);
    }
    if (!m_zip && error)
        *error = Tr("Cannot write %1: %2").arg(targetPath, QString::fromLocal8Bit(zip_error_strerror(&reason)));
    zip_error_fini(&reason);
    return m_zip != nullptr;
}

bool OFD_ZipWriter::AddFile(const QString &name, const QByteArray &data, const QDateTime &date, QString *error)
{
    if (!m_zip) {
        if (error)
            *error = Tr("The package is not open for writing.");
        return false;
    }
    if (m_names.contains(name)) {
        if (error)
            *error = Tr("The entry %1 was written twice.").arg(name);
        return false;
    }
    m_buffers.append(data);
    const QByteArray &bytes = m_buffers.last();
    zip_source_t *source = zip_source_buffer(m_zip, bytes.constData(), zip_uint64_t(bytes.size()), 0);
    const zip_int64_t index = source ? zip_file_add(m_zip, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) : -1;
    if (index < 0) {
        if (source)
            zip_source_free(source);
        return Failed(Tr("Cannot write the entry %1").arg(name), error);
    }
    const QDateTime when = date.isValid() ? date : QDateTime::currentDateTime();
    zip_set_file_compression(m_zip, zip_uint64_t(index), ZIP_CM_DEFLATE, 0);
    zip_file_set_mtime(m_zip, zip_uint64_t(index), time_t(when.toSecsSinceEpoch()), 0);
    m_names.insert(name);
    return true;
}

bool OFD_ZipWriter::AddCopy(const OFD_ZipArchive &source, const QString &name, QString *error)
{
    const qint64 from = source.EntryIndex(name);
    if (!m_zip || from < 0 || !source.Handle()) {
        if (error)
            *error = Tr("The package has no entry %1.").arg(name);
        return false;
    }
    if (m_names.contains(name)) {
        if (error)
            *error = Tr("The entry %1 was written twice.").arg(name);
        return false;
    }
    zip_stat_t st;
    zip_stat_init(&st);
    const char *rawName = zip_get_name(source.Handle(), zip_uint64_t(from), ZIP_FL_ENC_RAW);
    zip_source_t *data = rawName && zip_stat_index(source.Handle(), zip_uint64_t(from), 0, &st) == 0
        ? zip_source_zip(m_zip, source.Handle(), zip_uint64_t(from), ZIP_FL_COMPRESSED, 0, -1)
        : nullptr;
    const zip_int64_t index = data ? zip_file_add(m_zip, rawName, data, ZIP_FL_ENC_GUESS) : -1;
    if (index < 0) {
        if (data)
            zip_source_free(data);
        return Failed(Tr("Cannot copy the entry %1").arg(name), error);
    }
    zip_source_keep(data);
    m_copies.push_back(data);
    // A stored entry stays stored; any other keeps its method, whatever it is.
    if ((st.valid & ZIP_STAT_COMP_METHOD) && st.comp_method == ZIP_CM_STORE)
        zip_set_file_compression(m_zip, zip_uint64_t(index), ZIP_CM_STORE, 0);
    m_names.insert(name);
    return true;
}

bool OFD_ZipWriter::Commit(QString *error)
{
    if (!m_zip || m_names.isEmpty()) {
        if (error)
            *error = Tr("The package is not open for writing.");
        Abandon();
        return false;
    }
    if (zip_close(m_zip) != 0)
        return Failed(Tr("Cannot write %1").arg(m_target), error);
    m_zip = nullptr;
    bool ok = true;
    if (m_output) {
        QByteArray bytes;
        zip_stat_t st;
        zip_stat_init(&st);
        ok = zip_source_stat(m_output, &st) == 0 && (st.valid & ZIP_STAT_SIZE) && st.size < quint64(INT_MAX)
            && zip_source_open(m_output) == 0;
        if (ok) {
            bytes.resize(int(st.size));
            ok = zip_source_read(m_output, bytes.data(), st.size) == zip_int64_t(st.size);
            zip_source_close(m_output);
        }
        if (!ok && error)
            *error = Tr("Cannot finish the package for %1.").arg(m_target);
        QBuffer buffer(&bytes);
        ok = ok && buffer.open(QIODevice::ReadOnly) && CommitCopy(buffer, m_target, error);
    }
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

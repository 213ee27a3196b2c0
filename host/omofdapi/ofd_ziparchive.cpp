#include "ofd_ziparchive.h"

#include <zip.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextCodec>

#include <algorithm>
#include <climits>

namespace {

QString Tr(const char *text)
{
    return QCoreApplication::translate("OFD_ZipArchive", text);
}

quint64 ReadLE(const char *p, int bytes)
{
    quint64 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | quint8(p[i]);
    return value;
}

// Where the central directory starts and how long it is, from the end records; false when
// the file has no end record (the zip library says why it cannot be read).
bool LocateDirectory(QFile &file, qint64 &start, qint64 &length)
{
    const qint64 size = file.size();
    const qint64 tailSize = std::min<qint64>(size, 22 + 65535);
    if (tailSize < 22 || !file.seek(size - tailSize))
        return false;
    const QByteArray tail = file.read(tailSize);
    int pos = -1;
    for (int i = tail.size() - 22; i >= 0; --i) {
        if (tail.at(i) == 'P' && tail.at(i + 1) == 'K' && tail.at(i + 2) == 5 && tail.at(i + 3) == 6) {
            pos = i;
            break;
        }
    }
    if (pos < 0)
        return false;
    const qint64 endRecord = size - tailSize + pos;
    quint64 offset = ReadLE(tail.constData() + pos + 16, 4);
    quint64 bytes = ReadLE(tail.constData() + pos + 12, 4);
    qint64 recordStart = endRecord;
    if ((offset == 0xFFFFFFFFu || bytes == 0xFFFFFFFFu || ReadLE(tail.constData() + pos + 10, 2) == 0xFFFF) && pos >= 20) {
        const char *locator = tail.constData() + pos - 20;
        if (locator[0] == 'P' && locator[1] == 'K' && locator[2] == 6 && locator[3] == 7) {
            const quint64 recordPos = ReadLE(locator + 8, 8);
            if (recordPos < quint64(size) && file.seek(qint64(recordPos))) {
                const QByteArray record = file.read(56);
                if (record.size() == 56 && record.startsWith(QByteArray("PK\x06\x06", 4))) {
                    bytes = ReadLE(record.constData() + 40, 8);
                    offset = ReadLE(record.constData() + 48, 8);
                    recordStart = qint64(recordPos);
                }
            }
        }
    }
    length = qint64(std::min<quint64>(bytes, quint64(recordStart)));
    // Data put in front of the package moves the directory from where the record says.
    start = offset + quint64(length) <= quint64(recordStart) ? qint64(offset) : recordStart - length;
    return true;
}

// A package of ordinary size is read into memory once: the zip library seeks the file for
// every entry it reads or copies, and that costs more than the whole package does.
const qint64 kInMemorySize = qint64(64) << 20;

zip *OpenZip(const QString &filePath, QByteArray &bytes)
{
    bytes.clear();
    QFile file(filePath);
    if (file.open(QIODevice::ReadOnly) && file.size() <= kInMemorySize) {
        bytes = file.readAll();
        if (bytes.size() == file.size()) {
            zip_error_t error;
            zip_error_init(&error);
            zip_source_t *source = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
            zip *archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
            if (!archive && source)
                zip_source_free(source);
            zip_error_fini(&error);
            if (!archive)
                bytes.clear();
            return archive;
        }
        bytes.clear();
    }
    int code = 0;
    return zip_open(QFile::encodeName(filePath).constData(), ZIP_RDONLY, &code);
}

} // namespace

OFD_ZipArchive::OFD_ZipArchive(const OFD_ArchiveLimits &limits) : m_limits(limits) {}

OFD_ZipArchive::~OFD_ZipArchive()
{
    Close();
}

QString OFD_ZipArchive::PackageName(const QByteArray &rawName)
{
    QTextCodec::ConverterState state;
    QString name = QTextCodec::codecForName("UTF-8")->toUnicode(rawName.constData(), rawName.size(), &state);
    if (state.invalidChars > 0)
        if (QTextCodec *codec = QTextCodec::codecForName("GB18030"))
            name = codec->toUnicode(rawName);
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.isEmpty() || name.endsWith(QLatin1Char('/')))
        return QString();
    QStringList segments;
    for (const QString &segment : name.split(QLatin1Char('/'))) {
        if (segment == QLatin1String(".."))
            return QString();
        if (segment.isEmpty() || segment == QLatin1String("."))
            continue;
        segments.append(segment);
    }
    if (segments.isEmpty() || segments.first().contains(QLatin1Char(':')))
        return QString();
    return segments.join(QLatin1Char('/'));
}

// The end record's count can lie either way; the directory itself says how many entries
// follow, and a package of a million tiny entries is refused before it is read.
bool OFD_ZipArchive::CountEntries(const QString &filePath, QString *error) const
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = Tr("Cannot open %1: %2").arg(filePath, file.errorString());
        return false;
    }
    qint64 start = 0;
    qint64 length = 0;
    if (!LocateDirectory(file, start, length) || !file.seek(start))
        return true;
    const QByteArray directory = file.read(length);
    const char *p = directory.constData();
    qint64 count = 0;
    for (qint64 pos = 0; pos + 46 <= directory.size(); ++count) {
        if (p[pos] != 'P' || p[pos + 1] != 'K' || p[pos + 2] != 1 || p[pos + 3] != 2)
            break;
        pos += 46 + qint64(ReadLE(p + pos + 28, 2)) + qint64(ReadLE(p + pos + 30, 2)) + qint64(ReadLE(p + pos + 32, 2));
    }
    if (count > m_limits.maxEntries) {
        if (error)
            *error = Tr("The package holds %1 entries; at most %2 are accepted.").arg(count).arg(m_limits.maxEntries);
        return false;
    }
    return true;
}

bool OFD_ZipArchive::Open(const QString &filePath, QString *error)
{
    Close();
    if (!CountEntries(filePath, error))
        return false;
    // The zip library takes an empty file for an empty archive; a package is never that.
    zip *archive = QFileInfo(filePath).size() >= 22 ? OpenZip(filePath, m_bytes) : nullptr;
    if (!archive) {
        if (error)
            *error = Tr("%1 is not a readable zip package.").arg(filePath);
        return false;
    }
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count > m_limits.maxEntries) {
        if (error)
            *error = Tr("The package holds %1 entries; at most %2 are accepted.").arg(count).arg(m_limits.maxEntries);
        zip_discard(archive);
        m_bytes.clear();
        return false;
    }
    qint64 total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive, zip_uint64_t(i), ZIP_FL_ENC_RAW, &st) != 0 || !st.name)
            continue;
        const QString name = PackageName(QByteArray(st.name));
        if (name.isEmpty() || m_entries.contains(name))
            continue;
        const qint64 size = (st.valid & ZIP_STAT_SIZE) && st.size < quint64(LLONG_MAX) ? qint64(st.size) : LLONG_MAX;
        total = size > m_limits.maxTotalSize ? size : total + size;
        if (size > m_limits.maxEntrySize || total > m_limits.maxTotalSize) {
            if (error)
                *error = size > m_limits.maxEntrySize
                             ? Tr("The entry %1 inflates to %2 bytes; at most %3 are accepted.")
                                   .arg(name).arg(size).arg(m_limits.maxEntrySize)
                             : Tr("The package inflates to more than %1 bytes.").arg(m_limits.maxTotalSize);
            zip_discard(archive);
            m_bytes.clear();
            m_names.clear();
            m_entries.clear();
            m_foldedNames.clear();
            return false;
        }
        m_names.append(name);
        m_entries.insert(name, {quint64(i), size, (st.valid & ZIP_STAT_MTIME) ? qint64(st.mtime) : 0});
        m_foldedNames.insert(name.toCaseFolded(), name);
    }
    m_zip = archive;
    m_filePath = filePath;
    return true;
}

void OFD_ZipArchive::Close()
{
    m_names.clear();
    m_entries.clear();
    m_foldedNames.clear();
    m_memory.clear();
    if (m_zip)
        zip_discard(m_zip);
    m_zip = nullptr;
    m_bytes.clear();
    m_filePath.clear();
}

QString OFD_ZipArchive::FindEntry(const QString &name) const
{
    if (m_entries.contains(name))
        return name;
    return m_foldedNames.value(name.toCaseFolded());
}

qint64 OFD_ZipArchive::EntryIndex(const QString &name) const
{
    const auto it = m_entries.constFind(FindEntry(name));
    return it == m_entries.constEnd() || it->inMemory ? -1 : qint64(it->index);
}

bool OFD_ZipArchive::IsInMemory(const QString &name) const
{
    const auto it = m_entries.constFind(FindEntry(name));
    return it != m_entries.constEnd() && it->inMemory;
}

void OFD_ZipArchive::Overlay(const QHash<QString, QByteArray> &written, const QSet<QString> &removed)
{
    for (const QString &name : removed) {
        const QString stored = FindEntry(name);
        if (stored.isEmpty())
            continue;
        m_names.removeOne(stored);
        m_entries.remove(stored);
        m_foldedNames.remove(stored.toCaseFolded());
        m_memory.remove(stored);
    }
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (auto it = written.constBegin(); it != written.constEnd(); ++it) {
        QString stored = FindEntry(it.key());
        if (stored.isEmpty()) {
            stored = it.key();
            m_names.append(stored);
            m_foldedNames.insert(stored.toCaseFolded(), stored);
        }
        m_entries.insert(stored, {0, it.value().size(), now, true});
        m_memory.insert(stored, it.value());
    }
}

qint64 OFD_ZipArchive::EntrySize(const QString &name) const
{
    const auto it = m_entries.constFind(FindEntry(name));
    return it == m_entries.constEnd() ? -1 : it->size;
}

QDateTime OFD_ZipArchive::EntryDate(const QString &name) const
{
    const auto it = m_entries.constFind(FindEntry(name));
    return it == m_entries.constEnd() || it->mtime <= 0 ? QDateTime() : QDateTime::fromSecsSinceEpoch(it->mtime);
}

bool OFD_ZipArchive::ReadEntry(const QString &name, QByteArray &data, QString *error) const
{
    data.clear();
    const QString stored = FindEntry(name);
    const auto it = m_entries.constFind(stored);
    if (!m_zip || it == m_entries.constEnd()) {
        if (error)
            *error = Tr("The package has no entry %1.").arg(name);
        return false;
    }
    if (it->inMemory) {
        data = m_memory.value(stored);
        return true;
    }
    const qint64 declared = it->size;
    if (declared > m_limits.maxEntrySize || declared >= qint64(INT_MAX)) {
        if (error)
            *error = Tr("The entry %1 inflates to %2 bytes; at most %3 are accepted.")
                         .arg(stored).arg(declared).arg(m_limits.maxEntrySize);
        return false;
    }
    zip_file_t *file = zip_fopen_index(m_zip, it->index, 0);
    if (!file) {
        if (error)
            *error = Tr("The entry %1 cannot be read (unsupported compression).").arg(stored);
        return false;
    }
    // Never trust the declared size: read at most one byte more than it to notice a lie.
    QByteArray buffer;
    buffer.resize(int(declared) + 1);
    qint64 done = 0;
    bool failed = false;
    while (done <= declared) {
        const zip_int64_t n = zip_fread(file, buffer.data() + done, zip_uint64_t(declared + 1 - done));
        if (n < 0)
            failed = true;
        if (n <= 0)
            break;
        done += n;
    }
    zip_fclose(file);
    if (failed || done != declared) {
        if (error)
            *error = Tr("The entry %1 is damaged (its size does not match the directory).").arg(stored);
        return false;
    }
    buffer.resize(int(declared));
    data = buffer;
    return true;
}

std::function<QByteArray()> OFD_ZipArchive::EntryReader(std::shared_ptr<const OFD_ZipArchive> archive, const QString &name)
{
    return [archive, name]() {
        QByteArray data;
        archive->ReadEntry(name, data, nullptr);
        return data;
    };
}

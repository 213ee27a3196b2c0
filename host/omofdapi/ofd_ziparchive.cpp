#include "ofd_ziparchive.h"

#include <zip.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QTextCodec>

#include <algorithm>
#include <climits>

#include <sys/stat.h>

namespace {

QString Tr(const char *text)
{
    return QCoreApplication::translate("OFD_ZipArchive", text);
}


zip *OpenZip(const QString &filePath, const QByteArray &bytes)
{
    if (!bytes.isEmpty()) {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t *source = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
        zip *archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
        if (!archive && source)
            zip_source_free(source);
        zip_error_fini(&error);
        return archive;
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
// follow, and a package of a million tiny entries is refused before it is read. The file stays
// open (or in memory), so that its entries can be copied even after another file took its name.
bool OFD_ZipArchive::ReadDirectory(const QString &filePath, QString *error)
{
    m_raw.setFileName(filePath);
    if (!m_raw.open(QIODevice::ReadOnly)) {
        if (error)
            *error = Tr("Cannot open %1: %2").arg(filePath, m_raw.errorString());
        return false;
    }
    m_rawSize = m_raw.size();
    m_stamp = StampOf(filePath);
    // A package of ordinary size is read into memory once: the zip library seeks the file for
    // every entry it reads or copies, and that costs more than the whole package does.
    if (m_rawSize <= m_limits.inMemorySize) {
        m_bytes = m_raw.readAll();
        m_raw.close();
        if (m_bytes.size() != m_rawSize) {
            if (error)
                *error = Tr("Cannot read %1.").arg(filePath);
            return false;
        }
    }
    QBuffer buffer(&m_bytes);
    QIODevice &device = m_raw.isOpen() ? static_cast<QIODevice &>(m_raw) : buffer;
    if (!m_raw.isOpen())
        buffer.open(QIODevice::ReadOnly);
    m_directory.Read(device, m_limits.maxEntries);
    if (m_directory.Count() > m_limits.maxEntries) {
        if (error)
            *error = Tr("The package holds %1 entries; at most %2 are accepted.").arg(m_directory.Count()).arg(m_limits.maxEntries);
        return false;
    }
    return true;
}

bool OFD_ZipArchive::Open(const QString &filePath, QString *error)
{
    Close();
    zip *archive = nullptr;
    const auto refuse = [&](const QString &reason) {
        if (error && !reason.isEmpty())
            *error = reason;
        if (archive)
            zip_discard(archive);
        Close();
        return false;
    };
    if (!ReadDirectory(filePath, error))
        return refuse(QString());
    // The zip library takes an empty file for an empty archive; a package is never that.
    archive = m_rawSize >= 22 ? OpenZip(filePath, m_bytes) : nullptr;
    if (!archive)
        return refuse(Tr("%1 is not a readable zip package.").arg(filePath));
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count > m_limits.maxEntries)
        return refuse(Tr("The package holds %1 entries; at most %2 are accepted.").arg(count).arg(m_limits.maxEntries));
    const std::vector<OFD_ZipRecord> &records = m_directory.Records();
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
        if (size > m_limits.maxEntrySize)
            return refuse(Tr("The entry %1 inflates to %2 bytes; at most %3 are accepted.")
                              .arg(name).arg(size).arg(m_limits.maxEntrySize));
        if (total > m_limits.maxTotalSize)
            return refuse(Tr("The package inflates to more than %1 bytes.").arg(m_limits.maxTotalSize));
        const int record = size_t(i) < records.size() && records[size_t(i)].rawName == st.name ? int(i) : -1;
        m_entries.insert(name, {quint64(i), size, (st.valid & ZIP_STAT_MTIME) ? qint64(st.mtime) : 0, false, record,
                                m_names.size()});
        m_names.append(name);
        m_listedRecords.push_back(record);
        m_foldedNames.insert(name.toCaseFolded(), name);
    }
    m_listsEveryRecord = m_names.size() == m_directory.Count()
        && std::all_of(m_listedRecords.cbegin(), m_listedRecords.cend(), [](int record) { return record >= 0; });
    m_zip = archive;
    m_filePath = filePath;
    return true;
}

void OFD_ZipArchive::Close()
{
    m_listsEveryRecord = false;
    m_stamp = FileStamp();
    m_names.clear();
    m_listedRecords.clear();
    m_entries.clear();
    m_foldedNames.clear();
    m_memory.clear();
    if (m_zip)
        zip_discard(m_zip);
    m_zip = nullptr;
    m_bytes.clear();
    m_raw.close();
    m_rawSize = 0;
    m_directory = OFD_ZipDirectory();
    m_filePath.clear();
}

QString OFD_ZipArchive::FindEntry(const QString &name) const
{
    if (m_entries.contains(name))
        return name;
    return m_foldedNames.value(name.toCaseFolded());
}

int OFD_ZipArchive::EntryPlace(const QString &name) const
{
    const auto it = Lookup(name);
    return it == m_entries.constEnd() ? -1 : it->listed;
}

QHash<QString, OFD_ZipArchive::Entry>::const_iterator OFD_ZipArchive::Lookup(const QString &name) const
{
    const auto it = m_entries.constFind(name);
    if (it != m_entries.constEnd())
        return it;
    const auto folded = m_foldedNames.constFind(name.toCaseFolded());
    return folded == m_foldedNames.constEnd() ? m_entries.constEnd() : m_entries.constFind(folded.value());
}

const OFD_ZipRecord *OFD_ZipArchive::Record(const QString &name) const
{
    const auto it = Lookup(name);
    return it == m_entries.constEnd() || it->inMemory || it->record < 0 ? nullptr
                                                                          : &m_directory.Records()[size_t(it->record)];
}

int OFD_ZipArchive::RecordIndex(const QString &name) const
{
    const auto it = m_entries.constFind(name);
    return it == m_entries.constEnd() || it->inMemory ? -1 : it->record;
}

int OFD_ZipArchive::ListedRecord(int listed) const
{
    return listed >= 0 && size_t(listed) < m_listedRecords.size() ? m_listedRecords[size_t(listed)] : -1;
}

QByteArray OFD_ZipArchive::ReadRaw(qint64 offset, qint64 length) const
{
    if (offset < 0 || length < 0 || length > m_rawSize - offset || length >= qint64(INT_MAX))
        return QByteArray();
    if (!m_raw.isOpen())
        return QByteArray::fromRawData(m_bytes.constData() + offset, int(length));
    QByteArray bytes;
    if (m_raw.seek(offset))
        bytes = m_raw.read(length);
    return bytes.size() == length ? bytes : QByteArray();
}

bool OFD_ZipArchive::FileUnchanged() const
{
    const FileStamp now = StampOf(m_filePath);
    return now.size == m_rawSize && now == m_stamp;
}

namespace {

template<typename Stamp>
Stamp StampOfStat(const struct stat &st)
{
    Stamp stamp;
    stamp.size = qint64(st.st_size);
    stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    stamp.inode = qint64(st.st_ino);
    stamp.device = qint64(st.st_dev);
    return stamp;
}

} // namespace

OFD_ZipArchive::FileStamp OFD_ZipArchive::StampOf(const QString &filePath)
{
    struct stat st;
    return ::stat(QFile::encodeName(filePath).constData(), &st) == 0 ? StampOfStat<FileStamp>(st) : FileStamp();
}

OFD_ZipArchive::FileStamp OFD_ZipArchive::StampOf(int handle)
{
    struct stat st;
    return ::fstat(handle, &st) == 0 ? StampOfStat<FileStamp>(st) : FileStamp();
}

int OFD_ZipArchive::RawHandle(QFile &file) const
{
    if (m_raw.isOpen())
        return m_raw.handle();
    file.setFileName(m_filePath);
    // Stamped once open, so that a file put in its place meanwhile is not taken for it.
    if (m_filePath.isEmpty() || !file.open(QIODevice::ReadOnly) || !(StampOf(file.handle()) == m_stamp)
        || m_stamp.size != m_rawSize) {
        file.close();
        return -1;
    }
    return file.handle();
}

bool OFD_ZipArchive::ListsEveryRecord() const
{
    return m_listsEveryRecord && m_memory.isEmpty();
}

bool OFD_ZipArchive::IsInMemory(const QString &name) const
{
    if (m_memory.isEmpty())
        return false;
    const auto it = Lookup(name);
    return it != m_entries.constEnd() && it->inMemory;
}

void OFD_ZipArchive::Overlay(const QHash<QString, QByteArray> &written, const QSet<QString> &removed)
{
    m_listsEveryRecord = false;
    int moved = m_names.size(); // the first name listed at another place now
    for (const QString &name : removed) {
        const QString stored = FindEntry(name);
        if (stored.isEmpty())
            continue;
        const int listed = m_names.indexOf(stored);
        if (listed >= 0) {
            m_names.removeAt(listed);
            m_listedRecords.erase(m_listedRecords.begin() + listed);
            moved = std::min(moved, listed);
        }
        m_entries.remove(stored);
        m_foldedNames.remove(stored.toCaseFolded());
        m_memory.remove(stored);
    }
    for (int listed = moved; listed < m_names.size(); ++listed) {
        const auto entry = m_entries.find(m_names.at(listed));
        if (entry != m_entries.end())
            entry->listed = listed;
    }
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (auto it = written.constBegin(); it != written.constEnd(); ++it) {
        QString stored = FindEntry(it.key());
        int listed = -1;
        if (stored.isEmpty()) {
            stored = it.key();
            listed = m_names.size();
            m_names.append(stored);
            m_listedRecords.push_back(-1);
            m_foldedNames.insert(stored.toCaseFolded(), stored);
        } else if (listed = m_names.indexOf(stored); listed >= 0) {
            // Served from memory now: no record of the file is its own any more.
            m_listedRecords[size_t(listed)] = -1;
        }
        m_entries.insert(stored, {0, it.value().size(), now, true, -1, listed});
        m_memory.insert(stored, it.value());
    }
}

qint64 OFD_ZipArchive::EntrySize(const QString &name) const
{
    const auto it = Lookup(name);
    return it == m_entries.constEnd() ? -1 : it->size;
}

QDateTime OFD_ZipArchive::EntryDate(const QString &name) const
{
    const auto it = Lookup(name);
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

#include "ofd_ziparchive.h"

#include <KZip>
#include <KArchiveDirectory>
#include <KArchiveFile>

#include <QCoreApplication>
#include <QFile>

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

// KArchive keeps "." and ".." as names of its tree; such entries are not ours to read.
bool IsUnsafeName(const QString &name)
{
    return name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..");
}

const int kMaxDirectoryDepth = 64;

} // namespace

OFD_ZipArchive::OFD_ZipArchive(const OFD_ArchiveLimits &limits) : m_limits(limits) {}

OFD_ZipArchive::~OFD_ZipArchive()
{
    Close();
}

// The central directory states how many entries follow; refusing early keeps KZip from
// building a tree of a million entries.
bool OFD_ZipArchive::CheckEntryCount(const QString &filePath, QString *error) const
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = Tr("Cannot open %1: %2").arg(filePath, file.errorString());
        return false;
    }
    const qint64 size = file.size();
    const qint64 tailSize = std::min<qint64>(size, 22 + 65535);
    if (tailSize < 22)
        return true; // too short to be a zip: KZip says so
    file.seek(size - tailSize);
    const QByteArray tail = file.read(tailSize);
    int pos = -1;
    for (int i = tail.size() - 22; i >= 0; --i) {
        if (tail.at(i) == 'P' && tail.at(i + 1) == 'K' && tail.at(i + 2) == 5 && tail.at(i + 3) == 6) {
            pos = i;
            break;
        }
    }
    if (pos < 0)
        return true;
    quint64 count = ReadLE(tail.constData() + pos + 10, 2);
    if (count == 0xFFFF && pos >= 20) {
        const char *locator = tail.constData() + pos - 20;
        if (locator[0] == 'P' && locator[1] == 'K' && locator[2] == 6 && locator[3] == 7) {
            const quint64 recordPos = ReadLE(locator + 8, 8);
            if (recordPos < quint64(size) && file.seek(qint64(recordPos))) {
                const QByteArray record = file.read(56);
                if (record.size() == 56 && record.startsWith(QByteArray("PK\x06\x06", 4)))
                    count = ReadLE(record.constData() + 32, 8);
            }
        }
    }
    if (count > quint64(m_limits.maxEntries)) {
        if (error)
            *error = Tr("The package holds %1 entries; at most %2 are accepted.")
                         .arg(count).arg(m_limits.maxEntries);
        return false;
    }
    return true;
}

bool OFD_ZipArchive::Open(const QString &filePath, QString *error)
{
    Close();
    if (!CheckEntryCount(filePath, error))
        return false;
    auto zip = std::make_unique<KZip>(filePath);
    if (!zip->open(QIODevice::ReadOnly)) {
        if (error)
            *error = Tr("%1 is not a readable zip package.").arg(filePath);
        return false;
    }
    QList<QPair<QString, const KArchiveFile *>> files;
    CollectEntries(zip->directory(), QString(), 0, files);
    if (files.size() > m_limits.maxEntries) {
        if (error)
            *error = Tr("The package holds %1 entries; at most %2 are accepted.")
                         .arg(files.size()).arg(m_limits.maxEntries);
        zip->close();
        return false;
    }
    qint64 total = 0;
    for (const auto &entry : qAsConst(files)) {
        const qint64 size = entry.second->size();
        total += size;
        if (size > m_limits.maxEntrySize || total > m_limits.maxTotalSize) {
            if (error)
                *error = size > m_limits.maxEntrySize
                             ? Tr("The entry %1 inflates to %2 bytes; at most %3 are accepted.")
                                   .arg(entry.first).arg(size).arg(m_limits.maxEntrySize)
                             : Tr("The package inflates to more than %1 bytes.").arg(m_limits.maxTotalSize);
            zip->close();
            return false;
        }
    }
    std::stable_sort(files.begin(), files.end(), [](const auto &a, const auto &b) {
        return a.second->position() < b.second->position();
    });
    for (const auto &entry : qAsConst(files)) {
        m_names.append(entry.first);
        m_files.insert(entry.first, entry.second);
        m_foldedNames.insert(entry.first.toCaseFolded(), entry.first);
    }
    m_zip = std::move(zip);
    m_filePath = filePath;
    return true;
}

void OFD_ZipArchive::CollectEntries(const KArchiveDirectory *dir, const QString &prefix, int depth,
                                    QList<QPair<QString, const KArchiveFile *>> &files) const
{
    if (depth > kMaxDirectoryDepth)
        return;
    const QStringList names = dir->entries();
    for (const QString &name : names) {
        if (IsUnsafeName(name))
            continue;
        const KArchiveEntry *entry = dir->entry(name);
        if (!entry)
            continue;
        if (entry->isDirectory())
            CollectEntries(static_cast<const KArchiveDirectory *>(entry), prefix + name + QLatin1Char('/'),
                           depth + 1, files);
        else if (entry->isFile())
            files.append(qMakePair(prefix + name, static_cast<const KArchiveFile *>(entry)));
        if (files.size() > m_limits.maxEntries)
            return;
    }
}

void OFD_ZipArchive::Close()
{
    m_names.clear();
    m_files.clear();
    m_foldedNames.clear();
    if (m_zip && m_zip->isOpen())
        m_zip->close();
    m_zip.reset();
    m_filePath.clear();
}

bool OFD_ZipArchive::IsOpen() const
{
    return m_zip && m_zip->isOpen();
}

QString OFD_ZipArchive::FindEntry(const QString &name) const
{
    if (m_files.contains(name))
        return name;
    return m_foldedNames.value(name.toCaseFolded());
}

qint64 OFD_ZipArchive::EntrySize(const QString &name) const
{
    const KArchiveFile *file = m_files.value(FindEntry(name));
    return file ? file->size() : -1;
}

QDateTime OFD_ZipArchive::EntryDate(const QString &name) const
{
    const KArchiveFile *file = m_files.value(FindEntry(name));
    return file ? file->date() : QDateTime();
}

bool OFD_ZipArchive::ReadEntry(const QString &name, QByteArray &data, QString *error) const
{
    data.clear();
    const QString stored = FindEntry(name);
    const KArchiveFile *file = m_files.value(stored);
    if (!file) {
        if (error)
            *error = Tr("The package has no entry %1.").arg(name);
        return false;
    }
    const qint64 declared = file->size();
    if (declared > m_limits.maxEntrySize || declared >= qint64(INT_MAX)) {
        if (error)
            *error = Tr("The entry %1 inflates to %2 bytes; at most %3 are accepted.")
                         .arg(stored).arg(declared).arg(m_limits.maxEntrySize);
        return false;
    }
    std::unique_ptr<QIODevice> device(file->createDevice());
    if (!device || (!device->isOpen() && !device->open(QIODevice::ReadOnly))) {
        if (error)
            *error = Tr("The entry %1 cannot be read (unsupported compression).").arg(stored);
        return false;
    }
    // Never trust the declared size: read at most one byte more than it to notice a lie.
    QByteArray buffer;
    buffer.resize(int(declared));
    qint64 done = 0;
    while (done < declared) {
        const qint64 n = device->read(buffer.data() + done, declared - done);
        if (n <= 0)
            break;
        done += n;
    }
    char extra;
    const bool longer = device->read(&extra, 1) > 0;
    if (done != declared || longer) {
        if (error)
            *error = Tr("The entry %1 is damaged (its size does not match the directory).").arg(stored);
        return false;
    }
    data = buffer;
    return true;
}

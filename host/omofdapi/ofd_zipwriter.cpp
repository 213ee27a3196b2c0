#include "ofd_zipwriter.h"

#include "ofd_ziparchive.h"
#include "ofd_zipformat.h"

#include <zlib.h>

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace OFD_ZipFormat;

namespace {

const int kGather = 1 << 20;        // smaller writes are gathered up to this
const qint64 kDirect = 64 << 10;    // larger ones go straight to the file, without a copy
const qint64 kChunk = qint64(16) << 20; // a copy from a file is read in pieces of this
const quint16 kDescriptorFlag = 0x0008;
const quint16 kUtf8Flag = 0x0800;

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

bool Fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

// Unbuffered: the package is written at its descriptor, by us or by the kernel's copies, so that
// a write cut short (a full disk, a file size limit) is seen when it happens.
std::unique_ptr<QSaveFile> OpenTarget(const QString &targetPath, QString *error)
{
    auto target = std::make_unique<QSaveFile>(targetPath);
    if (target->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return target;
    Fail(error, Tr("Cannot write %1: %2").arg(targetPath, target->errorString()));
    return nullptr;
}

void DosTime(const QDateTime &date, quint16 &time, quint16 &day)
{
    QDateTime when = date.isValid() ? date.toLocalTime() : QDateTime::currentDateTime();
    if (when.date().year() < 1980)
        when = QDateTime(QDate(1980, 1, 1), QTime(0, 0));
    else if (when.date().year() > 2107)
        when = QDateTime(QDate(2107, 12, 31), QTime(23, 59, 58));
    const QDate d = when.date();
    const QTime t = when.time();
    day = quint16(((d.year() - 1980) << 9) | (d.month() << 5) | d.day());
    time = quint16((t.hour() << 11) | (t.minute() << 5) | (t.second() / 2));
}

// Raw deflate of `data`; false when it would not be smaller.
bool Deflate(z_stream &stream, const QByteArray &data, QByteArray &out)
{
    if (deflateReset(&stream) != Z_OK)
        return false;
    out.resize(int(deflateBound(&stream, uLong(data.size()))));
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END || stream.total_out >= uLong(data.size()))
        return false;
    out.resize(int(stream.total_out));
    return true;
}

// `length` bytes at `offset` of the source: where it holds them in memory, else read into `store`.
const char *RawAt(const OFD_ZipArchive &source, qint64 offset, qint64 length, QByteArray &store)
{
    if (offset < 0 || length < 0 || length > source.RawSize() - offset)
        return nullptr;
    if (const char *bytes = source.RawBytes())
        return bytes + offset;
    store = source.ReadRaw(offset, length);
    return store.size() == length ? store.constData() : nullptr;
}

// Writes at the descriptor's place: every write of a package goes there, between the kernel's copies.
bool WriteAll(int to, const char *data, qint64 length)
{
    while (length > 0) {
        const ssize_t n = ::write(to, data, size_t(length));
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = ENOSPC;
        if (n <= 0)
            return false;
        data += n;
        length -= n;
    }
    return true;
}

// Copies `length` bytes at `offset` of the file `from` to the place of the descriptor `to` in the
// kernel, which moves that place on; how many bytes it copied. The rest is for the caller to write.
qint64 CopyRange(int from, qint64 offset, qint64 length, int to)
{
    qint64 done = 0;
    while (done < length) {
        loff_t at = offset + done;
        const ssize_t n = ::copy_file_range(from, &at, to, nullptr, size_t(length - done), 0);
        if (n <= 0)
            break; // refused (another file system, an old kernel) or cut short: the rest by hand
        done += n;
    }
    return done;
}

// Copies the whole file `from` into the empty file `to`, sharing its blocks where the file system
// can, as a plain file copy does; how many bytes it copied, -1 when the clone went wrong.
qint64 KernelCopy(int from, qint64 length, int to)
{
    if (::ioctl(to, FICLONE, from) == 0)
        return ::lseek(to, 0, SEEK_END) == length ? length : -1;
    return CopyRange(from, 0, length, to);
}

} // namespace

// An entry as the new directory lists it; a copy also knows where its bytes and its directory
// record lie in its source.
struct OFD_ZipWriter::Entry
{
    OFD_ZipRecord record; // its localOffset is the source's, of a copy
    quint64 offset = 0;   // of its local header in the new package
    QByteArray data;      // the compressed bytes of an entry written anew
    const OFD_ZipArchive *source = nullptr;
    qint64 from = 0;      // the bytes of the source it is copied from
    qint64 to = 0;
    bool asIs = false;    // its local header is copied too, not written from the directory record
};

OFD_ZipWriter::OFD_ZipWriter() = default;

OFD_ZipWriter::~OFD_ZipWriter()
{
    Abandon();
}

void OFD_ZipWriter::Abandon()
{
    if (m_file)
        m_file->cancelWriting();
    m_file.reset();
    m_names.clear();
    m_copied.clear();
    m_entries.clear();
    m_pending.clear();
    m_position = 0;
    m_nowDate = 0;
}

bool OFD_ZipWriter::Begin(const QString &targetPath, QString *error)
{
    Abandon();
    m_target = targetPath;
    m_pending.reserve(int(kDirect));
    m_file = OpenTarget(targetPath, error);
    return m_file != nullptr;
}

// Checked once all are known: a lookup per entry written anew, none per copy.
bool OFD_ZipWriter::ClaimsUnique(QString *error) const
{
    for (const Entry &entry : m_entries) {
        if (entry.source)
            continue;
        const QString name = QString::fromUtf8(entry.record.rawName);
        for (const Copied &copied : m_copied) {
            const OFD_ZipRecord *record = copied.source->Record(name);
            if (record && copied.records[size_t(record - copied.source->Directory().Records().data())])
                return Fail(error, Tr("The entry %1 was written twice.").arg(name));
        }
    }
    return true;
}

bool OFD_ZipWriter::AddFile(const QString &name, const QByteArray &data, const QDateTime &date, QString *error)
{
    if (!m_file)
        return Fail(error, Tr("The package is not open for writing."));
    if (m_names.contains(name))
        return Fail(error, Tr("The entry %1 was written twice.").arg(name));
    m_names.insert(name);
    // The fastest level: it packs the XML we write nearly as small as the default does, in
    // half the time, and a save rewrites Document.xml, which grows with the page count.
    static thread_local struct Stream
    {
        Stream() { ok = deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK; }
        ~Stream() { deflateEnd(&z); }
        z_stream z{};
        bool ok = false;
    } stream;
    Entry entry;
    OFD_ZipRecord &record = entry.record;
    record.rawName = name.toUtf8();
    record.versionNeeded = 20;
    record.method = 8;
    for (const char c : record.rawName)
        if (quint8(c) >= 0x80)
            record.flags = kUtf8Flag;
    if (date.isValid()) {
        DosTime(date, record.time, record.date);
    } else {
        if (m_nowDate == 0)
            DosTime(QDateTime(), m_nowTime, m_nowDate);
        record.time = m_nowTime;
        record.date = m_nowDate;
    }
    record.crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size())));
    record.size = quint64(data.size());
    if (!stream.ok || !Deflate(stream.z, data, entry.data)) {
        record.method = 0;
        record.versionNeeded = 10;
        entry.data = data;
    }
    record.compressedSize = quint64(entry.data.size());
    m_entries.push_back(std::move(entry));
    return true;
}

bool OFD_ZipWriter::AddCopy(const OFD_ZipArchive &source, const QString &name, QString *error)
{
    const OFD_ZipRecord *record = source.Record(name);
    if (!record)
        return Fail(error, Tr("The package has no entry %1.").arg(name));
    return AddCopy(source, int(record - source.Directory().Records().data()), error);
}

// Copies are noted by their place in the source's directory: no set of thousands of names.
bool OFD_ZipWriter::AddCopy(const OFD_ZipArchive &source, int record, QString *error)
{
    if (!m_file)
        return Fail(error, Tr("The package is not open for writing."));
    const std::vector<OFD_ZipRecord> &records = source.Directory().Records();
    if (record < 0 || size_t(record) >= records.size())
        return Fail(error, Tr("The package has no such entry."));
    auto copied = std::find_if(m_copied.begin(), m_copied.end(), [&source](const Copied &c) { return c.source == &source; });
    if (copied == m_copied.end()) {
        m_copied.push_back({&source, std::vector<bool>(records.size())});
        copied = m_copied.end() - 1;
        m_entries.reserve(m_entries.size() + records.size() + 64); // and some written anew
    }
    if (copied->records[size_t(record)])
        return Fail(error, Tr("The entry %1 was written twice.").arg(QString::fromUtf8(records[size_t(record)].rawName)));
    copied->records[size_t(record)] = true;
    Entry entry;
    entry.record = records[size_t(record)];
    entry.source = &source;
    m_entries.push_back(std::move(entry));
    return true;
}

// Where the entry's bytes lie in its source. Its local header is copied with them when it says
// what the directory says; otherwise the entry gets a new one made from the directory record,
// which is what readers go by, and the descriptor after its data is left out.
bool OFD_ZipWriter::PlaceCopy(Entry &entry, QString *error)
{
    OFD_ZipRecord &record = entry.record;
    const OFD_ZipArchive &source = *entry.source;
    const qint64 start = qint64(qMin<quint64>(record.localOffset, quint64(LLONG_MAX / 2)));
    QByteArray localStore, headStore, descriptorStore;
    const char *local = RawAt(source, start, 30, localStore);
    if (!local || memcmp(local, "PK\x03\x04", 4) != 0)
        return Fail(error, Tr("The entry %1 cannot be copied: the package has no entry where its directory says.")
                               .arg(QString::fromUtf8(record.rawName)));
    const int nameLength = int(ReadLE(local + 26, 2));
    const int extraLength = int(ReadLE(local + 28, 2));
    const char *head = RawAt(source, start + 30, nameLength + extraLength, headStore);
    const qint64 dataStart = start + 30 + nameLength + extraLength;
    if (!head || record.compressedSize > quint64(source.RawSize() - dataStart))
        return Fail(error, Tr("The entry %1 cannot be copied: its bytes run past the end of the package.")
                               .arg(QString::fromUtf8(record.rawName)));
    const qint64 dataEnd = dataStart + qint64(record.compressedSize);
    const quint16 flags = quint16(ReadLE(local + 6, 2));
    quint64 crc = ReadLE(local + 14, 4);
    quint64 compressed = ReadLE(local + 18, 4);
    quint64 size = ReadLE(local + 22, 4);
    const char *extra = head + nameLength;
    qint64 end = dataEnd;
    bool same = nameLength == record.rawName.size() && memcmp(head, record.rawName.constData(), size_t(nameLength)) == 0
        && ReadLE(local + 8, 2) == record.method
        && (flags & (kDescriptorFlag | 1)) == (record.flags & (kDescriptorFlag | 1));
    if (same && (flags & kDescriptorFlag)) {
        const qint64 length = qMin<qint64>(24, source.RawSize() - dataEnd);
        const char *descriptor = RawAt(source, dataEnd, length, descriptorStore);
        const int at = descriptor && length >= 4 && memcmp(descriptor, "PK\x07\x08", 4) == 0 ? 4 : 0;
        const int width = HasField(extra, extraLength, kZip64Extra) ? 8 : 4;
        same = descriptor && length >= at + 4 + 2 * width;
        if (same) {
            crc = ReadLE(descriptor + at, 4);
            compressed = ReadLE(descriptor + at + 4, width);
            size = ReadLE(descriptor + at + 4 + width, width);
            end += at + 4 + 2 * width;
        }
    } else if (same) {
        same = ReadZip64(extra, extraLength, size, compressed, nullptr);
    }
    entry.asIs = same && crc == record.crc && compressed == record.compressedSize && size == record.size;
    entry.from = entry.asIs ? start : dataStart;
    entry.to = entry.asIs ? end : dataEnd;
    if (!entry.asIs)
        record.flags = quint16(record.flags & ~kDescriptorFlag);
    return true;
}

// Copies that keep their local header, in the order of their source, neighbours in one go.
bool OFD_ZipWriter::WriteCopies(QString *error)
{
    std::vector<Entry *> copies;
    for (Entry &entry : m_entries)
        if (entry.asIs)
            copies.push_back(&entry);
    const auto byPlace = [](const Entry *a, const Entry *b) { return a->from < b->from; };
    if (!std::is_sorted(copies.begin(), copies.end(), byPlace)) // as they mostly are, in directory order
        std::stable_sort(copies.begin(), copies.end(), byPlace);
    for (size_t i = 0; i < copies.size();) {
        const OFD_ZipArchive *source = copies[i]->source;
        const qint64 from = copies[i]->from;
        qint64 to = copies[i]->to;
        size_t next = i;
        for (; next < copies.size() && copies[next]->source == source && copies[next]->from == (next == i ? from : to); ++next) {
            to = copies[next]->to;
            copies[next]->offset = m_position + quint64(copies[next]->from - from);
        }
        // A package read from disk is copied by the kernel: its bytes need not pass through here.
        QFile unused;
        const int handle = source->RawBytes() ? -1 : source->RawHandle(unused);
        qint64 at = from;
        if (handle >= 0 && to - from >= kDirect) {
            if (!Flush(error))
                return false;
            const qint64 copied = CopyRange(handle, from, to - from, m_file->handle());
            m_position += quint64(copied);
            at += copied;
        }
        for (; at < to; at += kChunk) {
            const QByteArray bytes = source->ReadRaw(at, qMin(kChunk, to - at));
            if (bytes.isEmpty())
                return Fail(error, Tr("Cannot read the package being saved: %1").arg(source->FilePath()));
            if (!Write(bytes, error))
                return false;
        }
        i = next;
    }
    return true;
}

bool OFD_ZipWriter::WriteEntry(Entry &entry, const QByteArray &data, QString *error)
{
    entry.offset = m_position;
    const OFD_ZipRecord &record = entry.record;
    const bool zip64 = record.size >= kMax32 || record.compressedSize >= kMax32;
    QByteArray header("PK\x03\x04", 4);
    PutLE(header, zip64 ? qMax<quint16>(record.versionNeeded, 45) : record.versionNeeded, 2);
    PutLE(header, record.flags, 2);
    PutLE(header, record.method, 2);
    PutLE(header, record.time, 2);
    PutLE(header, record.date, 2);
    PutLE(header, record.crc, 4);
    PutLE(header, zip64 ? kMax32 : record.compressedSize, 4);
    PutLE(header, zip64 ? kMax32 : record.size, 4);
    PutLE(header, quint64(record.rawName.size()), 2);
    PutLE(header, zip64 ? 20 : 0, 2);
    header.append(record.rawName);
    if (zip64) {
        PutLE(header, kZip64Extra, 2);
        PutLE(header, 16, 2);
        PutLE(header, record.size, 8);
        PutLE(header, record.compressedSize, 8);
    }
    return Write(header, error) && Write(data, error);
}

// The entry's directory record copied with its new offset, or, when that needs a zip64 field or
// the entry got a new local header, made from its fields (other extra fields and comment kept).
void OFD_ZipWriter::DirectoryRecord(const Entry &entry, QByteArray &out)
{
    const OFD_ZipRecord &record = entry.record;
    const char *p = entry.source ? entry.source->Directory().Bytes().constData() + record.start : nullptr;
    if (p && entry.asIs && entry.offset < kMax32 && ReadLE(p + 42, 4) != kMax32) {
        out.append(p, record.length);
        SetLE(out.data() + out.size() - record.length + 42, entry.offset, 4);
        return;
    }
    const int nameLength = p ? int(ReadLE(p + 28, 2)) : 0;
    const int extraLength = p ? int(ReadLE(p + 30, 2)) : 0;
    QByteArray extra = p ? WithoutZip64(p + 46 + nameLength, extraLength) : QByteArray();
    const QByteArray comment = p ? QByteArray(p + 46 + nameLength + extraLength, int(ReadLE(p + 32, 2))) : QByteArray();
    QByteArray zip64;
    for (const quint64 value : {record.size, record.compressedSize, entry.offset})
        if (value >= kMax32)
            PutLE(zip64, value, 8);
    if (!zip64.isEmpty()) {
        QByteArray field;
        PutLE(field, kZip64Extra, 2);
        PutLE(field, quint64(zip64.size()), 2);
        extra.prepend(field + zip64);
    }
    QByteArray bytes("PK\x01\x02", 4);
    PutLE(bytes, p ? ReadLE(p + 4, 2) : 20, 2); // made by
    PutLE(bytes, zip64.isEmpty() ? record.versionNeeded : qMax<quint16>(record.versionNeeded, 45), 2);
    PutLE(bytes, record.flags, 2);
    PutLE(bytes, record.method, 2);
    PutLE(bytes, record.time, 2);
    PutLE(bytes, record.date, 2);
    PutLE(bytes, record.crc, 4);
    PutLE(bytes, qMin<quint64>(record.compressedSize, kMax32), 4);
    PutLE(bytes, qMin<quint64>(record.size, kMax32), 4);
    PutLE(bytes, quint64(record.rawName.size()), 2);
    PutLE(bytes, quint64(extra.size()), 2);
    PutLE(bytes, quint64(comment.size()), 2);
    PutLE(bytes, 0, 2);                          // disk
    PutLE(bytes, p ? ReadLE(p + 36, 2) : 0, 2); // internal attributes
    PutLE(bytes, p ? ReadLE(p + 38, 4) : 0, 4); // external attributes
    PutLE(bytes, qMin<quint64>(entry.offset, kMax32), 4);
    out += bytes + record.rawName + extra + comment;
}

// The end record, after a zip64 end record and its locator when the counts or offsets need them.
QByteArray OFD_ZipWriter::EndRecords(quint64 start, quint64 length, quint64 count)
{
    QByteArray end;
    if (count >= 0xFFFF || start >= kMax32 || length >= kMax32) {
        end.append("PK\x06\x06", 4);
        PutLE(end, 44, 8);
        PutLE(end, 45, 2);
        PutLE(end, 45, 2);
        PutLE(end, 0, 8); // this disk, the directory's disk
        PutLE(end, count, 8);
        PutLE(end, count, 8);
        PutLE(end, length, 8);
        PutLE(end, start, 8);
        end.append("PK\x06\x07", 4);
        PutLE(end, 0, 4);
        PutLE(end, start + length, 8);
        PutLE(end, 1, 4);
    }
    end.append("PK\x05\x06", 4);
    PutLE(end, 0, 4);
    PutLE(end, qMin<quint64>(count, 0xFFFF), 2);
    PutLE(end, qMin<quint64>(count, 0xFFFF), 2);
    PutLE(end, qMin<quint64>(length, kMax32), 4);
    PutLE(end, qMin<quint64>(start, kMax32), 4);
    PutLE(end, 0, 2);
    return end;
}

bool OFD_ZipWriter::WriteDirectory(QString *error)
{
    const quint64 start = m_position;
    for (const Entry &entry : m_entries) {
        const int before = m_pending.size();
        DirectoryRecord(entry, m_pending);
        m_position += quint64(m_pending.size() - before);
        if (m_pending.size() >= kGather && !Flush(error))
            return false;
    }
    return Write(EndRecords(start, m_position - start, m_entries.size()), error);
}

bool OFD_ZipWriter::Flush(QString *error)
{
    if (m_pending.isEmpty())
        return true;
    const bool ok = WriteAll(m_file->handle(), m_pending.constData(), m_pending.size());
    m_pending.resize(0); // keeps what was reserved
    return ok || Fail(error, Tr("Cannot write %1: %2").arg(m_target, WriteError(*m_file)));
}

bool OFD_ZipWriter::Write(const char *data, qint64 length, QString *error)
{
    m_position += quint64(length);
    if (length < kDirect && m_pending.size() + length <= kGather) {
        m_pending.append(data, int(length));
        return true;
    }
    if (!Flush(error))
        return false;
    if (length < kDirect) {
        m_pending.append(data, int(length));
        return true;
    }
    return WriteAll(m_file->handle(), data, length)
        || Fail(error, Tr("Cannot write %1: %2").arg(m_target, WriteError(*m_file)));
}

bool OFD_ZipWriter::Commit(QString *error)
{
    if (!m_file || m_entries.empty()) {
        Abandon();
        return Fail(error, Tr("The package is not open for writing."));
    }
    bool ok = ClaimsUnique(error);
    for (Entry &entry : m_entries)
        ok = ok && (!entry.source || PlaceCopy(entry, error));
    ok = ok && WriteCopies(error);
    for (Entry &entry : m_entries) {
        if (!ok || entry.asIs)
            continue;
        const QByteArray data = entry.source ? entry.source->ReadRaw(entry.from, entry.to - entry.from) : entry.data;
        if (entry.source && qint64(data.size()) != entry.to - entry.from)
            ok = Fail(error, Tr("Cannot read the package being saved: %1").arg(entry.source->FilePath()));
        ok = ok && WriteEntry(entry, data, error);
    }
    ok = ok && WriteDirectory(error) && Flush(error);
    if (ok && !m_file->commit())
        ok = Fail(error, Tr("Cannot write %1: %2").arg(m_target, m_file->errorString()));
    if (ok)
        m_file.reset();
    Abandon();
    return ok;
}

bool OFD_ZipWriter::CopyPackage(const OFD_ZipArchive &source, const QString &targetPath, QString *error)
{
    std::unique_ptr<QSaveFile> target = OpenTarget(targetPath, error);
    if (!target)
        return false;
    const auto fail = [&](const QString &reason) {
        target->cancelWriting();
        return Fail(error, reason);
    };
    QFile raw;
    const int from = source.RawHandle(raw);
    const qint64 copied = from < 0 ? 0 : KernelCopy(from, source.RawSize(), target->handle());
    if (copied < 0)
        return fail(Tr("Cannot write %1: %2").arg(targetPath, WriteError(*target)));
    // The kernel moved the descriptor past what it copied; the rest follows from there.
    for (qint64 at = copied; at < source.RawSize(); at += kChunk) {
        const QByteArray chunk = source.ReadRaw(at, qMin(kChunk, source.RawSize() - at));
        if (chunk.isEmpty())
            return fail(Tr("Cannot read the package being saved: %1").arg(source.FilePath()));
        if (!WriteAll(target->handle(), chunk.constData(), chunk.size()))
            return fail(Tr("Cannot write %1: %2").arg(targetPath, WriteError(*target)));
    }
    return target->commit() || Fail(error, Tr("Cannot write %1: %2").arg(targetPath, target->errorString()));
}

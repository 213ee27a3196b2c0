#include "ofd_zipdirectory.h"

#include "ofd_zipformat.h"

#include <QIODevice>

#include <algorithm>
#include <climits>

using OFD_ZipFormat::ReadLE;

bool OFD_ZipDirectory::Locate(QIODevice &file, qint64 &start, qint64 &length)
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

bool OFD_ZipDirectory::Read(QIODevice &file, qint64 maxRecords)
{
    m_bytes.clear();
    m_records.clear();
    m_count = 0;
    qint64 length = 0;
    if (!Locate(file, m_start, length) || length >= qint64(INT_MAX) || !file.seek(m_start))
        return false;
    m_bytes = file.read(length);
    const char *p = m_bytes.constData();
    std::vector<int> starts;
    for (qint64 pos = 0; pos + 46 <= m_bytes.size(); ++m_count) {
        if (p[pos] != 'P' || p[pos + 1] != 'K' || p[pos + 2] != 1 || p[pos + 3] != 2)
            break;
        if (m_count < maxRecords)
            starts.push_back(int(pos));
        pos += 46 + qint64(ReadLE(p + pos + 28, 2)) + qint64(ReadLE(p + pos + 30, 2)) + qint64(ReadLE(p + pos + 32, 2));
    }
    if (m_count > maxRecords)
        return true;
    m_records.resize(starts.size());
    for (size_t i = 0; i < starts.size(); ++i)
        if (!ParseRecord(m_bytes, starts[i], m_records[i]))
            m_records[i] = OFD_ZipRecord();
    return true;
}

bool OFD_ZipDirectory::ParseRecord(const QByteArray &bytes, int pos, OFD_ZipRecord &record)
{
    if (pos < 0 || pos + 46 > bytes.size())
        return false;
    const char *p = bytes.constData() + pos;
    const int nameLength = int(ReadLE(p + 28, 2));
    const int extraLength = int(ReadLE(p + 30, 2));
    const int length = 46 + nameLength + extraLength + int(ReadLE(p + 32, 2));
    if (bytes.size() - pos < length)
        return false;
    record.versionNeeded = quint16(ReadLE(p + 6, 2));
    record.flags = quint16(ReadLE(p + 8, 2));
    record.method = quint16(ReadLE(p + 10, 2));
    record.time = quint16(ReadLE(p + 12, 2));
    record.date = quint16(ReadLE(p + 14, 2));
    record.crc = quint32(ReadLE(p + 16, 4));
    record.compressedSize = ReadLE(p + 20, 4);
    record.size = ReadLE(p + 24, 4);
    record.localOffset = ReadLE(p + 42, 4);
    record.rawName = QByteArray(p + 46, nameLength);
    record.start = pos;
    record.length = length;
    OFD_ZipFormat::ReadZip64(p + 46 + nameLength, extraLength, record.size, record.compressedSize, &record.localOffset);
    return true;
}

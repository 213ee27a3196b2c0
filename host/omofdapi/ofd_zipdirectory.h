#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <vector>

class QIODevice;

// One record of a zip's central directory, with its zip64 sizes and offset resolved.
struct OFD_ZipRecord
{
    QByteArray rawName;
    quint16 versionNeeded = 0;
    quint16 flags = 0;
    quint16 method = 0;
    quint16 time = 0;
    quint16 date = 0;
    quint32 crc = 0;
    quint64 compressedSize = 0;
    quint64 size = 0;
    quint64 localOffset = 0;
    int start = 0;  // where the record lies in the directory's bytes
    int length = 0;
};

// The central directory of a zip file, read as the file holds it: the writer copies its records
// and finds each entry's bytes through them.
class OFD_ZipDirectory
{
public:
    // False when the file has no end record. The records are kept only when there are at most
    // `maxRecords`: a directory of a million entries is counted, not parsed.
    bool Read(QIODevice &file, qint64 maxRecords);

    qint64 Count() const { return m_count; }
    const std::vector<OFD_ZipRecord> &Records() const { return m_records; }
    const QByteArray &Bytes() const { return m_bytes; }
    qint64 Start() const { return m_start; }

    // Parses the record at `pos` of `bytes`; false when there is none whole.
    static bool ParseRecord(const QByteArray &bytes, int pos, OFD_ZipRecord &record);

private:
    static bool Locate(QIODevice &file, qint64 &start, qint64 &length);

    QByteArray m_bytes;
    qint64 m_start = 0;
    qint64 m_count = 0;
    std::vector<OFD_ZipRecord> m_records;
};

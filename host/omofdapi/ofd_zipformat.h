#pragma once

#include <QByteArray>
#include <QtGlobal>

// Little-endian fields and zip64 extra fields, shared by the zip directory reader and writer.
namespace OFD_ZipFormat {

const quint32 kMax32 = 0xFFFFFFFFu;
const quint16 kZip64Extra = 0x0001;

inline quint64 ReadLE(const char *p, int bytes)
{
    quint64 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | quint8(p[i]);
    return value;
}

inline void PutLE(QByteArray &out, quint64 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

inline void SetLE(char *p, quint64 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        p[i] = char((value >> (8 * i)) & 0xFF);
}

// Takes the 64-bit values the zip64 extra field holds for those fields that are 0xFFFFFFFF;
// false when such a field has no value there.
inline bool ReadZip64(const char *extra, int length, quint64 &size, quint64 &compressedSize, quint64 *offset)
{
    const bool wantSize = size == kMax32;
    const bool wantCompressed = compressedSize == kMax32;
    const bool wantOffset = offset && *offset == kMax32;
    if (!wantSize && !wantCompressed && !wantOffset)
        return true;
    for (int pos = 0; pos + 4 <= length;) {
        const quint16 id = quint16(ReadLE(extra + pos, 2));
        const int fieldLength = int(ReadLE(extra + pos + 2, 2));
        if (pos + 4 + fieldLength > length)
            break;
        if (id == kZip64Extra) {
            const char *field = extra + pos + 4;
            int at = 0;
            for (quint64 *value : {wantSize ? &size : nullptr, wantCompressed ? &compressedSize : nullptr,
                                   wantOffset ? offset : nullptr}) {
                if (!value)
                    continue;
                if (at + 8 > fieldLength)
                    return false;
                *value = ReadLE(field + at, 8);
                at += 8;
            }
            return true;
        }
        pos += 4 + fieldLength;
    }
    return false;
}

inline bool HasField(const char *extra, int length, quint16 id)
{
    for (int pos = 0; pos + 4 <= length; pos += 4 + int(ReadLE(extra + pos + 2, 2)))
        if (ReadLE(extra + pos, 2) == id)
            return true;
    return false;
}

// The extra fields without any zip64 field, for a record whose zip64 field is written anew.
inline QByteArray WithoutZip64(const char *extra, int length)
{
    QByteArray kept;
    for (int pos = 0; pos + 4 <= length;) {
        const int fieldLength = int(ReadLE(extra + pos + 2, 2));
        if (pos + 4 + fieldLength > length)
            break;
        if (ReadLE(extra + pos, 2) != kZip64Extra)
            kept.append(extra + pos, 4 + fieldLength);
        pos += 4 + fieldLength;
    }
    return kept;
}

} // namespace OFD_ZipFormat

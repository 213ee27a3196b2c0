#pragma once

#include <KZip>
#include <KArchiveDirectory>
#include <KArchiveFile>

#include <QBuffer>
#include <QFile>
#include <QMap>

using Entries = QList<QPair<QString, QByteArray>>;

// The bytes of a zip package holding `entries`.
inline QByteArray ZipBytes(const Entries &entries)
{
    QBuffer buffer;
    KZip zip(&buffer);
    if (!zip.open(QIODevice::WriteOnly))
        return QByteArray();
    for (const auto &entry : entries)
        zip.writeFile(entry.first, entry.second);
    zip.close();
    return buffer.data();
}

inline bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void CollectEntries(const KArchiveDirectory *dir, const QString &prefix, QMap<QString, QByteArray> &entries)
{
    for (const QString &name : dir->entries()) {
        const KArchiveEntry *entry = dir->entry(name);
        if (entry->isDirectory())
            CollectEntries(static_cast<const KArchiveDirectory *>(entry), prefix + name + QLatin1Char('/'), entries);
        else
            entries.insert(prefix + name, static_cast<const KArchiveFile *>(entry)->data());
    }
}

// Every file of a zip package by its path; empty when the package cannot be read.
inline QMap<QString, QByteArray> ZipEntries(const QString &path)
{
    QMap<QString, QByteArray> entries;
    KZip zip(path);
    if (zip.open(QIODevice::ReadOnly))
        CollectEntries(zip.directory(), QString(), entries);
    return entries;
}

#pragma once

#include <QString>

#include <string_view>

// Locations inside a package. A package path has no leading slash ("Doc_0/Document.xml");
// a folder is a package path ending in "/" or empty for the root.
class OFD_PackagePath
{
public:
    // `location` as written in a part: a leading "/" starts at the package root, otherwise it is
    // relative to `baseFolder`. Empty when the location is empty or climbs out of the package.
    static QString Resolve(const QString &baseFolder, const QString &location);
    // The same for a location in UTF-8, into `path`, whose room is reused.
    static void Resolve(const QString &baseFolder, std::string_view location, QString &path);
    // The folder that holds `path` ("Doc_0/" for "Doc_0/Document.xml").
    static QString Folder(const QString &path);
    // The location of `path` to write in a part of `baseFolder`: relative when `path` lies
    // below that folder, else absolute.
    static QString LocationFrom(const QString &baseFolder, const QString &path);
};

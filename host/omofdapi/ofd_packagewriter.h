#pragma once

#include <QString>

class OFD_Document;
class OFD_PackageFile;

// Saves a document as an OFD package. A document read from a package keeps every part it
// did not change byte for byte: only changed annotation parts, the annotation index and
// Document.xml (for the index reference and MaxUnitID) are written anew. A document built in
// memory gets a whole new package. The target is replaced only when all was written.
class OFD_PackageWriter
{
public:
    // False with a reason when the package could not be written; the target is then as it was.
    static bool Save(OFD_Document *document, const QString &filePath, QString *error);

private:
    static bool SaveUpdate(OFD_Document *document, OFD_PackageFile &file, const QString &filePath, QString *error);
    static bool SaveNew(OFD_Document *document, const QString &filePath, QString *error);
};

#pragma once

#include <QString>

#include <memory>

class IG_Document;

// Where the reader gets its documents from and puts them back.
class ReaderDocumentIO
{
public:
    // The document of an OFD package, or null with `error` set.
    static std::unique_ptr<IG_Document> Open(const QString &path, QString *error);
    static bool Save(IG_Document *document, const QString &path, QString *error);
    // Saving changes into a signed package breaks its signatures.
    static bool IsSigned(const IG_Document *document);
    // Three empty A4 pages, for a start without a file.
    static std::unique_ptr<IG_Document> CreateBlank();
};

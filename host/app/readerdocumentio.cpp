#include "readerdocumentio.h"

#include "omofdapi/ofd_document.h"
#include "omofdapi/ofd_packagereader.h"
#include "omofdapi/ofd_packagewriter.h"

#include <QCoreApplication>

#include <new>

namespace {

QString OutOfMemory()
{
    return QCoreApplication::translate("ReaderDocumentIO", "There is not enough memory for this document.");
}

} // namespace

std::unique_ptr<IG_Document> ReaderDocumentIO::Open(const QString &path, QString *error)
{
    try {
        return OFD_PackageReader::Open(path, error);
    } catch (const std::bad_alloc &) {
        if (error)
            *error = OutOfMemory();
        return nullptr;
    }
}

// Only documents of the OFD model can be written as packages.
bool ReaderDocumentIO::Save(IG_Document *document, const QString &path, QString *error)
{
    auto *ofd = dynamic_cast<OFD_Document *>(document);
    if (!ofd) {
        if (error)
            *error = QCoreApplication::translate("ReaderDocumentIO", "This document cannot be saved as OFD.");
        return false;
    }
    try {
        return OFD_PackageWriter::Save(ofd, path, error);
    } catch (const std::bad_alloc &) {
        if (error)
            *error = OutOfMemory();
        return false;
    }
}

bool ReaderDocumentIO::IsSigned(const IG_Document *document)
{
    const auto *ofd = dynamic_cast<const OFD_Document *>(document);
    return ofd && ofd->IsSigned();
}

std::unique_ptr<IG_Document> ReaderDocumentIO::CreateBlank()
{
    return OFD_Document::CreateBlank(3, 210, 297);
}

#include "readerdocumentio.h"

#include "omofdapi/ofd_document.h"

#include <QCoreApplication>

namespace {

QString Unavailable()
{
    return QCoreApplication::translate("ReaderDocumentIO", "This build cannot read or write OFD packages.");
}

} // namespace

// Package reading and writing are not part of the model yet.
bool ReaderDocumentIO::CanOpen()
{
    return false;
}

bool ReaderDocumentIO::CanSave()
{
    return false;
}

std::unique_ptr<IG_Document> ReaderDocumentIO::Open(const QString &, QString *error)
{
    if (error)
        *error = Unavailable();
    return nullptr;
}

bool ReaderDocumentIO::Save(IG_Document *, const QString &, QString *error)
{
    if (error)
        *error = Unavailable();
    return false;
}

std::unique_ptr<IG_Document> ReaderDocumentIO::CreateBlank()
{
    return OFD_Document::CreateBlank(3, 210, 297);
}

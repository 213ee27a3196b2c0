#include "operations/gpi_deletealllinkannot.h"

#include "operations/interceptname.h"

#include "uiframework/g_operation.h"
#include "uiframework/g_uicontext.h"

#include <QMessageBox>
#include <QObject>

bool GPI_DeleteAllLinkAnnot::IsIntercept(G_Operation *operation)
{
    return IsInterceptName(operation, "tt_deletealllink");
}

bool GPI_DeleteAllLinkAnnot::DoActionHandle(G_Operation *operation)
{
    G_UIContext *context = operation ? operation->UIContext() : nullptr;
    // Without a context nobody can confirm, so nothing is deleted.
    if (!context)
        return false;
    const int answer = context->ShowMessageBox(
        QObject::tr("clear link"), QObject::tr("Are you sure to delete all link annots in the document?"),
        QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, QStringList(), QSize());
    return answer == QMessageBox::Ok;
}

bool GPI_DeleteAllLinkAnnot::BeforeDoActionHandle(G_Operation *)
{
    return true;
}

void GPI_DeleteAllLinkAnnot::NotifyHandle(G_Operation *)
{
}

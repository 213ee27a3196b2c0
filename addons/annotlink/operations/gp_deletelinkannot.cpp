#include "operations/gp_deletelinkannot.h"

#include "uiframework/g_runoperation.h"

G_Operation *GP_DeleteLinkAnnot::Clone() const
{
    GP_DeleteLinkAnnot *copy = new GP_DeleteLinkAnnot;
    copy->CopyFrom(*this);
    return copy;
}

const char *GP_DeleteLinkAnnot::Name() const
{
    return "d_annotlinkdel";
}

int GP_DeleteLinkAnnot::DoAction()
{
    if (!DocView())
        return 0;
    const int pageIndex = Param().GetQString(QStringLiteral("pageIndex")).toInt(nullptr, 10);
    const uint annotID = Param().GetQString(QStringLiteral("annotID")).toUInt(nullptr, 10);
    const bool noUndo = Param().GetBool(QStringLiteral("NoUndo"), false);
    const QString entry = QStringLiteral("%1:%2").arg(pageIndex).arg(annotID);

    // Whether the link exists is for "d_delannot" to find out.
    RunOperation(UIContext(), QStringLiteral("d_delannot"), [&](G_Operation &remove) {
        remove.Param().Add(QStringLiteral("pageAndAnnotID"), entry);
        remove.Param().Add(QStringLiteral("NoUndo"), noUndo);
    });
    return 1;
}

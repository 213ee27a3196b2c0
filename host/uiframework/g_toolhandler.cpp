#include "g_toolhandler.h"

#include "g_docview.h"

#include <QHash>
#include <QString>

namespace {

// Never destroyed: prototypes that live in function statics may unregister at exit.
QHash<QString, G_ToolHandler *> &Registry()
{
    static auto *registry = new QHash<QString, G_ToolHandler *>;
    return *registry;
}

} // namespace

G_ToolHandler::~G_ToolHandler()
{
    UnregisterFromGlobal(this);
}

void G_ToolHandler::OnDestroy() {}
void G_ToolHandler::OnActivate() {}
void G_ToolHandler::OnDeactivate() {}
int G_ToolHandler::OnLButtonDown(unsigned, const CCA_Point &) { return 0; }
int G_ToolHandler::OnLButtonUp(unsigned, const CCA_Point &) { return 0; }
int G_ToolHandler::OnLButtonDblClk(unsigned, const CCA_Point &) { return 0; }
int G_ToolHandler::OnMButtonDown(unsigned, const CCA_Point &) { return 0; }
int G_ToolHandler::OnMButtonUp(unsigned, const CCA_Point &) { return 0; }
int G_ToolHandler::OnMButtonDblClk(unsigned, const CCA_Point &) { return 0; }
int G_ToolHandler::OnRButtonDown(unsigned, const CCA_Point &) { return 0; }
int G_ToolHandler::OnRButtonUp(unsigned, const CCA_Point &) { return 0; }
int G_ToolHandler::OnRButtonDblClk(unsigned, const CCA_Point &) { return 0; }
int G_ToolHandler::OnMouseMove(unsigned, const CCA_Point &) { return 0; }
int G_ToolHandler::OnEnter(unsigned, const CCA_Point &) { return 0; }
int G_ToolHandler::OnLeave(unsigned, const CCA_Point &) { return 0; }
int G_ToolHandler::OnWheel(unsigned, int, const CCA_Point &) { return 0; }
int G_ToolHandler::OnKeyDown(int, unsigned, unsigned) { return 0; }
int G_ToolHandler::OnKeyUp(int, unsigned, unsigned) { return 0; }
int G_ToolHandler::ShortCutActivated(int, Qt::KeyboardModifiers) { return 0; }
int G_ToolHandler::OnWinEvent(QEvent *) { return 0; }
int G_ToolHandler::OnWinActiveEvent(bool) { return 0; }

// A later registration under the same name replaces the earlier prototype.
bool G_ToolHandler::RegisterHandlerToGlobal()
{
    const QString name = QString::fromUtf8(Name().c_str());
    if (name.isEmpty())
        return false;
    Registry().insert(name, this);
    return true;
}

G_ToolHandler *G_ToolHandler::GlobalPrototype(const QString &name)
{
    return Registry().value(name, nullptr);
}

QStringList G_ToolHandler::GlobalNames()
{
    QStringList names = Registry().keys();
    names.sort();
    return names;
}

void G_ToolHandler::UnregisterFromGlobal(const G_ToolHandler *prototype)
{
    auto &registry = Registry();
    for (auto it = registry.begin(); it != registry.end();) {
        if (it.value() == prototype)
            it = registry.erase(it);
        else
            ++it;
    }
}

G_UIContext *G_ToolHandler::UIContext() const
{
    return m_docView ? m_docView->UIContext() : nullptr;
}

#include "g_contextmenu.h"

#include "g_operation.h"
#include "g_runoperation.h"
#include "g_uicontext.h"

#include "core/icore.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QMenu>

#include <memory>

G_ContextMenu::G_ContextMenu(G_UIContext *context) : m_context(context)
{
    DefineMenu(QStringLiteral("annotlinkmenu"),
               {{QStringLiteral("d_annotlinkcopy"), QCoreApplication::translate("G_ContextMenu", "Copy")},
                {QStringLiteral("d_annotlinkcut"), QCoreApplication::translate("G_ContextMenu", "Cut")},
                {QStringLiteral("d_annotlinkpaste"), QCoreApplication::translate("G_ContextMenu", "Paste")},
                {QStringLiteral("d_annotlinkdel"), QCoreApplication::translate("G_ContextMenu", "Delete")},
                {QString(), QString()},
                {QStringLiteral("d_annotlinkproperty"),
                 QCoreApplication::translate("G_ContextMenu", "Properties")}});
}

void G_ContextMenu::DefineMenu(const QString &name, const QList<QPair<QString, QString>> &items)
{
    m_menus.insert(name, items);
}

QList<QPair<QString, QString>> G_ContextMenu::MenuItems(const QString &name) const
{
    return m_menus.value(name);
}

QMenu *G_ContextMenu::BuildMenu(const QString &name, const QHash<QString, G_MenuItemState> &states) const
{
    const auto it = m_menus.constFind(name);
    if (it == m_menus.cend())
        return nullptr;
    auto *menu = new QMenu(Core::ICore::mainWindow());
    menu->setObjectName(name);
    for (const auto &item : *it) {
        if (item.first.isEmpty()) {
            menu->addSeparator();
            continue;
        }
        // An item the caller says nothing about is shown and enabled.
        const G_MenuItemState state = states.value(item.first);
        QAction *action = menu->addAction(state.text.isEmpty() ? item.second : state.text);
        action->setObjectName(item.first);
        action->setData(item.first);
        action->setEnabled(state.flags & G_MenuItemState::Enabled);
        action->setVisible(state.flags & G_MenuItemState::Visible);
        action->setCheckable(state.flags & G_MenuItemState::Checkable);
        action->setChecked(state.flags & G_MenuItemState::Checked);
        if (state.flags & G_MenuItemState::Separator)
            menu->addSeparator();
    }
    return menu;
}

QString G_ContextMenu::PopupMenu(const QString &name, const QHash<QString, G_MenuItemState> &states,
                                 G_OperationParam *params)
{
    const std::unique_ptr<G_OperationParam> ownedParams(params);
    const std::unique_ptr<QMenu> menu(BuildMenu(name, states));
    if (!menu)
        return QString();
    QAction *picked = ExecMenu(menu.get(), QCursor::pos());
    if (!picked || !picked->isEnabled())
        return QString();
    const QString operationName = picked->data().toString();
    if (operationName.isEmpty() || !m_context)
        return QString();
    RunOperation(m_context, operationName, [&ownedParams](G_Operation &operation) {
        if (ownedParams)
            operation.Param().Merge(*ownedParams);
    });
    return operationName;
}

QAction *G_ContextMenu::ExecMenu(QMenu *menu, const QPoint &globalPos)
{
    return menu->exec(globalPos);
}

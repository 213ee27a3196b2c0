#pragma once

#include "g_operationparam.h"

#include <QHash>
#include <QList>
#include <QString>

class G_UIContext;

// State of one menu item. Flag 4 enables the item.
struct G_MenuItemState
{
    enum Flag { Checkable = 1, Checked = 2, Enabled = 4, Visible = 8, Separator = 16 };
    unsigned flags = Enabled | Visible;
    QString text;
    quintptr data = 0;
};

// Menus defined by the host by name: a list of (operation name, text); an empty name is a separator.
class G_ContextMenu
{
public:
    explicit G_ContextMenu(G_UIContext *context) : m_context(context) {}
    virtual ~G_ContextMenu() = default;

    void DefineMenu(const QString &name, const QList<QPair<QString, QString>> &items);
    QList<QPair<QString, QString>> MenuItems(const QString &name) const;

    // Shows the menu at the cursor; the operation picked runs with a copy of `params`.
    // Takes ownership of `params`. Answers the operation name picked, or empty.
    virtual QString PopupMenu(const QString &name, const QHash<QString, G_MenuItemState> &states,
                              G_OperationParam *params);

protected:
    G_UIContext *m_context;
    QHash<QString, QList<QPair<QString, QString>>> m_menus;
};

#pragma once

#include "g_operationparam.h"

#include <QHash>
#include <QList>
#include <QString>

class G_UIContext;
class QAction;
class QMenu;
class QPoint;

// State of one menu item. Flag 4 enables the item, flag 8 shows it; 1 makes it checkable,
// 2 checks it, 16 puts a separator after it. A non-empty text replaces the menu's own.
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
    // Defines the host's menus ("annotlinkmenu").
    explicit G_ContextMenu(G_UIContext *context);
    virtual ~G_ContextMenu() = default;

    void DefineMenu(const QString &name, const QList<QPair<QString, QString>> &items);
    QList<QPair<QString, QString>> MenuItems(const QString &name) const;

    // Shows the menu at the cursor; the operation picked runs with a copy of `params`.
    // Takes ownership of `params`. Answers the operation name picked, or empty.
    virtual QString PopupMenu(const QString &name, const QHash<QString, G_MenuItemState> &states,
                              G_OperationParam *params);

    // Builds the menu as PopupMenu shows it; the caller owns it. Each action's data is its
    // operation name. Null for an unknown menu.
    QMenu *BuildMenu(const QString &name, const QHash<QString, G_MenuItemState> &states) const;

protected:
    // Runs the menu and answers the action picked, or null. Tests pick without a real popup.
    virtual QAction *ExecMenu(QMenu *menu, const QPoint &globalPos);
    G_UIContext *m_context;
    QHash<QString, QList<QPair<QString, QString>>> m_menus;
};

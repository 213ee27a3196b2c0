#pragma once

#include <QHash>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>

class G_ActionHandler;
class G_ContextMenu;
class G_DocView;
class G_Event;
class G_EventMgr;
class G_Operation;

// What the framework offers to operations and tools: the current view, operations by
// name, events, actions, menus and message boxes.
class G_UIContext : public QObject
{
    Q_OBJECT
public:
    explicit G_UIContext(QObject *parent = nullptr);
    ~G_UIContext() override;

    G_DocView *CurrentDocView() const;
    void SetCurrentDocView(G_DocView *view);

    // A fresh clone of the registered prototype with this context and the current view,
    // or null. The caller releases it with DeleteLater. `extra` is unused.
    G_Operation *CreateOperationByName(const QString &name, const QString &extra);

    G_ActionHandler *ActionHandler() const { return m_actionHandler; }
    void SetActionHandler(G_ActionHandler *handler); // takes ownership
    G_EventMgr *EventMgr() const { return m_eventMgr; }
    G_ContextMenu *ContextMenu() const { return m_contextMenu; }
    void SetContextMenu(G_ContextMenu *menu); // takes ownership

    // Takes ownership of `event`, hands it to the listeners, then deletes it.
    void FireEvent(G_Event *event);

    // Modal; answers the button chosen as a QMessageBox::StandardButton value.
    virtual int ShowMessageBox(const QString &title, const QString &text,
                               QMessageBox::StandardButtons buttons,
                               QMessageBox::StandardButton defaultButton,
                               const QStringList &buttonTexts = QStringList(),
                               const QSize &size = QSize());

    // The toolbar's check states as operations ("t_toolbarbtnstate") set them.
    void SetToolbarButtonState(const QString &name, bool checked);
    bool ToolbarButtonState(const QString &name, bool def = false) const;

signals:
    void CurrentDocViewChanged(G_DocView *view);
    void ToolbarButtonStateChanged(const QString &name, bool checked);

private:
    QPointer<G_DocView> m_currentView;
    QMetaObject::Connection m_viewDestroyed;
    QHash<QString, bool> m_toolbarStates;
    G_ActionHandler *m_actionHandler;
    G_EventMgr *m_eventMgr;
    G_ContextMenu *m_contextMenu;
};

#pragma once

#include "ombase/cca_geometry.h"
#include "ombase/cca_string.h"

#include <QStringList>
#include <Qt>

class G_DocView;
class G_UIContext;
class QEvent;

// Mouse flags given to the handlers.
enum G_MouseFlag { G_Mouse_Ctrl = 0x1, G_Mouse_Shift = 0x2, G_Mouse_Alt = 0x4, G_Mouse_LButton = 0x10 };

// Input of the active tool. Prototypes are registered once; each view works on its own clone.
class G_ToolHandler
{
public:
    G_ToolHandler() = default;
    G_ToolHandler(const G_ToolHandler &) = delete;
    G_ToolHandler &operator=(const G_ToolHandler &) = delete;
    virtual ~G_ToolHandler();

    virtual G_ToolHandler *Clone() const = 0;
    virtual CCA_String Name() const = 0;
    virtual void OnDestroy();
    virtual void OnActivate();
    virtual void OnDeactivate();
    // Points are scene pixels. Answers are the handler's; the view ignores them.
    virtual int OnLButtonDown(unsigned flags, const CCA_Point &point);
    virtual int OnLButtonUp(unsigned flags, const CCA_Point &point);
    virtual int OnLButtonDblClk(unsigned flags, const CCA_Point &point);
    virtual int OnMButtonDown(unsigned flags, const CCA_Point &point);
    virtual int OnMButtonUp(unsigned flags, const CCA_Point &point);
    virtual int OnMButtonDblClk(unsigned flags, const CCA_Point &point);
    virtual int OnRButtonDown(unsigned flags, const CCA_Point &point);
    virtual int OnRButtonUp(unsigned flags, const CCA_Point &point);
    virtual int OnRButtonDblClk(unsigned flags, const CCA_Point &point);
    virtual int OnMouseMove(unsigned flags, const CCA_Point &point);
    virtual int OnEnter(unsigned flags, const CCA_Point &point);
    virtual int OnLeave(unsigned flags, const CCA_Point &point);
    // Non-zero consumes the wheel; zero lets the view scroll.
    virtual int OnWheel(unsigned flags, int delta, const CCA_Point &point);
    // `key` is a Qt::Key; non-zero answers mean the key was handled.
    virtual int OnKeyDown(int key, unsigned repeatCount, unsigned modifiers);
    virtual int OnKeyUp(int key, unsigned repeatCount, unsigned modifiers);
    virtual int ShortCutActivated(int key, Qt::KeyboardModifiers modifiers);
    virtual int OnWinEvent(QEvent *event);
    virtual int OnWinActiveEvent(bool active);

    // Registers this object as the prototype for Name(); the registry does not own it.
    bool RegisterHandlerToGlobal();
    static G_ToolHandler *GlobalPrototype(const QString &name);
    static QStringList GlobalNames();
    static void UnregisterFromGlobal(const G_ToolHandler *prototype);

    G_DocView *DocView() const { return m_docView; }
    void SetDocView(G_DocView *view) { m_docView = view; }
    G_UIContext *UIContext() const;

private:
    G_DocView *m_docView = nullptr;
};

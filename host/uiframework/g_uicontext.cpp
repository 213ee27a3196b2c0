#include "g_uicontext.h"

#include "g_actionhandler.h"
#include "g_contextmenu.h"
#include "g_docview.h"
#include "g_event.h"
#include "g_operation.h"

#include "core/icore.h"

#include <QAbstractButton>
#include <QEvent>

#include <memory>

namespace {

// QMessageBox fixes its own size whenever it lays itself out; a requested size is put back
// after each of those.
class SizedMessageBox : public QMessageBox
{
public:
    SizedMessageBox(const QString &title, const QString &text, QMessageBox::StandardButtons buttons,
                    QWidget *parent, const QSize &size)
        : QMessageBox(QMessageBox::Question, title, text, buttons, parent), m_size(size)
    {
    }

protected:
    bool event(QEvent *event) override
    {
        const bool result = QMessageBox::event(event);
        if (m_size.isValid() && size() != m_size)
            setFixedSize(m_size);
        return result;
    }

    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        if (m_size.isValid())
            setFixedSize(m_size);
    }

private:
    QSize m_size;
};

} // namespace

G_UIContext::G_UIContext(QObject *parent)
    : QObject(parent),
      m_actionHandler(new G_ActionHandler(this)),
      m_eventMgr(new G_EventMgr),
      m_contextMenu(new G_ContextMenu(this))
{
}

G_UIContext::~G_UIContext()
{
    delete m_contextMenu;
    delete m_eventMgr;
    delete m_actionHandler;
}

G_DocView *G_UIContext::CurrentDocView() const
{
    return m_currentView.data();
}

void G_UIContext::SetCurrentDocView(G_DocView *view)
{
    if (m_currentView == view)
        return;
    disconnect(m_viewDestroyed);
    m_currentView = view;
    // A closed view must not stay current; listeners hear about it like any other change.
    if (view) {
        m_viewDestroyed = connect(view, &QObject::destroyed, this, [this] {
            m_currentView = nullptr;
            emit CurrentDocViewChanged(nullptr);
        });
    }
    emit CurrentDocViewChanged(view);
}

G_Operation *G_UIContext::CreateOperationByName(const QString &name, const QString &extra)
{
    Q_UNUSED(extra)
    const G_Operation *prototype = G_Operation::GlobalPrototype(name);
    if (!prototype)
        return nullptr;
    G_Operation *operation = prototype->Clone();
    if (!operation)
        return nullptr;
    operation->SetUIContext(this);
    operation->SetDocView(CurrentDocView());
    return operation;
}

void G_UIContext::SetActionHandler(G_ActionHandler *handler)
{
    if (!handler || handler == m_actionHandler)
        return;
    delete m_actionHandler;
    m_actionHandler = handler;
}

void G_UIContext::SetContextMenu(G_ContextMenu *menu)
{
    if (!menu || menu == m_contextMenu)
        return;
    delete m_contextMenu;
    m_contextMenu = menu;
}

void G_UIContext::FireEvent(G_Event *event)
{
    const std::unique_ptr<G_Event> owned(event);
    if (owned)
        m_eventMgr->Dispatch(*owned);
}

int G_UIContext::ShowMessageBox(const QString &title, const QString &text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton, const QStringList &buttonTexts,
                                const QSize &size)
{
    SizedMessageBox box(title, text, buttons, Core::ICore::mainWindow(), size);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    // Custom texts go to the buttons in ascending order of their standard button values.
    int next = 0;
    for (unsigned flag = QMessageBox::FirstButton; flag <= QMessageBox::LastButton && next < buttonTexts.size();
         flag <<= 1) {
        if (QAbstractButton *button = box.button(QMessageBox::StandardButton(flag))) {
            if (!buttonTexts.at(next).isEmpty())
                button->setText(buttonTexts.at(next));
            ++next;
        }
    }
    return box.exec();
}

void G_UIContext::SetToolbarButtonState(const QString &name, bool checked)
{
    m_toolbarStates.insert(name, checked);
    emit ToolbarButtonStateChanged(name, checked);
}

bool G_UIContext::ToolbarButtonState(const QString &name, bool def) const
{
    return m_toolbarStates.value(name, def);
}

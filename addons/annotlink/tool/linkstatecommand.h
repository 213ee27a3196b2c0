#pragma once

#include "tool/linkstyle.h"

#include "uiframework/g_event.h"
#include "uiframework/g_uicontext.h"

#include <QUndoCommand>

#include <utility>

// An undoable change of an existing link between two stored states. The change is already on
// the page when the command is pushed, so only later redos apply it.
template <class State>
class LinkStateCommand : public QUndoCommand
{
public:
    void undo() override { Apply(m_before, m_undoTrace); }
    void redo() override
    {
        if (!m_redoArmed) {
            m_redoArmed = true;
            return;
        }
        Apply(m_after, m_redoTrace);
    }

protected:
    LinkStateCommand(G_UIContext *context, int annotID, State before, State after, const char *undoTrace,
                     const char *redoTrace, QUndoCommand *parent)
        : QUndoCommand(parent)
        , m_context(context)
        , m_annotID(annotID)
        , m_documentKey(CurrentDocumentKey(context))
        , m_before(std::move(before))
        , m_after(std::move(after))
        , m_undoTrace(undoTrace)
        , m_redoTrace(redoTrace)
    {
    }

    // Writes `state` into the link found for it.
    virtual void Restore(const LinkLookup &link, const State &state, const char *traceText) = 0;

private:
    // The link is looked up afresh each time: another command may have removed it meanwhile,
    // or its document may no longer be shown, and then there is nothing to restore.
    void Apply(const State &state, const char *traceText)
    {
        const LinkLookup link = FindLink(m_context, state.pageIndex, uint32_t(m_annotID), &m_documentKey);
        if (!link.object)
            return;
        Restore(link, state, traceText);
        m_context->FireEvent(new G_AnnotationEvent(link.document, link.annot, G_Event_Annotation));
    }

    G_UIContext *m_context;
    int m_annotID;
    // IDs repeat between documents: the change belongs to this one.
    CCA_String m_documentKey;
    State m_before;
    State m_after;
    const char *m_undoTrace;
    const char *m_redoTrace;
    bool m_redoArmed = false;
};

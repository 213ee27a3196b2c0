#pragma once

#include <QUndoCommand>

#include <utility>

class G_UIContext;

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
        , m_before(std::move(before))
        , m_after(std::move(after))
        , m_undoTrace(undoTrace)
        , m_redoTrace(redoTrace)
    {
    }

    // The link is looked up afresh each time: another command may have removed it meanwhile,
    // and then there is nothing to restore.
    virtual void Apply(const State &state, const char *traceText) = 0;

    G_UIContext *m_context;
    int m_annotID;

private:
    State m_before;
    State m_after;
    const char *m_undoTrace;
    const char *m_redoTrace;
    bool m_redoArmed = false;
};

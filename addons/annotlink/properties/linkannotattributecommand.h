#pragma once

#include "properties/linkattributestate.h"

#include <QUndoCommand>

class G_UIContext;

// A change of an existing link's style and action made in the property dialog.
class LinkAnnotAttributeCommand : public QUndoCommand
{
public:
    LinkAnnotAttributeCommand(G_UIContext *context, int annotID, LinkAttributeState before,
                              LinkAttributeState after, QUndoCommand *parent = nullptr);
    ~LinkAnnotAttributeCommand() override;

    void undo() override;
    void redo() override;

private:
    void Apply(const LinkAttributeState &state, const char *traceText);

    G_UIContext *m_context;
    int m_annotID;
    LinkAttributeState m_before;
    LinkAttributeState m_after;
    bool m_firstRedoDone = false;
};

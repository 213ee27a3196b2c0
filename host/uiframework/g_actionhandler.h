#pragma once

#include "ombase/cca_array.h"

class G_Action;
class G_UIContext;
class IG_Document;

// Runs actions: go to a page in the current view, open a web address, open an
// attachment or play a medium with the desktop's handler.
class G_ActionHandler
{
public:
    explicit G_ActionHandler(G_UIContext *context) : m_context(context) {}
    virtual ~G_ActionHandler() = default;
    // Answers how many actions ran.
    virtual int DoActions(const CCA_ArrayTemplate<G_Action *> &actions, IG_Document *document, int eventType);

protected:
    virtual bool DoAction(G_Action *action, IG_Document *document);
    G_UIContext *m_context;
};

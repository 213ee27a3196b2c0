#pragma once

#include <QUndoCommand>

#include <cstdint>

class G_DocView;
class IG_Annot;

// Records that an annotation was added to a page. Undo takes it out of the page and keeps
// it; redo puts it back at the same place. The command owns the annotation only while it
// is out of its page.
class GAC_CreateAnnotCommand : public QUndoCommand
{
public:
    // `annot` already stands in page `pageIndex` of the view's document.
    GAC_CreateAnnotCommand(G_DocView *view, int pageIndex, IG_Annot *annot, QUndoCommand *parent = nullptr);
    ~GAC_CreateAnnotCommand() override;

    void undo() override;
    void redo() override;

    // The annotation while it is out of its page, else null.
    IG_Annot *TakenAnnot() const { return m_taken; }

private:
    G_DocView *m_view;
    int m_pageIndex;
    uint32_t m_annotID;
    int m_index = -1;
    IG_Annot *m_taken = nullptr;
    bool m_armed = false;
};

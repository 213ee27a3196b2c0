#include "gac_createannotcommand.h"

#include "uiframework/g_docview.h"

#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_page.h"

#include <QDebug>

GAC_CreateAnnotCommand::GAC_CreateAnnotCommand(G_DocView *view, int pageIndex, IG_Annot *annot,
                                               QUndoCommand *parent)
    : QUndoCommand(parent), m_view(view), m_pageIndex(pageIndex), m_annotID(annot ? annot->ID() : 0)
{
    IG_Page *page = annot ? annot->Page() : nullptr;
    m_index = page ? page->AnnotIndex(annot) : -1;
}

GAC_CreateAnnotCommand::~GAC_CreateAnnotCommand()
{
    delete m_taken;
}

// The annotation is looked up by page and ID each time, so that the command does not
// depend on a pointer into the page.
void GAC_CreateAnnotCommand::undo()
{
    if (m_taken)
        return;
    IG_Page *page = m_view ? m_view->Page(m_pageIndex) : nullptr;
    IG_Annot *annot = page ? page->AnnotByID(m_annotID) : nullptr;
    if (!annot) {
        qDebug() << "GAC_CreateAnnotCommand::undo" << m_pageIndex << m_annotID << "missing";
        return;
    }
    m_index = page->AnnotIndex(annot);
    m_view->ForgetAnnot(annot);
    m_taken = page->TakeAnnot(annot);
    m_view->Refresh();
}

// The first redo comes from the push, after the annotation was already added.
void GAC_CreateAnnotCommand::redo()
{
    if (!m_armed) {
        m_armed = true;
        return;
    }
    if (!m_taken)
        return;
    IG_Page *page = m_view ? m_view->Page(m_pageIndex) : nullptr;
    if (!page) {
        qDebug() << "GAC_CreateAnnotCommand::redo" << m_pageIndex << m_annotID << "no page";
        return;
    }
    page->InsertAnnot(m_taken, m_index);
    m_taken = nullptr;
    m_view->Refresh();
}

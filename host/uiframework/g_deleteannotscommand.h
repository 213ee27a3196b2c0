#pragma once

#include <QVector>
#include <QPointer>
#include <QUndoCommand>

class G_DocView;
class IG_Annot;
class IG_Document;

// Undo record of "d_delannot". The annotations are already out of their pages when the
// command is pushed; it owns each one while it is out and deletes those still out when it
// goes away.
class G_DeleteAnnotsCommand : public QUndoCommand
{
public:
    struct Entry
    {
        int pageIndex = -1;
        int index = -1; // position in the page before it was taken out
        IG_Annot *annot = nullptr;
        bool out = true;
    };

    G_DeleteAnnotsCommand(G_DocView *view, IG_Document *document, const QVector<Entry> &entries);
    ~G_DeleteAnnotsCommand() override;

    void undo() override;
    void redo() override;

    QVector<Entry> Entries() const { return m_entries; }

private:
    // `work`(page, first, last) for each run of entries of one page that still exists.
    template <class F>
    void ForEachPage(F work);
    void Changed();

    QPointer<G_DocView> m_view;
    IG_Document *m_document;
    QVector<Entry> m_entries;
    bool m_pushed = false;
};

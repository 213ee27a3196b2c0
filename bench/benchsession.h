#pragma once

#include "omofdapi/ofd_document.h"
#include "uiframework/g_uicontext.h"

#include <QSize>

#include <memory>

class G_DocView;

// A document shown in an offscreen view of its own context, as the reader shows it.
class BenchSession
{
public:
    // Before the application object: the reader's allocator settings, windows offscreen,
    // and no trace line per link (that belongs to the reader's log, not to a table).
    static void PrepareProcess();

    explicit BenchSession(std::unique_ptr<OFD_Document> document, QSize size = QSize(820, 1150));
    ~BenchSession();
    BenchSession(const BenchSession &) = delete;
    BenchSession &operator=(const BenchSession &) = delete;

    OFD_Document *Document() const { return m_document.get(); }
    G_DocView *View() const { return m_view; }
    G_UIContext *Context() { return &m_context; }

    // `count` links in a grid over one page, made and styled as the property dialog makes
    // them, each with a web address.
    void AddLinks(int pageIndex, int count);
    // Runs the named operation without interceptors; -1 when there is none.
    int Run(const char *name);
    // Closes the view and the document, and deletes what waited for the event loop.
    void Close();

private:
    G_UIContext m_context;
    std::unique_ptr<OFD_Document> m_document;
    G_DocView *m_view;
};

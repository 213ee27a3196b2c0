#include "fuzztargets.h"

#include "clipboard/gp_linkannotpaste.h"
#include "clipboard/gpi_linkannotpaste.h"
#include "tool/linkclipboardrecord.h"
#include "tool/linkstyle.h"

#include "omofdapi/ig_appearance.h"
#include "omofdapi/ofd_document.h"
#include "uiframework/g_deferreddelete.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_hostoperations.h"
#include "uiframework/g_uicontext.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QUndoStack>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

// Two A4 pages in a view, with paste and its interceptor registered; made once per process.
struct PasteBench
{
    G_UIContext context;
    std::unique_ptr<OFD_Document> document = OFD_Document::CreateBlank(2, 210, 297);
    G_DocView *view = new G_DocView(&context, document.get());
    GP_LinkAnnotPaste paste;
    GPI_LinkAnnotPaste interceptor;

    PasteBench()
    {
        G_RegisterHostOperations();
        paste.RegisterToGlobal();
        context.SetCurrentDocView(view);
        view->resize(800, 600);
        view->CreateUndoStack();
    }
};

PasteBench &Bench()
{
    if (!qApp) {
        static int argc = 1;
        static char name[] = "fuzz_paste";
        static char *argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QApplication(argc, argv);
    }
    static PasteBench *bench = new PasteBench;
    return *bench;
}

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// Nothing a file could not hold, whatever the record said.
void RequireSound(const IG_Annot *annot)
{
    Require(annot->Boundary().IsFinite());
    const IG_PageObject *object = LinkPathObject(annot);
    if (!object)
        return;
    Require(object->Boundary().IsFinite() && object->CTM().IsFinite());
    Require(std::isfinite(object->LineWidth()) && object->LineWidth() >= 0);
}

} // namespace

// The first byte: bit 0 keeps the record's own "doc" (otherwise the document's key is put in),
// bits 1-2 the page index minus one, bit 3 runs paste through its interceptor. Then lines of
// "format=value"; "left" and "top" are the proposed position.
int FuzzPaste(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    PasteBench &bench = Bench();
    const uint8_t flags = data[0];
    const QList<QByteArray> lines = QByteArray(reinterpret_cast<const char *>(data + 1), int(size - 1)).split('\n');
    auto *mime = new QMimeData;
    float left = 0, top = 0;
    for (const QByteArray &line : lines) {
        const int equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        const QString name = QString::fromUtf8(line.left(equals));
        const QByteArray value = line.mid(equals + 1);
        if (name == QLatin1String("left"))
            left = QString::fromUtf8(value).toFloat();
        else if (name == QLatin1String("top"))
            top = QString::fromUtf8(value).toFloat();
        else
            mime->setData(name, value);
    }
    if (!(flags & 1))
        mime->setData(QStringLiteral("doc"), QByteArray(bench.document->DocumentKey().c_str()));
    QGuiApplication::clipboard()->setMimeData(mime, QClipboard::Clipboard);

    IG_Page *page = bench.document->GetPage(0);
    const int before = page->AnnotCount() + bench.document->GetPage(1)->AnnotCount();
    G_Operation *operation = bench.context.CreateOperationByName(QStringLiteral("d_annotlinkpaste"), QString());
    operation->Param().Add(QStringLiteral("pageindex"), int((flags >> 1) & 3) - 1);
    operation->Param().Add(QStringLiteral("left"), left);
    operation->Param().Add(QStringLiteral("top"), top);
    if (flags & 8)
        operation->PerformAction();
    else
        operation->ExecuteAction();
    operation->DeleteLater();

    QUndoStack *stack = bench.view->UndoStack();
    for (int p = 0; p < 2; ++p) {
        IG_Page *target = bench.document->GetPage(p);
        for (int i = 0; i < target->AnnotCount(); ++i) {
            const IG_Annot *annot = target->AnnotAt(i);
            RequireSound(annot);
            LinkClipboardRecord::CreateMimeData(bench.document.get(), annot);
        }
    }
    if (stack && stack->count() > 0) {
        stack->undo();
        stack->redo();
        stack->undo();
        stack->clear();
    }
    Require(page->AnnotCount() + bench.document->GetPage(1)->AnnotCount() <= before);
    G_Operation::FlushPendingDeletes();
    G_DeferredDelete::Flush();
    return 0;
}

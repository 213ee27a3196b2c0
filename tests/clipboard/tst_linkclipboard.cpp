#include "linktestfixture.h"
#include "testoperation.h"

#include "clipboard/gp_linkannotcopy.h"
#include "clipboard/gp_linkannotcut.h"
#include "clipboard/gp_linkannotpaste.h"
#include "clipboard/gpi_linkannotpaste.h"
#include "operations/gp_deletelinkannot.h"

#include "omofdapi/ig_page.h"
#include "omofdapi/ofd_packagewriter.h"
#include "uiframework/g_deferreddelete.h"
#include "uiframework/g_event.h"
#include "uiframework/g_hostoperations.h"
#include "uiframework/gq_convert.h"

#include <QClipboard>
#include <QCursor>
#include <QMimeData>
#include <QUndoStack>

using K = LinkBoundaryKind;
using T = LinkLineType;
using W = LinkLineWidth;
using ActionFactory = std::function<G_Action *()>;
Q_DECLARE_METATYPE(LinkStyle)
Q_DECLARE_METATYPE(CCA_GRect)
Q_DECLARE_METATYPE(ActionFactory)

namespace {

G_Action *UriAction()
{
    auto *action = new G_ActionURI;
    action->SetURI("https://example.org/a");
    return action;
}

const QMimeData *Clipboard()
{
    return QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
}

// Replaces one field of the record on the clipboard.
void TamperRecord(const QString &format, const QByteArray &value)
{
    auto *mime = new QMimeData;
    for (const QString &name : Clipboard()->formats())
        mime->setData(name, name == format ? value : Clipboard()->data(name));
    QGuiApplication::clipboard()->setMimeData(mime, QClipboard::Clipboard);
}

} // namespace

// Two blank A4 pages in a shown view; copy, cut, paste and the host's deletion registered.
class TestLinkClipboard : public QObject
{
    Q_OBJECT

    std::unique_ptr<LinkFixture> m_fixture;
    std::unique_ptr<GPI_LinkAnnotPaste> m_interceptor;
    GP_LinkAnnotCopy m_copy;
    GP_LinkAnnotCut m_cut;
    GP_LinkAnnotPaste m_paste;
    GP_DeleteLinkAnnot m_delete;
    int m_annotEvents = 0;

    G_DocView *View() const { return m_fixture->view; }
    IG_Page *Page() const { return m_fixture->document->GetPage(0); }
    IG_Annot *Newest() const { return Page()->AnnotAt(Page()->AnnotCount() - 1); }

    int Run(const char *name, const std::function<void(G_OperationParam &)> &fill, LinkFixture *fixture = nullptr)
    {
        return RunOperation((fixture ? fixture : m_fixture.get())->context, name, fill);
    }
    int Copy(IG_Annot *annot, const char *name = "d_annotlinkcopy", int pageIndex = 0, LinkFixture *fixture = nullptr)
    {
        return Run(name, [&](G_OperationParam &p) { p.Add("pageIndex", pageIndex), p.Add("annotID", int(annot->ID())); },
                   fixture);
    }
    int Paste(LinkFixture *fixture = nullptr)
    {
        return Run("d_annotlinkpaste", [](G_OperationParam &p) { p.Add("pageindex", -1); }, fixture);
    }
    // The operation alone, at a proposed position.
    int PasteAt(const CCA_GPoint &point, bool *moved)
    {
        return RunOperation(
                   &m_fixture->context, "d_annotlinkpaste",
                   [&point](G_Operation &operation) {
                       operation.Param().Add("pageindex", 0);
                       operation.Param().Add("left", point.x);
                       operation.Param().Add("top", point.y);
                   },
                   G_RunMode::Execute, [moved](G_Operation &operation) { *moved = operation.Param().GetBool("iswelt"); })
            .value_or(-1);
    }
    void MoveCursorTo(float x, float y) { QCursor::setPos(View()->viewport()->mapToGlobal(m_fixture->ViewportPoint(x, y))); }
    QList<CCA_GRect> PasteThrice()
    {
        QList<CCA_GRect> boxes;
        for (int i = 0; i < 3 && Paste() == 1; ++i)
            boxes << Newest()->Boundary();
        return boxes;
    }
    IG_Annot *AddLink()
    {
        return m_fixture->AddLink(0, CCA_GRect(10, 20, 60, 30), LinkStyle(), nullptr);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        G_RegisterHostOperations();
        for (G_Operation *operation : std::initializer_list<G_Operation *>{&m_copy, &m_cut, &m_paste, &m_delete})
            QVERIFY(operation->RegisterToGlobal());
    }

    void init()
    {
        m_fixture.reset(new LinkFixture(2));
        QVERIFY(m_fixture->Show(900, 700));
        m_interceptor.reset(new GPI_LinkAnnotPaste);
        m_annotEvents = 0;
        m_fixture->context.EventMgr()->AddListener(
            [this](const G_Event &event) { m_annotEvents += event.Type() == G_Event_Annotation; });
        QGuiApplication::clipboard()->clear();
    }

    void cleanup()
    {
        G_DeferredDelete::Flush();
        m_fixture.reset();
    }

    void recordTexts_data()
    {
        QTest::addColumn<CCA_GRect>("rect");
        QTest::addColumn<LinkStyle>("style");
        QTest::addColumn<int>("actions");
        QTest::addColumn<QStringList>("texts");
        // rect, linewidth, pathcolor, isvisible, readonly, actionType, linetype
        QTest::newRow("thin solid, no action")
            << CCA_GRect(50.5f, 20, 80.25f, 30)
            << LinkStyle{K::Rectangle, T::Solid, W::Thin, QColor(0x14, 0xa8, 0xf0)}
            << 0 << QStringList{"50.5,20,29.75,10", "0.352778", "#ff14a8f0", "true", "false", "", ""};
        // Dotted1 at 0.70555556 mm: five and three line widths.
        QTest::newRow("invisible middle, two actions, read-only")
            << CCA_GRect(10, 20, 60, 30)
            << LinkStyle{K::Invisible, T::Dotted1, W::Middle, QColor(255, 0, 0, 128)}
            << 2 << QStringList{"10,20,50,10", "0.705556", "#80ff0000", "false", "true", "URI", "3.5277777 2.1166666"};
    }

    void recordTexts()
    {
        QFETCH(CCA_GRect, rect);
        QFETCH(LinkStyle, style);
        QFETCH(int, actions);
        QFETCH(QStringList, texts);
        IG_Annot *annot = m_fixture->AddLink(0, rect, style, nullptr);
        CCA_ArrayTemplate<G_Action *> list;
        for (int i = 0; i < actions; ++i)
            list.Add(i ? new G_ActionGoto : UriAction());
        LinkPathObject(annot)->SetActions(list);
        annot->SetReadOnly(actions > 0);
        QCOMPARE(Copy(annot), 1);

        const QMimeData *mime = Clipboard();
        QStringList order{"annottype", "annotsubtype", "rect", "pathcolor", "path", "linetype", "linewidth",
                          "isvisible", "matrix", "readonly", "type", "doc"};
        if (actions > 0)
            order.insert(3, "actionType"), order.insert(4, "action");
        QCOMPARE(mime->formats(), order);
        auto text = [mime](const char *format) { return QString::fromUtf8(mime->data(format)); };
        const char *formats[] = {"rect", "linewidth", "pathcolor", "isvisible", "readonly", "actionType", "linetype"};
        for (int i = 0; i < texts.size(); ++i)
            QCOMPARE(text(formats[i]), texts[i]);
        QCOMPARE(text("type") + text("annottype") + text("annotsubtype"), QString("linkannotLinkLink"));
        QCOMPARE(text("doc"), GQ_ToQStringFromUtf8(m_fixture->document->DocumentKey()));
        QCOMPARE(text("action"), actions ? QString(list[0]->ToString()) : QString());
        QCOMPARE(text("matrix"), QString("1 0 0 1 0 0"));
    }

    void copyRefusalsLeaveClipboard()
    {
        IG_Annot *highlight = Page()->AddAnnot(G_AnnotType_Highlight, "Highlight", -1, false, {});
        IG_Annot *bare = Page()->AddAnnot(G_AnnotType_Link, "Link", -1, false, {});
        IG_Annot *link = AddLink();
        QGuiApplication::clipboard()->setText("kept");
        QCOMPARE(Copy(highlight) + Copy(bare) + Copy(link, "d_annotlinkcopy", 7) + Copy(highlight, "d_annotlinkcut"), 0);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("kept"));
        QCOMPARE(Page()->AnnotCount(), 3);
    }

    void pasteRefusals_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("answer");
        QTest::newRow("text of another application") << "" << QByteArray() << 0;
        QTest::newRow("another type") << "type" << QByteArray("LinkAnnot") << 0;
        QTest::newRow("not a link") << "annotsubtype" << QByteArray("Highlight") << 1;
        QTest::newRow("three rect items") << "rect" << QByteArray("1,2,50") << 0;
        QTest::newRow("five matrix numbers") << "matrix" << QByteArray("1 0 0 1 0") << 0;
        // Sizes and widths any local process could write; an A4 page takes up to 2100 x 2970 mm.
        QTest::newRow("rect nan") << "rect" << QByteArray("1,2,nan,nan") << 0;
        QTest::newRow("rect inf") << "rect" << QByteArray("1,2,inf,10") << 0;
        QTest::newRow("rect beyond float") << "rect" << QByteArray("1,2,1e39,10") << 0;
        QTest::newRow("rect eleven pages wide") << "rect" << QByteArray("1,2,2310,10") << 0;
        QTest::newRow("rect negative") << "rect" << QByteArray("1,2,50,-5") << 0;
        QTest::newRow("rect zero") << "rect" << QByteArray("1,2,0,10") << 0;
        QTest::newRow("linewidth nan") << "linewidth" << QByteArray("nan") << 0;
        QTest::newRow("linewidth 1e30") << "linewidth" << QByteArray("1e30") << 0;
        QTest::newRow("linewidth -5") << "linewidth" << QByteArray("-5") << 0;
        QTest::newRow("linewidth 0") << "linewidth" << QByteArray("0") << 0;
        QTest::newRow("linewidth text") << "linewidth" << QByteArray("thin") << 0;
    }

    void pasteRefusals()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, value);
        QCOMPARE(Copy(AddLink()), 1);
        if (format.isEmpty())
            QGuiApplication::clipboard()->setText("Link");
        else
            TamperRecord(format, value);
        bool moved = false;
        QTEST(PasteAt(CCA_GPoint(30, 40), &moved), "answer");
        QCOMPARE(Page()->AnnotCount(), 1);
        QCOMPARE(m_annotEvents, 0);
    }

    void otherDocumentPastesOnlyAfterCopyingThere()
    {
        LinkFixture other(1);
        QCOMPARE(Copy(AddLink()), 1);
        QCOMPARE(Paste(&other), 0);
        IG_Annot *there = other.AddLink(0, CCA_GRect(5, 5, 25, 15), LinkStyle(), nullptr);
        QCOMPARE(Copy(there, "d_annotlinkcopy", 0, &other), 1);
        QCOMPARE(Paste(&other), 1);
        QCOMPARE(other.document->GetPage(0)->AnnotCount(), 2);
        QCOMPARE(Paste(), 0);
    }

    void recordOutlivesSaveAs()
    {
        QCOMPARE(Copy(AddLink()), 1);
        QTemporaryDir dir;
        QString error;
        QVERIFY2(OFD_PackageWriter::Save(m_fixture->document.get(), dir.filePath("saved.ofd"), &error), qPrintable(error));
        QCOMPARE(Paste(), 1);
        QCOMPARE(Page()->AnnotCount(), 2);
    }

    void cutUndoPasteUndo()
    {
        IG_Annot *link = AddLink();
        const uint32_t id = link->ID();
        QCOMPARE(Copy(link, "d_annotlinkcut"), 1);
        QVERIFY2(!Page()->AnnotByID(id), "the cut link is still on its page");
        QCOMPARE(m_annotEvents, 1);
        View()->UndoStack()->undo();
        QCOMPARE(Page()->AnnotByID(id), link);

        QCOMPARE(Paste(), 1);
        QCOMPARE(Page()->AnnotCount(), 2);
        IG_Annot *pasted = Newest();
        QCOMPARE(pasted->Boundary().Width(), 50.f);
        View()->UndoStack()->undo();
        QCOMPARE(Page()->AnnotCount(), 1);
        View()->UndoStack()->redo();
        QCOMPARE(Newest(), pasted);
    }

    void fitRules_data()
    {
        QTest::addColumn<QByteArray>("size");
        QTest::addColumn<CCA_GPoint>("proposed");
        QTest::addColumn<CCA_GRect>("placed");
        QTest::addColumn<bool>("moved");
        // An A4 page, 210 x 297 mm, takes links up to 206 x 293.
        QTest::newRow("fits") << QByteArray("0,0,50,10") << CCA_GPoint(30, 40) << CCA_GRect(30, 40, 80, 50) << false;
        QTest::newRow("before the margins") << QByteArray("0,0,50,10") << CCA_GPoint(1, -5) << CCA_GRect(2, 2, 52, 12) << true;
        QTest::newRow("past right and bottom") << QByteArray("0,0,50,10") << CCA_GPoint(200, 290) << CCA_GRect(158, 285, 208, 295) << true;
        QTest::newRow("widest that fits") << QByteArray("0,0,206,10") << CCA_GPoint(3, 40) << CCA_GRect(2, 40, 208, 50) << true;
        QTest::newRow("too wide") << QByteArray("0,0,207,10") << CCA_GPoint(30, 290) << CCA_GRect(2, 285, 209, 295) << true;
        QTest::newRow("too wide, top kept") << QByteArray("0,0,207,10") << CCA_GPoint(30, 40) << CCA_GRect(2, 40, 209, 50) << true;
        QTest::newRow("too tall") << QByteArray("0,0,50,294") << CCA_GPoint(200, 30) << CCA_GRect(158, 2, 208, 296) << true;
        QTest::newRow("both") << QByteArray("0,0,207,294") << CCA_GPoint(30, 40) << CCA_GRect(2, 2, 209, 296) << true;
    }

    void fitRules()
    {
        QFETCH(QByteArray, size);
        QFETCH(CCA_GPoint, proposed);
        QFETCH(CCA_GRect, placed);
        QFETCH(bool, moved);
        QCOMPARE(Copy(AddLink()), 1);
        TamperRecord("rect", size);
        if (!moved)
            QTest::ignoreMessage(QtDebugMsg, "GP_LinkAnnotPaste::DoAction 30 40 80 50");
        bool iswelt = false;
        QCOMPARE(PasteAt(proposed, &iswelt), 1);
        QCOMPARE(iswelt, moved);
        QCOMPARE(Page()->AnnotCount(), 2);
        COMPARE_RECT(Newest()->Boundary(), placed);
    }

    void cascade()
    {
        QCOMPARE(Copy(AddLink()), 1);
        MoveCursorTo(40, 50);
        QList<CCA_GRect> boxes = PasteThrice();
        QCOMPARE(boxes.size(), 3);
        // The cursor sits on a whole pixel: a quarter of a millimetre at 100 %.
        const CCA_GRect first = boxes[0];
        QVERIFY2(qAbs(first.left - 40) < 0.3f && qAbs(first.top - 50) < 0.3f, qPrintable(RectText(first)));
        for (int i = 1; i < 3; ++i)
            COMPARE_RECT(boxes[i], CCA_GRect(first.left + 3 * i, first.top + 3 * i, first.right + 3 * i, first.bottom + 3 * i));
        QCOMPARE(m_annotEvents, 3);

        // Pulled back at the corner: every further paste lands on that same place.
        MoveCursorTo(195, 292);
        for (const CCA_GRect &box : PasteThrice())
            COMPARE_RECT(box, CCA_GRect(158, 285, 208, 295));

        // 154.5 + 3 + 50 + 3 reaches the right edge (210): the copies stop one step on.
        MoveCursorTo(154.5f, 100);
        boxes = PasteThrice();
        QVERIFY2(qAbs(boxes[1].left - boxes[0].left - 3) < 1e-3f && boxes[2] == boxes[1],
                 qPrintable(RectText(boxes[0]) + RectText(boxes[1]) + RectText(boxes[2])));

        // Off the pages: the centre of the current page.
        QCursor::setPos(View()->viewport()->mapToGlobal(QPoint(-300, 10)));
        QCOMPARE(Paste(), 1);
        const CCA_GRect centred = Newest()->Boundary();
        QVERIFY2(qAbs(centred.left - 105) < 0.3f && qAbs(centred.top - 148.5f) < 0.3f, qPrintable(RectText(centred)));
    }

    void pastedLinkIsTheCopiedOne_data()
    {
        QTest::addColumn<LinkStyle>("style");
        QTest::addColumn<ActionFactory>("action");
        QTest::newRow("rectangle, goto") << LinkStyle{K::Rectangle, T::Dotted3, W::Coarse, QColor(1, 2, 3)}
            << ActionFactory([]() -> G_Action * {
                   auto *a = new G_ActionGoto;
                   a->Dest().pageIndex = 1, a->Dest().left = 12.5f, a->Dest().zoom = 1.5f;
                   return a;
               });
        QTest::newRow("underline, web") << LinkStyle{K::Underline, T::Dotted2, W::Middle, QColor(9, 8, 7, 100)}
                                        << ActionFactory(UriAction);
        QTest::newRow("invisible, sound") << LinkStyle{K::Invisible, T::Solid, W::Thin, Qt::red}
            << ActionFactory([]() -> G_Action * { auto *a = new G_ActionSound; a->SetResourceID(7), a->SetVolume(40); return a; });
        QTest::newRow("rectangle, movie") << LinkStyle{K::Rectangle, T::Dotted4, W::Thin, Qt::green}
            << ActionFactory([]() -> G_Action * { auto *a = new G_ActionMovie; a->SetOperator(G_ActionMovie::Pause); return a; });
        QTest::newRow("underline, attachment") << LinkStyle{K::Underline, T::Dotted1, W::Coarse, Qt::black}
            << ActionFactory([]() -> G_Action * { auto *a = new G_ActionGotoA; a->SetAttachID(4); return a; });
        QTest::newRow("no action") << LinkStyle() << ActionFactory([]() -> G_Action * { return nullptr; });
    }

    void pastedLinkIsTheCopiedOne()
    {
        QFETCH(LinkStyle, style);
        QFETCH(ActionFactory, action);
        G_SettingMgr::Instance().SetConfigValue("annot.annothighlight.identity.username", "Pat");
        IG_Annot *link = m_fixture->AddLink(0, CCA_GRect(10, 20, 60, 30), style, action());
        link->SetReadOnly(true);
        QCOMPARE(Copy(link), 1);
        MoveCursorTo(100, 100);
        QCOMPARE(Paste(), 1);
        G_SettingMgr::Instance().RemoveConfigValue("annot.annothighlight.identity.username");

        IG_Annot *pasted = Newest();
        IG_PageObject *object = LinkPathObject(pasted);
        QVERIFY(pasted != link && object);
        const LinkStyle decoded = DecodeLinkStyle(object, LinkStyle());
        auto text = [](const LinkStyle &s, bool visible) {
            return QString("%1 %2 %3 %4 %5").arg(int(s.boundary)).arg(int(s.lineType)).arg(int(s.lineWidth))
                .arg(s.color.name(QColor::HexArgb)).arg(visible);
        };
        QCOMPARE(text(decoded, object->IsVisible()), text(style, style.boundary != K::Invisible));
        QCOMPARE(QString(pasted->Creator()) + pasted->SubType().c_str() + QString::number(pasted->IsReadOnly()),
                 QString("PatLink1"));
        const CCA_ArrayTemplate<G_Action *> copied = LinkPathObject(link)->Actions();
        const CCA_ArrayTemplate<G_Action *> actions = object->Actions();
        QCOMPARE(actions.GetSize(), copied.GetSize());
        if (!copied.IsEmpty())
            QVERIFY2(*actions[0] == *copied[0], actions[0]->ToString().c_str());
    }
};

QTEST_MAIN(TestLinkClipboard)
#include "tst_linkclipboard.moc"

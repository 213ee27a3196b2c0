#include "annotsplugin/ga_common.h"
#include "annotsplugin/gac_postilcommon.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_settingmgr.h"

#include "omofdapi/ofd_document.h"
#include "omofdapi/ofd_page.h"
#include "omutility/omjsonfactory.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QUndoStack>

namespace {

// Describes one stroked path, as a link's command class does.
class TestCreator : public GAC_PostilCommon
{
public:
    OMSharedPtr<OMJson> BuildAppearanceJson() override
    {
        if (Points().isEmpty())
            return OMSharedPtr<OMJson>();
        return OMJsonFactory::ParseJsonString(CCA_String(
            R"({"SubType":"Link","Appearance":[{"Type":"Path","StrokeColor":{"Alpha":0,"ColorSpace":2,)"
            R"("ColorValue":0},"Link":{"Points":[[10,20],[60,40]]}}]})"));
    }
};

class TestTool : public GA_Common
{
public:
    G_ToolHandler *Clone() const override { return new TestTool; }
    CCA_String Name() const override { return CCA_String("test_gac"); }
};

QString Text(const CCA_String &text)
{
    return QString::fromUtf8(text.c_str());
}

} // namespace

class tst_GACCommon : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
    }

    void init()
    {
        G_SettingMgr::Instance().RemoveConfigValue(QStringLiteral("annot.annothighlight.identity.username"));
        m_document = OFD_Document::CreateBlank(2, 210, 297);
        m_view = new G_DocView(nullptr, m_document.get());
        m_creator.SetDocView(m_view);
        m_creator.SetPageIndex(1);
        m_creator.SetTypeName(CCA_String("Link"));
        m_creator.SetAnnotType(G_AnnotType_Link);
        m_creator.Points().clear();
        m_creator.Points() << G_PointPair{10, 20, 60, 40};
        m_creator.SetAnnot(nullptr);
    }

    void cleanup()
    {
        delete m_view;
        m_view = nullptr;
        m_document.reset();
    }

    void flushCreatesTheAnnotation()
    {
        G_SettingMgr::Instance().SetConfigValue(QStringLiteral("annot.annothighlight.identity.username"),
                                                QStringLiteral("Tester"));
        IG_Annot *annot = Create(CCA_GRect(10, 20, 60, 40));
        QVERIFY(annot);
        IG_Page *page = m_document->GetPage(1);
        QCOMPARE(page->AnnotCount(), 1);
        QCOMPARE(page->AnnotAt(0), annot);
        QCOMPARE(annot->Boundary(), CCA_GRect(10, 20, 60, 40));
        QVERIFY(annot->Appearance() && annot->Appearance()->PageObject(0));
        QCOMPARE(Text(annot->Creator()), QStringLiteral("Tester"));
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}$"))
                     .match(Text(annot->LastModDate()))
                     .hasMatch(),
                 annot->LastModDate().c_str());
        // Creation alone records nothing.
        QVERIFY(!m_view->UndoStack() || m_view->UndoStack()->count() == 0);
    }

    void flushFailsWithoutAPage_data()
    {
        QTest::addColumn<int>("pageIndex");
        QTest::addColumn<bool>("withView");
        QTest::newRow("page past the end") << 2 << true;
        QTest::newRow("negative page") << -1 << true;
        QTest::newRow("no view") << 0 << false;
    }

    void flushFailsWithoutAPage()
    {
        QFETCH(int, pageIndex);
        QFETCH(bool, withView);
        m_creator.SetPageIndex(pageIndex);
        if (!withView)
            m_creator.SetDocView(nullptr);
        m_creator.SetAnnot(m_document->GetPage(0)->AddAnnot(1, CCA_String(), -1, false, OMSharedPtr<const OMJson>()));
        m_creator.Flush(CCA_GRect(10, 20, 60, 40), true);
        QVERIFY(!m_creator.Annot());
        QCOMPARE(m_document->GetPage(1)->AnnotCount(), 0);
        m_creator.CreateAnnotCmd(nullptr);
        QVERIFY(!m_view->UndoStack() || m_view->UndoStack()->count() == 0);
    }

    void createAnnotCmdUndoRedo()
    {
        IG_Annot *first = Create(CCA_GRect(10, 20, 60, 40));
        IG_Annot *middle = Create(CCA_GRect(20, 30, 70, 50));
        IG_Annot *last = Create(CCA_GRect(30, 40, 80, 60));
        const uint32_t id = middle->ID();
        IG_Page *page = m_document->GetPage(1);

        // A tool that has the annotation selected lets go of it when it leaves the page.
        TestTool prototype;
        prototype.RegisterHandlerToGlobal();
        auto *tool = dynamic_cast<GA_Common *>(m_view->ToolHandler(QStringLiteral("test_gac")));
        QVERIFY(tool);
        tool->SetCurrentAnnot(middle);

        m_creator.CreateAnnotCmd(middle);
        QUndoStack *stack = m_view->UndoStack();
        QVERIFY(stack);
        QCOMPARE(stack->count(), 1);
        QCOMPARE(page->AnnotCount(), 3); // the push's redo changed nothing

        stack->undo();
        QVERIFY(!tool->CurrentAnnot());
        QCOMPARE(page->AnnotCount(), 2);
        QVERIFY(!page->AnnotByID(id));
        QCOMPARE(page->AnnotAt(0), first);
        QCOMPARE(page->AnnotAt(1), last);

        stack->redo();
        QCOMPARE(page->AnnotCount(), 3);
        QCOMPARE(page->AnnotAt(1), middle); // the same object, back in its place
        QCOMPARE(middle->Page(), page);
        QCOMPARE(middle->Boundary(), CCA_GRect(20, 30, 70, 50));
    }

    void undoneCreationIsFreedWithTheStack()
    {
        IG_Annot *annot = Create(CCA_GRect(10, 20, 60, 40));
        m_creator.CreateAnnotCmd(annot);
        m_view->UndoStack()->undo();
        QCOMPARE(m_document->GetPage(1)->AnnotCount(), 0);
        QVERIFY(!annot->Page());
        // The view (and its stack) goes first; the command deletes what it holds.
        delete m_view;
        m_view = nullptr;
    }

private:
    IG_Annot *Create(const CCA_GRect &rect, bool stamp = true)
    {
        m_creator.SetAnnot(nullptr);
        m_creator.Flush(rect, stamp);
        return m_creator.Annot();
    }

    std::unique_ptr<OFD_Document> m_document;
    G_DocView *m_view = nullptr;
    TestCreator m_creator;
};

QTEST_MAIN(tst_GACCommon)
#include "tst_gaccommon.moc"

#include "linktestfixture.h"

#include "omofdapi/ig_page.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QUndoStack>
#include <QtTest>

class TestSaveLinkProperty : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void newLinkWithEachAction_data();
    void newLinkWithEachAction();
    void newLinkCornersInAnyOrder();
    void jumpDestinationFollowsView_data();
    void jumpDestinationFollowsView();
    void savedStyleStartsNextLink();
    void failedCreationOnlyHides();
    void invisibleKeepsGreyedStyle();
    void editIsOneUndoStep();

private:
    QPointer<SingleLinkPropertyDialog> NewLinkDialog(double x1 = 10, double y1 = 20, double x2 = 60,
                                                     double y2 = 30, int page = 0);
    void ClickOk(SingleLinkPropertyDialog *dialog);
    template <class T>
    T *Child(SingleLinkPropertyDialog *dialog, const char *name)
    {
        T *child = dialog->findChild<T *>(QLatin1String(name));
        if (!child)
            qFatal("no child %s", name);
        return child;
    }

    std::unique_ptr<LinkFixture> m_fixture;
    QWidget *m_mainWindow = nullptr;
    uint32_t m_notesID = 0;
    uint32_t m_songID = 0;
    uint32_t m_clipID = 0;
};

void TestSaveLinkProperty::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestSaveLinkProperty::init()
{
    ClearLinkStyleSettings();
    m_fixture.reset(new LinkFixture(5));
    m_mainWindow = new QWidget;
    OFD_Document *document = m_fixture->document.get();
    G_AttachmentInfo report;
    report.name = "report";
    report.format = "pdf";
    document->AddAttachment(report, "1");
    G_AttachmentInfo notes;
    notes.name = "notes";
    document->AddAttachment(notes, "2");
    G_AttachmentInfo info;
    document->AttachmentInfo(1, info);
    m_notesID = info.id;
    G_MultiMediaInfo song;
    song.type = G_MultiMedia_Audio;
    song.filePath = "song.mp3";
    m_songID = document->AddMultiMedia(0, song, "s");
    G_MultiMediaInfo clip;
    clip.type = G_MultiMedia_Video;
    clip.filePath = "a/b/clip.mp4";
    m_clipID = document->AddMultiMedia(0, clip, "v");
}

void TestSaveLinkProperty::cleanup()
{
    delete m_mainWindow;
    m_fixture.reset();
}

QPointer<SingleLinkPropertyDialog> TestSaveLinkProperty::NewLinkDialog(double x1, double y1, double x2,
                                                                      double y2, int page)
{
    return new SingleLinkPropertyDialog(nullptr, false, x1, y1, x2, y2, page, &m_fixture->context, m_mainWindow);
}

void TestSaveLinkProperty::ClickOk(SingleLinkPropertyDialog *dialog)
{
    dialog->OnTimeout();
    auto *ok = Child<QPushButton>(dialog, "okButton");
    QVERIFY2(ok->isEnabled(), "OK should be on");
    QTest::mouseClick(ok, Qt::LeftButton);
    FlushDeferredDeletes();
}

void TestSaveLinkProperty::newLinkWithEachAction_data()
{
    QTest::addColumn<int>("actionIndex");
    QTest::addColumn<int>("listIndex");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("expectedType");

    QTest::newRow("web address as typed") << 1 << 0 << "abc" << int(G_ActionType_URI);
    QTest::newRow("second attachment") << 2 << 1 << "" << int(G_ActionType_GotoA);
    QTest::newRow("audio") << 3 << 0 << "" << int(G_ActionType_Sound);
    QTest::newRow("video") << 3 << 1 << "" << int(G_ActionType_Movie);
}

void TestSaveLinkProperty::newLinkWithEachAction()
{
    QFETCH(int, actionIndex);
    QFETCH(int, listIndex);
    QFETCH(QString, typed);
    QFETCH(int, expectedType);

    QPointer<SingleLinkPropertyDialog> dialog = NewLinkDialog();
    Child<QComboBox>(dialog, "actionCombo")->setCurrentIndex(actionIndex);
    if (actionIndex == 1)
        QTest::keyClicks(Child<QLineEdit>(dialog, "urlEdit"), typed);
    if (actionIndex == 2)
        Child<QComboBox>(dialog, "attachmentCombo")->setCurrentIndex(listIndex);
    if (actionIndex == 3)
        Child<QComboBox>(dialog, "mediaCombo")->setCurrentIndex(listIndex);
    ClickOk(dialog);
    QVERIFY2(!dialog, "the dialog deletes itself after saving");

    IG_Page *page = m_fixture->document->GetPage(0);
    QCOMPARE(page->AnnotCount(), 1);
    IG_Annot *annot = page->AnnotAt(0);
    QCOMPARE(annot->Type(), int(G_AnnotType_Link));
    QCOMPARE(QString(annot->SubType().c_str()), QString("Link"));
    COMPARE_RECT(annot->Boundary(), CCA_GRect(10, 20, 60, 30));
    QVERIFY(!annot->LastModDate().IsEmpty());

    const CCA_ArrayTemplate<G_Action *> actions = LinkPathObject(annot)->Actions();
    QCOMPARE(actions.GetSize(), 1);
    QCOMPARE(actions[0]->Type(), expectedType);
    switch (expectedType) {
    case G_ActionType_URI:
        QCOMPARE(QString(static_cast<G_ActionURI *>(actions[0])->URI().c_str()), QString("abc"));
        break;
    case G_ActionType_GotoA:
        QCOMPARE(static_cast<G_ActionGotoA *>(actions[0])->AttachID(), m_notesID);
        QVERIFY(static_cast<G_ActionGotoA *>(actions[0])->NewWindow());
        break;
    case G_ActionType_Sound:
        QCOMPARE(static_cast<G_ActionSound *>(actions[0])->ResourceID(), m_songID);
        break;
    default:
        QCOMPARE(static_cast<G_ActionMovie *>(actions[0])->ResourceID(), m_clipID);
        break;
    }

    // The creation is undoable as a whole.
    QUndoStack *stack = m_fixture->view->UndoStack();
    QVERIFY(stack);
    QCOMPARE(stack->count(), 1);
    stack->undo();
    QCOMPARE(page->AnnotCount(), 0);
    stack->redo();
    QCOMPARE(page->AnnotCount(), 1);
}

void TestSaveLinkProperty::newLinkCornersInAnyOrder()
{
    QPointer<SingleLinkPropertyDialog> dialog = NewLinkDialog(60, 30, 10, 20, 1);
    Child<QComboBox>(dialog, "actionCombo")->setCurrentIndex(1);
    Child<QLineEdit>(dialog, "urlEdit")->setText("x");
    ClickOk(dialog);
    IG_Page *page = m_fixture->document->GetPage(1);
    QCOMPARE(page->AnnotCount(), 1);
    COMPARE_RECT(page->AnnotAt(0)->Boundary(), CCA_GRect(10, 20, 60, 30));
    // Thin rectangle: the path runs half a point inside the 50 x 10 object box.
    const float h = 0.35277778f / 2;
    IG_PageObject *object = LinkPathObject(page->AnnotAt(0));
    COMPARE_RECT(object->Boundary(), CCA_GRect(0, 0, 50, 10));
    COMPARE_RECT(object->Path().BoundingBox(), CCA_GRect(h, h, 50 - h, 10 - h));
}

void TestSaveLinkProperty::jumpDestinationFollowsView_data()
{
    QTest::addColumn<int>("zoomMode");
    QTest::addColumn<int>("destType");

    QTest::newRow("custom") << 0 << 0;
    QTest::newRow("actual size") << 1 << 0;
    QTest::newRow("fit width") << 2 << 2;
    QTest::newRow("fit height") << 3 << 3;
    QTest::newRow("fit page") << 4 << 1;
    QTest::newRow("fit visible") << 5 << 4;
}

void TestSaveLinkProperty::jumpDestinationFollowsView()
{
    QFETCH(int, zoomMode);
    QFETCH(int, destType);

    m_fixture->view->SetZoom(150);
    m_fixture->view->SetZoomMode(zoomMode);
    const CCA_GRect visible = m_fixture->view->CurrentPageVisibleRectMM();
    const float zoom = m_fixture->view->GetZoom();

    QPointer<SingleLinkPropertyDialog> dialog = NewLinkDialog();
    QTest::keyClicks(Child<QLineEdit>(dialog, "pageEdit"), "3");
    ClickOk(dialog);

    IG_Annot *annot = m_fixture->document->GetPage(0)->AnnotAt(0);
    QVERIFY(annot);
    const CCA_ArrayTemplate<G_Action *> actions = LinkPathObject(annot)->Actions();
    QCOMPARE(actions.GetSize(), 1);
    QCOMPARE(actions[0]->Type(), int(G_ActionType_Goto));
    const G_Dest &dest = static_cast<G_ActionGoto *>(actions[0])->Dest();
    QCOMPARE(dest.pageIndex, 2);
    QCOMPARE(dest.pageID, m_fixture->document->GetPageID(2));
    QCOMPARE(dest.type, destType);
    if (zoomMode == 0)
        QCOMPARE(dest.zoom, 1.5f);
    QCOMPARE(dest.zoom, float(double(zoom) / 100));
    QCOMPARE(dest.left, visible.left);
    QCOMPARE(dest.right, visible.right);
    QCOMPARE(dest.top, visible.top);
    QCOMPARE(dest.bottom, visible.bottom);
}

void TestSaveLinkProperty::savedStyleStartsNextLink()
{
    QPointer<SingleLinkPropertyDialog> dialog = NewLinkDialog();
    Child<QComboBox>(dialog, "boundaryCombo")->setCurrentIndex(1);
    Child<QComboBox>(dialog, "lineTypeCombo")->setCurrentIndex(4);
    Child<QComboBox>(dialog, "lineWidthCombo")->setCurrentIndex(2);
    dialog->ColorChanged(QColor(255, 0, 0, 128));
    QTest::keyClicks(Child<QLineEdit>(dialog, "pageEdit"), "1");
    ClickOk(dialog);

    G_SettingMgr &settings = G_SettingMgr::Instance();
    QCOMPARE(settings.ConfigValue("annot.annotlink.boundary").toInt(), 1);
    QCOMPARE(settings.ConfigValue("annot.annotlink.linetype").toInt(), 4);
    QCOMPARE(settings.ConfigValue("annot.annotlink.linewidth").toInt(), 2);
    QCOMPARE(settings.ConfigValue("annot.annotlink.color").toString(), QString("#80ff0000"));

    // Coarse dotted4 underline: six dash entries, width three points, an open path.
    IG_PageObject *object = LinkPathObject(m_fixture->document->GetPage(0)->AnnotAt(0));
    QCOMPARE(object->LineWidth(), 1.0583334f);
    QCOMPARE(object->DashPattern().GetSize(), 6);
    QVERIFY(!object->Path().IsRect());

    QPointer<SingleLinkPropertyDialog> next = NewLinkDialog();
    QCOMPARE(Child<QComboBox>(next, "boundaryCombo")->currentIndex(), 1);
    QCOMPARE(Child<QComboBox>(next, "lineTypeCombo")->currentIndex(), 4);
    QCOMPARE(Child<QComboBox>(next, "lineWidthCombo")->currentIndex(), 2);
    QCOMPARE(next->Color(), QColor(255, 0, 0, 128));
    delete next;
}

void TestSaveLinkProperty::failedCreationOnlyHides()
{
    QPointer<SingleLinkPropertyDialog> dialog = NewLinkDialog(10, 20, 60, 30, 99);
    dialog->show();
    QTest::keyClicks(Child<QLineEdit>(dialog, "pageEdit"), "1");
    ClickOk(dialog);
    QVERIFY2(dialog, "a dialog with a parent stays alive, hidden");
    QVERIFY(!dialog->isVisible());
    QVERIFY(!G_SettingMgr::Instance().ConfigValue("annot.annotlink.boundary").isValid());
    QVERIFY(!m_fixture->view->UndoStack() || m_fixture->view->UndoStack()->count() == 0);
}

void TestSaveLinkProperty::invisibleKeepsGreyedStyle()
{
    IG_Annot *annot = m_fixture->AddLink(0, CCA_GRect(10, 20, 60, 30), LinkStyle(), new G_ActionURI);
    QPointer<SingleLinkPropertyDialog> dialog(
        new SingleLinkPropertyDialog(annot, true, 0, 0, 0, 0, 0, &m_fixture->context, m_mainWindow));
    Child<QComboBox>(dialog, "lineWidthCombo")->setCurrentIndex(1);
    Child<QComboBox>(dialog, "lineTypeCombo")->setCurrentIndex(2);
    dialog->ColorChanged(QColor(0, 0, 255));
    Child<QComboBox>(dialog, "boundaryCombo")->setCurrentIndex(2);
    Child<QLineEdit>(dialog, "urlEdit")->setText("u");
    ClickOk(dialog);

    IG_PageObject *object = LinkPathObject(annot);
    QVERIFY(!object->IsVisible());
    QVERIFY(object->Path().IsRect());
    QCOMPARE(object->LineWidth(), 0.70555556f);
    // Dotted2 at two points: three and one line widths.
    QCOMPARE(object->DashPattern().GetSize(), 2);
    QCOMPARE(object->DashPattern()[0], float(2 * 0.79375 * 4 / 3));
    QCOMPARE(DecodeColor(object->StrokeColor()), QColor(0, 0, 255));
}

void TestSaveLinkProperty::editIsOneUndoStep()
{
    auto *oldAction = new G_ActionURI;
    oldAction->SetURI("old");
    IG_Annot *annot = m_fixture->AddLink(0, CCA_GRect(10, 20, 60, 30), LinkStyle(), oldAction);
    QUndoStack *stack = m_fixture->view->CreateUndoStack();
    QVERIFY(stack);
    const int before = stack->count();

    QPointer<SingleLinkPropertyDialog> dialog(
        new SingleLinkPropertyDialog(annot, true, 0, 0, 0, 0, 0, &m_fixture->context, m_mainWindow));
    Child<QComboBox>(dialog, "boundaryCombo")->setCurrentIndex(1);
    Child<QComboBox>(dialog, "lineWidthCombo")->setCurrentIndex(2);
    dialog->ColorChanged(QColor(255, 0, 0));
    Child<QComboBox>(dialog, "actionCombo")->setCurrentIndex(0);
    QTest::keyClicks(Child<QLineEdit>(dialog, "pageEdit"), "4");
    ClickOk(dialog);

    IG_PageObject *object = LinkPathObject(annot);
    auto checkEdited = [&]() {
        QVERIFY(!object->Path().IsRect());
        QCOMPARE(object->LineWidth(), 1.0583334f);
        QCOMPARE(DecodeColor(object->StrokeColor()), QColor(255, 0, 0));
        QCOMPARE(object->Actions().GetSize(), 1);
        QCOMPARE(object->Actions()[0]->Type(), int(G_ActionType_Goto));
        QVERIFY(QString(annot->LastModDate().c_str()) != QString("2020-01-02 03:04:05"));
        COMPARE_RECT(annot->Boundary(), CCA_GRect(10, 20, 60, 30));
    };
    // The push left the link exactly as the dialog made it.
    QCOMPARE(stack->count(), before + 1);
    checkEdited();
    const QString editedDate = annot->LastModDate().c_str();

    stack->undo();
    QVERIFY(object->Path().IsRect());
    QVERIFY(object->IsVisible());
    QCOMPARE(object->LineWidth(), 0.35277778f);
    QCOMPARE(DecodeColor(object->StrokeColor()), QColor(0, 0, 0));
    QCOMPARE(object->Actions().GetSize(), 1);
    QCOMPARE(object->Actions()[0], static_cast<G_Action *>(oldAction));
    QCOMPARE(QString(annot->LastModDate().c_str()), QString("2020-01-02 03:04:05"));
    COMPARE_RECT(annot->Boundary(), CCA_GRect(10, 20, 60, 30));

    stack->redo();
    checkEdited();
    QCOMPARE(QString(annot->LastModDate().c_str()), editedDate);
}

QTEST_MAIN(TestSaveLinkProperty)
#include "tst_savelinkproperty.moc"

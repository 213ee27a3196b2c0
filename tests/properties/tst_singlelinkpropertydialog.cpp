#include "linktestfixture.h"

#include "properties/linetypeitemdelegate.h"

#include "omofdapi/ofd_page.h"
#include "utils/omcolordialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QtTest>

class TestSingleLinkPropertyDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void scaledSizes_data();
    void scaledSizes();
    void layoutAtFactorOne();
    void listContents();
    void listsWithoutEntries();
    void invisibleGreysAndKeepsLineType();
    void okFollowsActionPage_data();
    void okFollowsActionPage();
    void pageFieldKeepsNumberInRange_data();
    void pageFieldKeepsNumberInRange();
    void returnWithEmptyAddressFocusesField();
    void firstUseStartsWithDefaults();
    void storedStyleStartsNextLink();
    void editFillsStyle();
    void editFillsAction_data();
    void editFillsAction();
    void editWithVanishedAttachment();
    void colourChooserRestylesSwatch();
    void delegatePaintsRowPicture();

private:
    SingleLinkPropertyDialog *NewLinkDialog();
    template <class T>
    T *Child(SingleLinkPropertyDialog *dialog, const char *name)
    {
        T *child = dialog->findChild<T *>(QLatin1String(name));
        if (!child)
            qFatal("no child %s", name);
        return child;
    }

    std::unique_ptr<LinkFixture> m_fixture;
    uint32_t m_reportID = 0;
    uint32_t m_clipID = 0;
    uint32_t m_songID = 0;
};

void TestSingleLinkPropertyDialog::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestSingleLinkPropertyDialog::init()
{
    ClearLinkStyleSettings();
    Utils::OMDpi::Instance().SetDpiScale(1.0f);
    m_fixture.reset(new LinkFixture(5));
    OFD_Document *document = m_fixture->document.get();

    G_AttachmentInfo report;
    report.name = "report";
    report.format = "pdf";
    document->AddAttachment(report, "1");
    G_AttachmentInfo hidden;
    hidden.name = "hidden";
    hidden.listed = false;
    document->AddAttachment(hidden, "2");
    G_AttachmentInfo notes;
    notes.name = "notes";
    document->AddAttachment(notes, "3");
    G_AttachmentInfo info;
    document->AttachmentInfo(0, info);
    m_reportID = info.id;

    G_MultiMediaInfo picture;
    picture.type = G_MultiMedia_Image;
    picture.filePath = "res/logo.png";
    document->AddMultiMedia(0, picture, "p");
    G_MultiMediaInfo clip;
    clip.type = G_MultiMedia_Video;
    clip.filePath = "a/b/clip.mp4";
    m_clipID = document->AddMultiMedia(0, clip, "v");
    G_MultiMediaInfo song;
    song.type = G_MultiMedia_Audio;
    song.filePath = "song.mp3";
    m_songID = document->AddMultiMedia(0, song, "s");
}

void TestSingleLinkPropertyDialog::cleanup()
{
    m_fixture.reset();
    Utils::OMDpi::Instance().SetDpiScale(1.0f);
}

SingleLinkPropertyDialog *TestSingleLinkPropertyDialog::NewLinkDialog()
{
    return new SingleLinkPropertyDialog(nullptr, false, 10, 20, 60, 30, 0, &m_fixture->context, nullptr);
}

void TestSingleLinkPropertyDialog::scaledSizes_data()
{
    QTest::addColumn<float>("factor");
    QTest::addColumn<QSize>("dialogSize");
    QTest::addColumn<QSize>("boundarySize");
    QTest::addColumn<QString>("labelFontSize");
    QTest::addColumn<QString>("listPadding");

    QTest::newRow("1") << 1.0f << QSize(460, 377) << QSize(90, 26) << "12" << "padding-left:10px;";
    QTest::newRow("1.25") << 1.25f << QSize(575, 471) << QSize(112, 32) << "15"
                          << "padding-left:12.5px;";
    QTest::newRow("1.5") << 1.5f << QSize(690, 565) << QSize(135, 39) << "18"
                         << "padding-left:15px;";
    QTest::newRow("2") << 2.0f << QSize(920, 754) << QSize(180, 52) << "24" << "padding-left:20px;";
}

void TestSingleLinkPropertyDialog::scaledSizes()
{
    QFETCH(float, factor);
    QFETCH(QSize, dialogSize);
    QFETCH(QSize, boundarySize);
    QFETCH(QString, labelFontSize);
    QFETCH(QString, listPadding);

    Utils::OMDpi::Instance().SetDpiScale(factor);
    std::unique_ptr<SingleLinkPropertyDialog> dialog(NewLinkDialog());
    QCOMPARE(dialog->size(), dialogSize);
    auto *boundary = Child<QComboBox>(dialog.get(), "boundaryCombo");
    QCOMPARE(boundary->size(), boundarySize);
    QVERIFY2(boundary->styleSheet().contains(listPadding), qPrintable(boundary->styleSheet()));

    QLabel *boundaryLabel = nullptr;
    for (QLabel *label : dialog->findChildren<QLabel *>())
        if (label->text() == "boundary:")
            boundaryLabel = label;
    QVERIFY(boundaryLabel);
    QCOMPARE(boundaryLabel->styleSheet(),
             "font-size: " + labelFontSize + "px;font-family: Microsoft YaHei;color: #4F5D79;");
}

// At factor 1 the fixed sizes add up to the dialog, so every widget lands on a known pixel.
void TestSingleLinkPropertyDialog::layoutAtFactorOne()
{
    std::unique_ptr<SingleLinkPropertyDialog> dialog(NewLinkDialog());
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));

    // Smaller widgets sit in the middle of their row.
    QCOMPARE(Child<QPushButton>(dialog.get(), "closeButton")->geometry(), QRect(24 + 332 + 64, 18 + 6, 16, 16));
    QCOMPARE(Child<QLabel>(dialog.get(), "appearanceLabel")->geometry(), QRect(24, 18 + 28 + 27, 24, 22));
    QCOMPARE(Child<QComboBox>(dialog.get(), "boundaryCombo")->geometry(), QRect(24 + 36 + 10, 103, 90, 26));
    QCOMPARE(Child<QPushButton>(dialog.get(), "colorButton")->geometry().topLeft().x(), 24 + 412 - 18);
    QCOMPARE(Child<QComboBox>(dialog.get(), "actionCombo")->geometry(), QRect(24, 182, 412, 28));
    QCOMPARE(Child<QPushButton>(dialog.get(), "okButton")->geometry(), QRect(24 + 244, 323, 80, 30));
    QCOMPARE(Child<QPushButton>(dialog.get(), "cancelButton")->geometry(), QRect(24 + 244 + 88, 323, 80, 30));
    // The drag area ends where the "appearence" heading starts.
    QCOMPARE(dialog->MovableArea(), QRect(0, 0, 460, 73));
}

void TestSingleLinkPropertyDialog::listContents()
{
    std::unique_ptr<SingleLinkPropertyDialog> dialog(NewLinkDialog());
    auto texts = [](QComboBox *combo) {
        QStringList list;
        for (int i = 0; i < combo->count(); ++i)
            list << combo->itemText(i);
        return list;
    };
    QCOMPARE(texts(Child<QComboBox>(dialog.get(), "boundaryCombo")),
             QStringList({"rectangle", "underline", "invisible"}));
    QCOMPARE(texts(Child<QComboBox>(dialog.get(), "lineWidthCombo")), QStringList({"thin", "middle", "coarse"}));
    QCOMPARE(texts(Child<QComboBox>(dialog.get(), "actionCombo")),
             QStringList({"jump to page", "open web page", "open document attachment", "play audio video file"}));

    auto *lineType = Child<QComboBox>(dialog.get(), "lineTypeCombo");
    QCOMPARE(lineType->count(), 5);
    for (int i = 0; i < 5; ++i) {
        QVERIFY(lineType->itemText(i).isEmpty());
        QVERIFY2(!lineType->itemIcon(i).isNull(), "line picture missing from the resources");
    }
    QCOMPARE(lineType->iconSize(), QSize(77, 1));

    // Unlisted attachments and pictures stay out; names lose their folders.
    auto *attachments = Child<QComboBox>(dialog.get(), "attachmentCombo");
    QCOMPARE(texts(attachments), QStringList({"report.pdf", "notes"}));
    QCOMPARE(attachments->itemData(0).toUInt(), m_reportID);
    QVERIFY(attachments->isEnabled());
    auto *media = Child<QComboBox>(dialog.get(), "mediaCombo");
    QCOMPARE(texts(media), QStringList({"clip.mp4", "song.mp3"}));
    QCOMPARE(media->itemData(0).toUInt(), m_clipID);
    QCOMPARE(media->itemData(1).toUInt(), m_songID);

    QCOMPARE(Child<QLabel>(dialog.get(), "totalLabel")->text(), QString("total5page"));
    QCOMPARE(Child<QStackedWidget>(dialog.get(), "actionStack")->count(), 4);
}

void TestSingleLinkPropertyDialog::listsWithoutEntries()
{
    LinkFixture bare(2);
    std::unique_ptr<SingleLinkPropertyDialog> dialog(
        new SingleLinkPropertyDialog(nullptr, false, 10, 20, 60, 30, 0, &bare.context, nullptr));
    auto *attachments = Child<QComboBox>(dialog.get(), "attachmentCombo");
    QCOMPARE(attachments->count(), 1);
    QCOMPARE(attachments->itemText(0), QString("This document has no attachments"));
    QVERIFY(!attachments->isEnabled());
    QVERIFY(attachments->styleSheet().contains("url(:/img/down_arrowdisable.svg)"));
    QVERIFY(attachments->styleSheet().contains("QComboBox:!enabled{"));
    auto *media = Child<QComboBox>(dialog.get(), "mediaCombo");
    QCOMPARE(media->itemText(0), QString("This document has no embedded audio and video files"));
    QVERIFY(!media->isEnabled());

    // A filled list has neither the disabled rule nor the greyed arrow.
    std::unique_ptr<SingleLinkPropertyDialog> filled(NewLinkDialog());
    const QString sheet = Child<QComboBox>(filled.get(), "attachmentCombo")->styleSheet();
    QVERIFY(!sheet.contains("!enabled"));
    QVERIFY(sheet.contains("url(:/img/down_arrow.svg)"));
}

void TestSingleLinkPropertyDialog::invisibleGreysAndKeepsLineType()
{
    std::unique_ptr<SingleLinkPropertyDialog> dialog(NewLinkDialog());
    auto *boundary = Child<QComboBox>(dialog.get(), "boundaryCombo");
    auto *lineType = Child<QComboBox>(dialog.get(), "lineTypeCombo");
    auto *width = Child<QComboBox>(dialog.get(), "lineWidthCombo");
    auto *colour = Child<QPushButton>(dialog.get(), "colorButton");
    lineType->setCurrentIndex(3);

    boundary->setCurrentIndex(2);
    QVERIFY(!lineType->isEnabled());
    QVERIFY(!width->isEnabled());
    QVERIFY(!colour->isEnabled());
    QCOMPARE(lineType->currentIndex(), 3);
    QCOMPARE(lineType->count(), 5);
    QVERIFY(lineType->styleSheet().contains("url(:/img/down_arrowdisable.svg)"));
    QVERIFY(width->styleSheet().contains("url(:/img/down_arrowdisable.svg)"));
    QVERIFY(!colour->icon().isNull());

    boundary->setCurrentIndex(0);
    QVERIFY(lineType->isEnabled());
    QVERIFY(width->isEnabled());
    QVERIFY(colour->isEnabled());
    QCOMPARE(lineType->currentIndex(), 3);
    QCOMPARE(lineType->count(), 5);
    QVERIFY(lineType->styleSheet().contains("url(:/img/down_arrow.svg)"));
    QVERIFY(colour->icon().isNull());
}

void TestSingleLinkPropertyDialog::okFollowsActionPage_data()
{
    QTest::addColumn<bool>("withFiles");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("page empty") << true << 0 << "" << false;
    QTest::newRow("page 2") << true << 0 << "2" << true;
    QTest::newRow("address empty") << true << 1 << "" << false;
    QTest::newRow("address typed") << true << 1 << "abc" << true;
    QTest::newRow("attachment chosen") << true << 2 << "" << true;
    QTest::newRow("no attachments") << false << 2 << "" << false;
    QTest::newRow("medium chosen") << true << 3 << "" << true;
    QTest::newRow("no media") << false << 3 << "" << false;
}

void TestSingleLinkPropertyDialog::okFollowsActionPage()
{
    QFETCH(bool, withFiles);
    QFETCH(int, action);
    QFETCH(QString, input);
    QFETCH(bool, enabled);

    LinkFixture bare(5);
    G_UIContext *context = withFiles ? &m_fixture->context : &bare.context;
    std::unique_ptr<SingleLinkPropertyDialog> dialog(
        new SingleLinkPropertyDialog(nullptr, false, 10, 20, 60, 30, 0, context, nullptr));
    auto *ok = Child<QPushButton>(dialog.get(), "okButton");
    QVERIFY2(!ok->isEnabled(), "a new link starts with OK off");

    Child<QComboBox>(dialog.get(), "actionCombo")->setCurrentIndex(action);
    QCOMPARE(Child<QStackedWidget>(dialog.get(), "actionStack")->currentIndex(), action);
    if (action == 0)
        Child<QLineEdit>(dialog.get(), "pageEdit")->setText(input);
    if (action == 1)
        Child<QLineEdit>(dialog.get(), "urlEdit")->setText(input);
    dialog->OnTimeout();
    QCOMPARE(ok->isEnabled(), enabled);
}

void TestSingleLinkPropertyDialog::pageFieldKeepsNumberInRange_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");

    QTest::newRow("leading zeros") << "007" << "7";
    QTest::newRow("zero alone") << "0" << "";
    QTest::newRow("beyond ten pages") << "12" << "1";
    QTest::newRow("last page") << "10" << "10";
    QTest::newRow("letters") << "a3" << "3";
}

void TestSingleLinkPropertyDialog::pageFieldKeepsNumberInRange()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);

    LinkFixture tenPages(10);
    std::unique_ptr<SingleLinkPropertyDialog> dialog(
        new SingleLinkPropertyDialog(nullptr, false, 10, 20, 60, 30, 0, &tenPages.context, nullptr));
    auto *page = Child<QLineEdit>(dialog.get(), "pageEdit");
    QTest::keyClicks(page, typed);
    QCOMPARE(page->text(), kept);
}

void TestSingleLinkPropertyDialog::returnWithEmptyAddressFocusesField()
{
    QPointer<SingleLinkPropertyDialog> dialog(NewLinkDialog());
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    Child<QComboBox>(dialog, "actionCombo")->setCurrentIndex(1);
    Child<QComboBox>(dialog, "actionCombo")->clearFocus();
    auto *address = Child<QLineEdit>(dialog, "urlEdit");
    QVERIFY(!address->hasFocus());

    QTest::keyClick(dialog, Qt::Key_Return);
    QVERIFY(address->hasFocus());
    FlushDeferredDeletes();
    QVERIFY2(dialog, "Return with an empty address must not save");
    QCOMPARE(m_fixture->document->GetPage(0)->AnnotCount(), 0);
    delete dialog;
}

void TestSingleLinkPropertyDialog::firstUseStartsWithDefaults()
{
    std::unique_ptr<SingleLinkPropertyDialog> dialog(NewLinkDialog());
    QCOMPARE(Child<QComboBox>(dialog.get(), "boundaryCombo")->currentIndex(), 0);
    QCOMPARE(Child<QComboBox>(dialog.get(), "lineTypeCombo")->currentIndex(), 0);
    QCOMPARE(Child<QComboBox>(dialog.get(), "lineWidthCombo")->currentIndex(), 0);
    QCOMPARE(dialog->Color(), QColor(0, 0, 0, 255));
    QVERIFY(Child<QPushButton>(dialog.get(), "colorButton")->styleSheet().startsWith(
        "QPushButton{border: 1px solid #D7D9DE;background-color:#ff000000;}"));
}

void TestSingleLinkPropertyDialog::storedStyleStartsNextLink()
{
    LinkStyleSettings::Write(2, 3, 1, QColor(255, 0, 0, 128));
    std::unique_ptr<SingleLinkPropertyDialog> dialog(NewLinkDialog());
    QCOMPARE(Child<QComboBox>(dialog.get(), "boundaryCombo")->currentIndex(), 2);
    QCOMPARE(Child<QComboBox>(dialog.get(), "lineTypeCombo")->currentIndex(), 3);
    QCOMPARE(Child<QComboBox>(dialog.get(), "lineWidthCombo")->currentIndex(), 1);
    QCOMPARE(dialog->Color(), QColor(255, 0, 0, 128));
    QVERIFY(Child<QPushButton>(dialog.get(), "colorButton")->styleSheet().contains("background-color:#80ff0000;"));
    QVERIFY2(!Child<QComboBox>(dialog.get(), "lineTypeCombo")->isEnabled(), "an invisible start style is greyed");
}

void TestSingleLinkPropertyDialog::editFillsStyle()
{
    LinkStyle style;
    style.boundary = LinkBoundaryKind::Invisible;
    style.lineType = LinkLineType::Dotted2;
    style.lineWidth = LinkLineWidth::Coarse;
    style.color = QColor(255, 0, 0, 128);
    IG_Annot *annot = m_fixture->AddLink(1, CCA_GRect(10, 20, 60, 30), style, nullptr);
    QVERIFY(annot);
    // The settings never reach an edited link.
    LinkStyleSettings::Write(0, 0, 0, QColor(0, 0, 255));

    std::unique_ptr<SingleLinkPropertyDialog> dialog(
        new SingleLinkPropertyDialog(annot, true, 0, 0, 0, 0, 1, &m_fixture->context, nullptr));
    QCOMPARE(Child<QComboBox>(dialog.get(), "boundaryCombo")->currentIndex(), 2);
    QCOMPARE(Child<QComboBox>(dialog.get(), "lineTypeCombo")->currentIndex(), 2);
    QCOMPARE(Child<QComboBox>(dialog.get(), "lineWidthCombo")->currentIndex(), 2);
    QCOMPARE(dialog->Color(), QColor(255, 0, 0, 128));
    QVERIFY(!Child<QPushButton>(dialog.get(), "colorButton")->isEnabled());
    QVERIFY2(Child<QPushButton>(dialog.get(), "okButton")->isEnabled(), "an edited link starts with OK on");
}

void TestSingleLinkPropertyDialog::editFillsAction_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("actionIndex");
    QTest::addColumn<QString>("shown");

    QTest::newRow("goto") << int(G_ActionType_Goto) << 0 << "3";
    QTest::newRow("uri") << int(G_ActionType_URI) << 1 << "https://example.org/ä";
    QTest::newRow("attachment") << int(G_ActionType_GotoA) << 2 << "report.pdf";
    QTest::newRow("sound") << int(G_ActionType_Sound) << 3 << "song.mp3";
    QTest::newRow("movie") << int(G_ActionType_Movie) << 3 << "clip.mp4";
}

void TestSingleLinkPropertyDialog::editFillsAction()
{
    QFETCH(int, kind);
    QFETCH(int, actionIndex);
    QFETCH(QString, shown);

    G_Action *action = nullptr;
    if (kind == G_ActionType_Goto) {
        auto *jump = new G_ActionGoto;
        jump->Dest().pageIndex = 2;
        action = jump;
    } else if (kind == G_ActionType_URI) {
        auto *uri = new G_ActionURI;
        uri->SetURI(CCA_String("https://example.org/\xc3\xa4"));
        action = uri;
    } else if (kind == G_ActionType_GotoA) {
        auto *attachment = new G_ActionGotoA;
        attachment->SetAttachID(m_reportID);
        action = attachment;
    } else if (kind == G_ActionType_Sound) {
        auto *sound = new G_ActionSound;
        sound->SetResourceID(m_songID);
        action = sound;
    } else {
        auto *movie = new G_ActionMovie;
        movie->SetResourceID(m_clipID);
        action = movie;
    }
    IG_Annot *annot = m_fixture->AddLink(0, CCA_GRect(10, 20, 60, 30), LinkStyle(), action);
    QVERIFY(annot);

    std::unique_ptr<SingleLinkPropertyDialog> dialog(
        new SingleLinkPropertyDialog(annot, true, 0, 0, 0, 0, 0, &m_fixture->context, nullptr));
    QCOMPARE(Child<QComboBox>(dialog.get(), "actionCombo")->currentIndex(), actionIndex);
    QCOMPARE(Child<QStackedWidget>(dialog.get(), "actionStack")->currentIndex(), actionIndex);
    QString value;
    switch (actionIndex) {
    case 0: value = Child<QLineEdit>(dialog.get(), "pageEdit")->text(); break;
    case 1: value = Child<QLineEdit>(dialog.get(), "urlEdit")->text(); break;
    case 2: value = Child<QComboBox>(dialog.get(), "attachmentCombo")->currentText(); break;
    default: value = Child<QComboBox>(dialog.get(), "mediaCombo")->currentText(); break;
    }
    QCOMPARE(value, shown);
}

void TestSingleLinkPropertyDialog::editWithVanishedAttachment()
{
    auto *attachment = new G_ActionGotoA;
    attachment->SetAttachID(9999);
    IG_Annot *annot = m_fixture->AddLink(0, CCA_GRect(10, 20, 60, 30), LinkStyle(), attachment);
    std::unique_ptr<SingleLinkPropertyDialog> dialog(
        new SingleLinkPropertyDialog(annot, true, 0, 0, 0, 0, 0, &m_fixture->context, nullptr));
    QCOMPARE(Child<QComboBox>(dialog.get(), "actionCombo")->currentIndex(), 2);
    QCOMPARE(Child<QComboBox>(dialog.get(), "attachmentCombo")->currentIndex(), -1);
    dialog->OnTimeout();
    QVERIFY2(!Child<QPushButton>(dialog.get(), "okButton")->isEnabled(), "nothing chosen, nothing to save");
}

void TestSingleLinkPropertyDialog::colourChooserRestylesSwatch()
{
    std::unique_ptr<SingleLinkPropertyDialog> dialog(NewLinkDialog());
    auto *chooser = dialog->findChild<Utils::OMColorDialog *>();
    QVERIFY(chooser);
    QTest::mouseClick(Child<QPushButton>(dialog.get(), "colorButton"), Qt::LeftButton);
    QVERIFY(chooser->isVisible());
    QCOMPARE(chooser->CustomColor(), QColor(0, 0, 0, 255));

    emit chooser->ColorSelected(QColor(0, 128, 255, 64));
    QCOMPARE(dialog->Color(), QColor(0, 128, 255, 64));
    QVERIFY(Child<QPushButton>(dialog.get(), "colorButton")->styleSheet().contains("background-color:#400080ff;"));
}

// At factor 2 a popup row is 48 px high and its picture 202 x 2 px from x = 18.
void TestSingleLinkPropertyDialog::delegatePaintsRowPicture()
{
    Utils::OMDpi::Instance().SetDpiScale(2.0f);
    QComboBox list;
    list.setFixedWidth(240);
    LineTypeItemDelegate delegate(&list);
    QStandardItemModel model(5, 1);

    QStyleOptionViewItem option;
    QCOMPARE(delegate.sizeHint(option, model.index(1, 0)), QSize(240, 48));

    for (int row : {0, 1}) {
        QImage image(240, 260, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        option.rect = QRect(0, 0, 240, 48);
        delegate.paint(&painter, option, model.index(row, 0));
        painter.end();
        const int y = (24 * row + 12) * 2;
        QCOMPARE(image.pixelColor(19, y), QColor("#4F5D79"));
        QCOMPARE(image.pixelColor(17, y), QColor(Qt::white));
        QCOMPARE(image.pixelColor(19, y + 3), QColor(Qt::white));
        // Dotted1 leaves a gap from 5 to 8 px of the 101 px picture, doubled here.
        QCOMPARE(image.pixelColor(18 + 13, y) == QColor(Qt::white), row == 1);
    }
}

QTEST_MAIN(TestSingleLinkPropertyDialog)
#include "tst_singlelinkpropertydialog.moc"

#include "linktestfixture.h"

#include "properties/linetypeitemdelegate.h"

#include "utils/omcolordialog.h"
#include "utils/omdpi.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStyleOptionComboBox>
#include <QTranslator>

namespace {

// The module's translation into `language` while it lives.
struct Language
{
    explicit Language(const QString &language)
    {
        if (translator.load(QStringLiteral(":/i18n/annotlink_%1.qm").arg(language)))
            QCoreApplication::installTranslator(&translator);
        else
            qFatal("no translation into %s", qPrintable(language));
    }
    QTranslator translator;
};

QString Translated(const char *source)
{
    return QCoreApplication::translate("SingleLinkPropertyDialog", source);
}

// The width a closed list leaves for its text.
int TextRoom(QComboBox *combo)
{
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.subControls = QStyle::SC_All;
    return combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo).width();
}

QStringList Texts(QComboBox *combo)
{
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}

} // namespace

class TestSingleLinkPropertyDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<LinkFixture> m_fixture;
    uint32_t m_reportID = 0, m_clipID = 0, m_songID = 0;

    SingleLinkPropertyDialog *NewDialog(LinkFixture *fixture = nullptr, IG_Annot *annot = nullptr)
    {
        return new SingleLinkPropertyDialog(annot, annot != nullptr, 10, 20, 60, 30, 0,
                                            &(fixture ? fixture : m_fixture.get())->context, nullptr);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        ClearLinkStyleSettings();
        Utils::OMDpi::Instance().SetDpiScale(1.0f); // the screen's own factor need not be 1
        m_fixture.reset(new LinkFixture(5));
        m_reportID = m_fixture->AddAttachment("report", "pdf");
        m_fixture->AddAttachment("hidden", "", false);
        m_fixture->AddAttachment("notes");
        m_fixture->AddMedium(G_MultiMedia_Image, "res/logo.png");
        m_clipID = m_fixture->AddMedium(G_MultiMedia_Video, "a/b/clip.mp4");
        m_songID = m_fixture->AddMedium(G_MultiMedia_Audio, "song.mp3");
    }

    void cleanup()
    {
        m_fixture.reset();
    }

    void scaledSizes_data()
    {
        QTest::addColumn<float>("factor");
        QTest::addColumn<QSize>("dialogSize");
        QTest::addColumn<QSize>("boundarySize");
        QTest::addColumn<QString>("font");
        QTest::addColumn<QString>("padding");
        QTest::newRow("1") << 1.0f << QSize(460, 377) << QSize(90, 26) << "12" << "10";
        QTest::newRow("1.25") << 1.25f << QSize(575, 471) << QSize(112, 32) << "15" << "12.5";
    }

    void scaledSizes()
    {
        QFETCH(float, factor);
        QFETCH(QString, font);
        QFETCH(QString, padding);
        Utils::OMDpi::Instance().SetDpiScale(factor);
        // The sizes were laid out for the Chinese texts.
        Language chinese("zh_CN");
        std::unique_ptr<SingleLinkPropertyDialog> dialog(NewDialog());
        QTEST(dialog->size(), "dialogSize");
        auto *boundary = Child<QComboBox>(dialog.get(), "boundaryCombo");
        QTEST(boundary->size(), "boundarySize");
        QVERIFY2(boundary->styleSheet().startsWith("QComboBox{padding-left:" + padding + "px;font-size: " + font + "px;"),
                 qPrintable(boundary->styleSheet()));
        QStringList labelSheets;
        for (QLabel *label : dialog->findChildren<QLabel *>())
            if (label->text() == Translated("boundary:"))
                labelSheets << label->styleSheet();
        QCOMPARE(labelSheets, QStringList("font-size: " + font + "px;font-family: Microsoft YaHei;color: #4F5D79;"));
    }

    // At factor 1 the fixed sizes add up to the dialog, so the buttons land on known pixels.
    void layoutAtFactorOne()
    {
        Language chinese("zh_CN");
        std::unique_ptr<SingleLinkPropertyDialog> dialog(NewDialog());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QCOMPARE(Child<QPushButton>(dialog.get(), "cancelButton")->geometry(), QRect(24 + 244 + 88, 323, 80, 30));
        QCOMPARE(dialog->MovableArea(), QRect(0, 0, 460, 18 + 28 + 27));
    }

    void textsFit_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<float>("factor");
        QTest::addColumn<bool>("withFiles");
        QTest::newRow("zh_CN at 1") << "zh_CN" << 1.0f << true;
        QTest::newRow("zh_CN at 2, no files") << "zh_CN" << 2.0f << false;
        QTest::newRow("en at 1") << "en" << 1.0f << true;
        QTest::newRow("en at 1, no files") << "en" << 1.0f << false;
        QTest::newRow("en at 2, no files") << "en" << 2.0f << false;
    }

    // No text is cut: each fits its widget, and each widget lies inside the dialog.
    void textsFit()
    {
        QFETCH(QString, language);
        QFETCH(float, factor);
        QFETCH(bool, withFiles);
        Language translation(language);
        Utils::OMDpi::Instance().SetDpiScale(factor);
        LinkFixture bare(12);
        std::unique_ptr<SingleLinkPropertyDialog> dialog(NewDialog(withFiles ? m_fixture.get() : &bare));
        QVERIFY(Child<QLabel>(dialog.get(), "appearanceLabel")->text() != "appearence");
        if (language == "en")
            QCOMPARE(Child<QLabel>(dialog.get(), "totalLabel")->text(), withFiles ? "of 5 pages" : "of 12 pages");
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        auto fits = [&dialog](QWidget *widget, const QString &text, int room) {
            const int needed = widget->fontMetrics().horizontalAdvance(text);
            const QRect inDialog(widget->mapTo(dialog.get(), QPoint(0, 0)), widget->size());
            QVERIFY2(needed <= room, qPrintable(QString("\"%1\" needs %2 px, has %3").arg(text).arg(needed).arg(room)));
            QVERIFY2(dialog->rect().contains(inDialog), qPrintable(QString("\"%1\" leaves the dialog").arg(text)));
        };
        for (int action = 0; action < 4; ++action) {
            Child<QComboBox>(dialog.get(), "actionCombo")->setCurrentIndex(action);
            QApplication::processEvents();
            for (QLabel *label : dialog->findChildren<QLabel *>()) {
                if (label->isVisible() && !label->text().isEmpty())
                    fits(label, label->text(), label->contentsRect().width());
            }
            for (QComboBox *combo : dialog->findChildren<QComboBox *>()) {
                for (int i = 0; combo->isVisible() && i < combo->count(); ++i)
                    fits(combo, combo->itemText(i), TextRoom(combo));
            }
            for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
                if (button->isVisible() && !button->text().isEmpty())
                    fits(button, button->text(), button->contentsRect().width());
            }
        }
    }

    void listContents()
    {
        std::unique_ptr<SingleLinkPropertyDialog> dialog(NewDialog());
        QVERIFY2(!Child<QComboBox>(dialog.get(), "lineTypeCombo")->itemIcon(4).isNull(), "picture not in the resources");
        QCOMPARE(Child<QLabel>(dialog.get(), "totalLabel")->text(), QString("total5page"));
        // Unlisted attachments and pictures stay out; media lose their folders.
        auto *attachments = Child<QComboBox>(dialog.get(), "attachmentCombo");
        QCOMPARE(Texts(attachments), QStringList({"report.pdf", "notes"}));
        QCOMPARE(attachments->itemData(0).toUInt(), m_reportID);
        QVERIFY(!attachments->styleSheet().contains("!enabled"));
        auto *media = Child<QComboBox>(dialog.get(), "mediaCombo");
        QCOMPARE(Texts(media), QStringList({"clip.mp4", "song.mp3"}));
        QCOMPARE(media->itemData(1).toUInt(), m_songID);

        LinkFixture bare(2);
        std::unique_ptr<SingleLinkPropertyDialog> empty(NewDialog(&bare));
        attachments = Child<QComboBox>(empty.get(), "attachmentCombo");
        QCOMPARE(Texts(attachments), QStringList("This document has no attachments"));
        QVERIFY(!attachments->isEnabled());
        QVERIFY(attachments->styleSheet().contains("}QComboBox:!enabled{"));
        QVERIFY(attachments->styleSheet().contains("url(:/img/down_arrowdisable.svg)"));
        QCOMPARE(Texts(Child<QComboBox>(empty.get(), "mediaCombo")),
                 QStringList("This document has no embedded audio and video files"));
    }

    void invisibleGreysAndKeepsLineType()
    {
        std::unique_ptr<SingleLinkPropertyDialog> dialog(NewDialog());
        auto *lineType = Child<QComboBox>(dialog.get(), "lineTypeCombo");
        auto *width = Child<QComboBox>(dialog.get(), "lineWidthCombo");
        auto *colour = Child<QPushButton>(dialog.get(), "colorButton");
        lineType->setCurrentIndex(3);
        for (int boundary : {2, 0}) {
            const bool greyed = boundary == 2;
            Child<QComboBox>(dialog.get(), "boundaryCombo")->setCurrentIndex(boundary);
            QCOMPARE(lineType->isEnabled() || width->isEnabled() || colour->isEnabled(), !greyed);
            QCOMPARE(lineType->currentIndex(), 3);
            QCOMPARE(lineType->count(), 5);
            const QString arrow = greyed ? "url(:/img/down_arrowdisable.svg)" : "url(:/img/down_arrow.svg)";
            QVERIFY(lineType->styleSheet().contains(arrow) && width->styleSheet().contains(arrow));
            QCOMPARE(colour->icon().isNull(), !greyed);
        }
    }

    void okFollowsActionPage_data()
    {
        QTest::addColumn<bool>("withFiles");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("page empty") << true << 0 << "" << false;
        QTest::newRow("address empty") << true << 1 << "" << false;
        QTest::newRow("address typed") << true << 1 << "abc" << true;
        QTest::newRow("no attachments") << false << 2 << "" << false;
        QTest::newRow("medium chosen") << true << 3 << "" << true;
        QTest::newRow("no media") << false << 3 << "" << false;
    }

    void okFollowsActionPage()
    {
        QFETCH(bool, withFiles);
        QFETCH(int, action);
        LinkFixture bare(5);
        std::unique_ptr<SingleLinkPropertyDialog> dialog(NewDialog(withFiles ? m_fixture.get() : &bare));
        auto *ok = Child<QPushButton>(dialog.get(), "okButton");
        QVERIFY2(!ok->isEnabled(), "a new link starts with OK off");
        Child<QComboBox>(dialog.get(), "actionCombo")->setCurrentIndex(action);
        QCOMPARE(Child<QStackedWidget>(dialog.get(), "actionStack")->currentIndex(), action);
        QFETCH(QString, input);
        Child<QLineEdit>(dialog.get(), action == 1 ? "urlEdit" : "pageEdit")->setText(input);
        dialog->OnTimeout();
        QTEST(ok->isEnabled(), "enabled");
    }

    void pageFieldKeepsNumberInRange_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("leading zeros") << "007" << "7";
        QTest::newRow("zero alone") << "0" << "";
        QTest::newRow("beyond ten pages") << "12" << "1";
        QTest::newRow("letters") << "a3" << "3";
    }

    void pageFieldKeepsNumberInRange()
    {
        QFETCH(QString, typed);
        LinkFixture tenPages(10);
        std::unique_ptr<SingleLinkPropertyDialog> dialog(NewDialog(&tenPages));
        auto *page = Child<QLineEdit>(dialog.get(), "pageEdit");
        QTest::keyClicks(page, typed);
        QTEST(page->text(), "kept");
    }

    void keyboardFocus()
    {
        std::unique_ptr<SingleLinkPropertyDialog> dialog(NewDialog());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QCOMPARE(QApplication::focusWidget(), Child<QWidget>(dialog.get(), "pageEdit"));

        // Return with an empty address goes to the address field and saves nothing.
        auto *action = Child<QComboBox>(dialog.get(), "actionCombo");
        action->setFocus(); // as a user who picks the action does
        action->setCurrentIndex(1);
        auto *address = Child<QLineEdit>(dialog.get(), "urlEdit");
        QVERIFY(!address->hasFocus());
        QTest::keyClick(dialog.get(), Qt::Key_Return);
        QVERIFY(address->hasFocus());
        QCOMPARE(m_fixture->document->GetPage(0)->AnnotCount(), 0);
    }

    void storedStyleStartsNewLink()
    {
        std::unique_ptr<SingleLinkPropertyDialog> first(NewDialog());
        QCOMPARE(first->Color(), QColor(0, 0, 0, 255));
        QVERIFY(Child<QPushButton>(first.get(), "colorButton")->styleSheet().startsWith(
            "QPushButton{border: 1px solid #D7D9DE;background-color:#ff000000;}QPushButton:hover{"));

        LinkStyleSettings::Write({LinkBoundaryKind::Invisible, LinkLineType::Dotted3, LinkLineWidth::Middle, QColor(255, 0, 0, 128)});
        std::unique_ptr<SingleLinkPropertyDialog> dialog(NewDialog());
        QCOMPARE(Child<QComboBox>(dialog.get(), "boundaryCombo")->currentIndex(), 2);
        QCOMPARE(Child<QComboBox>(dialog.get(), "lineTypeCombo")->currentIndex(), 3);
        QCOMPARE(Child<QComboBox>(dialog.get(), "lineWidthCombo")->currentIndex(), 1);
        QCOMPARE(dialog->Color(), QColor(255, 0, 0, 128));
        QVERIFY(Child<QPushButton>(dialog.get(), "colorButton")->styleSheet().contains("background-color:#80ff0000;"));
        QVERIFY2(!Child<QComboBox>(dialog.get(), "lineTypeCombo")->isEnabled(), "an invisible start style is greyed");
        auto *chooser = dialog->findChild<Utils::OMColorDialog *>();
        emit chooser->ColorSelected(QColor(0, 128, 255, 64));
        QVERIFY(Child<QPushButton>(dialog.get(), "colorButton")->styleSheet().contains("background-color:#400080ff;"));
        // The chooser opens on the chosen colour, and "More..." starts from it.
        dialog->SelectColor();
        QCOMPARE(chooser->CustomColor(), QColor(0, 128, 255, 64));
        chooser->hide();
    }

    // Settings written by hand or by another version: the dialog still saves a usable link.
    void damagedSettings_data()
    {
        QTest::addColumn<QVariantList>("values"); // boundary, line type, width, colour
        QTest::newRow("indices past the lists") << QVariantList{7, 99, 3, "#ff000000"};
        QTest::newRow("negative indices") << QVariantList{-2, -1, -7, "#ff000000"};
        QTest::newRow("text for indices") << QVariantList{"wide", "x", "1e99", "#ff000000"};
        QTest::newRow("unparsable colour") << QVariantList{0, 0, 0, "#zzzzzz"};
        QTest::newRow("colour of another type") << QVariantList{0, 0, 0, QPoint(1, 2)};
    }

    void damagedSettings()
    {
        QFETCH(QVariantList, values);
        const char *keys[] = {LinkStyleSettings::BoundaryKey, LinkStyleSettings::LineTypeKey,
                              LinkStyleSettings::LineWidthKey, LinkStyleSettings::ColorKey};
        for (int i = 0; i < 4; ++i)
            G_SettingMgr::Instance().SetConfigValue(QString::fromLatin1(keys[i]), values.at(i));
        QPointer<SingleLinkPropertyDialog> dialog = NewDialog();
        QTest::keyClicks(Child<QLineEdit>(dialog, "pageEdit"), "2");
        dialog->OnTimeout();
        QTest::mouseClick(Child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!dialog);

        IG_Page *page = m_fixture->document->GetPage(0);
        QCOMPARE(page->AnnotCount(), 1);
        COMPARE_RECT(page->AnnotAt(0)->Boundary(), CCA_GRect(10, 20, 60, 30));
        QCOMPARE(LinkPathObject(page->AnnotAt(0))->LineWidth(), 0.35277778f);
    }

    void editFillsStyleAndAction_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("shown");
        QTest::newRow("goto") << int(G_ActionType_Goto) << "pageEdit" << "3";
        QTest::newRow("uri") << int(G_ActionType_URI) << "urlEdit" << "https://example.org/\u00e4";
        QTest::newRow("attachment") << int(G_ActionType_GotoA) << "attachmentCombo" << "report.pdf";
        QTest::newRow("sound") << int(G_ActionType_Sound) << "mediaCombo" << "song.mp3";
        QTest::newRow("movie") << int(G_ActionType_Movie) << "mediaCombo" << "clip.mp4";
    }

    void editFillsStyleAndAction()
    {
        QFETCH(int, kind);
        QFETCH(QString, field);
        auto *jump = new G_ActionGoto;
        jump->Dest().pageIndex = 2;
        auto *uri = new G_ActionURI;
        uri->SetURI("https://example.org/\xc3\xa4");
        auto *attachment = new G_ActionGotoA;
        attachment->SetAttachID(m_reportID);
        auto *sound = new G_ActionSound;
        sound->SetResourceID(m_songID);
        auto *movie = new G_ActionMovie;
        movie->SetResourceID(m_clipID);
        std::unique_ptr<G_Action> all[] = {std::unique_ptr<G_Action>(jump), std::unique_ptr<G_Action>(uri),
                                           std::unique_ptr<G_Action>(sound), std::unique_ptr<G_Action>(movie),
                                           std::unique_ptr<G_Action>(attachment)};
        const LinkStyle style{LinkBoundaryKind::Invisible, LinkLineType::Dotted2, LinkLineWidth::Coarse,
                              QColor(255, 0, 0, 128)};
        IG_Annot *annot = m_fixture->AddLink(1, CCA_GRect(10, 20, 60, 30), style, all[kind - 1].release());
        LinkStyleSettings::Write({LinkBoundaryKind::Rectangle, LinkLineType::Solid, LinkLineWidth::Thin, QColor(0, 0, 255)}); // never read for an edited link

        std::unique_ptr<SingleLinkPropertyDialog> dialog(NewDialog(nullptr, annot));
        QCOMPARE(Child<QComboBox>(dialog.get(), "boundaryCombo")->currentIndex(), 2);
        QCOMPARE(Child<QComboBox>(dialog.get(), "lineTypeCombo")->currentIndex(), 2);
        QCOMPARE(Child<QComboBox>(dialog.get(), "lineWidthCombo")->currentIndex(), 2);
        QCOMPARE(dialog->Color(), QColor(255, 0, 0, 128));
        QVERIFY2(Child<QPushButton>(dialog.get(), "okButton")->isEnabled(), "an edited link starts with OK on");
        QWidget *shownField = Child<QWidget>(dialog.get(), qPrintable(field));
        QCOMPARE(Child<QStackedWidget>(dialog.get(), "actionStack")->currentWidget(), shownField->parentWidget());
        auto *edit = qobject_cast<QLineEdit *>(shownField);
        QTEST(edit ? edit->text() : static_cast<QComboBox *>(shownField)->currentText(), "shown");
    }

    void editWithVanishedAttachment()
    {
        auto *attachment = new G_ActionGotoA;
        attachment->SetAttachID(9999);
        IG_Annot *annot = m_fixture->AddLink(0, CCA_GRect(10, 20, 60, 30), LinkStyle(), attachment);
        std::unique_ptr<SingleLinkPropertyDialog> dialog(NewDialog(nullptr, annot));
        QCOMPARE(Child<QComboBox>(dialog.get(), "actionCombo")->currentIndex(), 2);
        QCOMPARE(Child<QComboBox>(dialog.get(), "attachmentCombo")->currentIndex(), -1);
        dialog->OnTimeout();
        QVERIFY2(!Child<QPushButton>(dialog.get(), "okButton")->isEnabled(), "nothing chosen, nothing to save");
    }

    // At factor 2 a popup row is 48 px high and its picture 202 x 2 px from x = 18.
    void delegatePaintsRowPicture()
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
            delegate.paint(&painter, option, model.index(row, 0));
            painter.end();
            const int y = (24 * row + 12) * 2;
            QCOMPARE(image.pixelColor(19, y + 1), QColor("#4F5D79"));
            QCOMPARE(image.pixelColor(17, y), QColor(Qt::white));
            QCOMPARE(image.pixelColor(19, y + 2), QColor(Qt::white));
            // Dotted1 leaves a gap from 5 to 8 px of the 101 px picture, doubled here.
            QCOMPARE(image.pixelColor(18 + 13, y) == QColor(Qt::white), row == 1);
        }
    }
};

QTEST_MAIN(TestSingleLinkPropertyDialog)
#include "tst_singlelinkpropertydialog.moc"

#include "core/icore.h"
#include "core/omdialog.h"
#include "utils/omcolordialog.h"
#include "utils/omdpi.h"

#include <QPushButton>
#include <QtTest>

namespace {

class ScriptedColorDialog : public Utils::OMColorDialog
{
public:
    QColor answer;

protected:
    QColor AskColor(const QColor &) override { return answer; }
};

} // namespace

class tst_Dialogs : public QObject
{
    Q_OBJECT

private slots:
    void colorSwatchSelects();
    void moreColorsTakesTheSystemDialogsAnswer();
    void dragInsideMovableAreaMovesTheDialog();
    void moveToCenterOfParent();
    void dialogPaintsItsFrame();
};

void tst_Dialogs::colorSwatchSelects()
{
    Utils::OMColorDialog chooser;
    QSignalSpy spy(&chooser, &Utils::OMColorDialog::ColorSelected);
    chooser.show();
    QVERIFY(chooser.Swatches().size() >= 8);
    auto *swatch = chooser.findChild<QPushButton *>(QStringLiteral("swatch9"));
    QVERIFY(swatch);
    swatch->click();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<QColor>(), chooser.Swatches().at(9));
    QVERIFY(!chooser.isVisible());

    chooser.SetCustomColor(QColor(10, 20, 30, 128));
    chooser.show();
    chooser.findChild<QPushButton *>(QStringLiteral("customColor"))->click();
    QCOMPARE(spy.at(1).at(0).value<QColor>(), QColor(10, 20, 30, 128));
}

void tst_Dialogs::moreColorsTakesTheSystemDialogsAnswer()
{
    ScriptedColorDialog chooser;
    QSignalSpy spy(&chooser, &Utils::OMColorDialog::ColorSelected);
    auto *more = chooser.findChild<QPushButton *>(QStringLiteral("moreColors"));
    QVERIFY(more);
    chooser.answer = QColor();
    more->click();
    QCOMPARE(spy.count(), 0);
    chooser.answer = QColor(1, 2, 3, 40);
    more->click();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(chooser.CustomColor(), QColor(1, 2, 3, 40));
}

void tst_Dialogs::dragInsideMovableAreaMovesTheDialog()
{
    Core::OMDialog dialog;
    dialog.resize(300, 200);
    dialog.move(100, 100);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.SetMovableArea(QRect(0, 0, 300, 40));
    const QPoint start = dialog.pos();

    // Outside the area nothing moves.
    QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(50, 100));
    QMouseEvent outsideMove(QEvent::MouseMove, QPoint(80, 130), dialog.mapToGlobal(QPoint(80, 130)), Qt::NoButton,
                            Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &outsideMove);
    QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(80, 130));
    QCOMPARE(dialog.pos(), start);

    QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(50, 20));
    QMouseEvent move(QEvent::MouseMove, QPoint(80, 45), dialog.mapToGlobal(QPoint(80, 45)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &move);
    QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(80, 45));
    QCOMPARE(dialog.pos(), start + QPoint(30, 25));
}

void tst_Dialogs::moveToCenterOfParent()
{
    QWidget window;
    window.setGeometry(100, 50, 800, 600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Core::ICore::SetMainWindow(&window);
    QCOMPARE(Core::ICore::mainWindow(), &window);

    Core::OMDialog dialog(&window);
    dialog.resize(200, 100);
    Utils::DPI::OM_Util::MoveToCenter(&dialog);
    // Frameless on the offscreen platform: the frame is the widget itself.
    const QRect parentFrame = window.frameGeometry();
    QCOMPARE(dialog.pos(), QPoint(parentFrame.x() + (parentFrame.width() - 200) / 2,
                                  parentFrame.y() + (parentFrame.height() - 100) / 2));
    Core::ICore::SetMainWindow(nullptr);

    Utils::OMDpi::Instance().SetDpiScale(2.0f);
    QCOMPARE(Utils::OMDpi::Instance().DpiScale(), 2.0f);
    Utils::OMDpi::Instance().SetDpiScale(1.0f);
}

void tst_Dialogs::dialogPaintsItsFrame()
{
    Core::OMDialog dialog;
    dialog.resize(50, 40);
    QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
    const QImage image = dialog.grab().toImage();
    QCOMPARE(image.pixelColor(0, 0), QColor(0xD7, 0xD9, 0xDE));
    QCOMPARE(image.pixelColor(49, 39), QColor(0xD7, 0xD9, 0xDE));
    QCOMPARE(image.pixelColor(25, 20), QColor(Qt::white));
}

QTEST_MAIN(tst_Dialogs)
#include "tst_dialogs.moc"

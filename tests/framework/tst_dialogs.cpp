#include "core/omdialog.h"
#include "utils/omcolordialog.h"

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
    void colorSwatchSelects()
    {
        ScriptedColorDialog chooser;
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

        // "More...": a cancelled system dialog selects nothing; a chosen colour becomes the custom one.
        auto *more = chooser.findChild<QPushButton *>(QStringLiteral("moreColors"));
        more->click();
        QCOMPARE(spy.count(), 2);
        chooser.answer = QColor(1, 2, 3, 40);
        more->click();
        QCOMPARE(spy.count(), 3);
        QCOMPARE(chooser.CustomColor(), QColor(1, 2, 3, 40));
    }

    void dragInsideMovableAreaMovesTheDialog()
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
};

QTEST_MAIN(tst_Dialogs)
#include "tst_dialogs.moc"

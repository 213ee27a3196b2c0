#include "uiframework/gq_convert.h"

#include <QtTest>

class tst_GQConvert : public QObject
{
    Q_OBJECT

private slots:
    void rectangles();
    void texts();
};

// QRect(10, 20, 30, 40) covers x 10..39 and y 20..59; CCA_Rect keeps the first pixel outside.
void tst_GQConvert::rectangles()
{
    QCOMPARE(GQ_ToCARect(QRect(10, 20, 30, 40)), CCA_Rect(10, 20, 40, 60));
    QCOMPARE(GQ_ToQRect(CCA_Rect(10, 20, 40, 60)), QRect(10, 20, 30, 40));
    QCOMPARE(GQ_ToQRect(GQ_ToCARect(QRect(-5, -6, 1, 1))), QRect(-5, -6, 1, 1));
    QCOMPARE(GQ_ToQRectF(CCA_GRect(1.5f, 2, 4, 7)), QRectF(1.5, 2, 2.5, 5));
    QCOMPARE(GQ_ToCAPoint(QPoint(-3, 8)), CCA_Point(-3, 8));
    QCOMPARE(GQ_ToQPoint(CCA_Point(-3, 8)), QPoint(-3, 8));
}

void tst_GQConvert::texts()
{
    const QString text = QStringLiteral("Link \u94fe\u63a5");
    const CCA_String utf8 = GQ_ToCAS(text);
    QCOMPARE(QByteArray(utf8.c_str(), utf8.GetLength()), QByteArray("Link \xe9\x93\xbe\xe6\x8e\xa5"));
    QCOMPARE(GQ_ToQStringFromUtf8(utf8), text);
    QCOMPARE(GQ_ToQStringFromUtf8(CCA_String()), QString());
}

QTEST_APPLESS_MAIN(tst_GQConvert)
#include "tst_gqconvert.moc"

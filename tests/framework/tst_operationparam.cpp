#include "uiframework/g_operationparam.h"
#include "uiframework/gq_convert.h"

#include <QtTest>

using Adder = void (*)(G_OperationParam &);
Q_DECLARE_METATYPE(Adder)

class tst_OperationParam : public QObject
{
    Q_OBJECT

private slots:
    void typing_data()
    {
        QTest::addColumn<Adder>("add");
        QTest::addColumn<bool>("asBool");
        QTest::addColumn<int>("asInt");
        QTest::addColumn<float>("asFloat");
        QTest::addColumn<QString>("asText");

        // Defaults asked for: false, -99, -9.5 and "none".
        QTest::newRow("absent") << Adder([](G_OperationParam &) {}) << false << -99 << -9.5f << "none";
        QTest::newRow("int 12") << Adder([](G_OperationParam &p) { p.Add("k", 12); }) << true << 12 << 12.f << "12";
        QTest::newRow("int 0") << Adder([](G_OperationParam &p) { p.Add("k", 0); }) << false << 0 << 0.f << "0";
        QTest::newRow("unsigned beyond int")
            << Adder([](G_OperationParam &p) { p.Add("k", 4000000000u); }) << true << -99 << 4e9f << "4000000000";
        QTest::newRow("text 12") << Adder([](G_OperationParam &p) { p.Add("k", "12"); }) << false << 12 << 12.f
                                 << "12";
        QTest::newRow("text 1.5") << Adder([](G_OperationParam &p) { p.Add("k", QStringLiteral("1.5")); }) << false
                                  << -99 << 1.5f << "1.5";
        QTest::newRow("text abc") << Adder([](G_OperationParam &p) { p.Add("k", "abc"); }) << false << -99 << -9.5f
                                  << "abc";
        QTest::newRow("text 0x10") << Adder([](G_OperationParam &p) { p.Add("k", "0x10"); }) << false << -99 << -9.5f
                                   << "0x10";
        QTest::newRow("text true") << Adder([](G_OperationParam &p) { p.Add("k", "True"); }) << true << -99 << -9.5f
                                   << "True";
        QTest::newRow("utf-8 text") << Adder([](G_OperationParam &p) { p.Add("k", "\xc3\xbc"); }) << false << -99
                                    << -9.5f << QString(QChar(0xfc));
        QTest::newRow("bool true") << Adder([](G_OperationParam &p) { p.Add("k", true); }) << true << 1 << 1.f << "true";
        QTest::newRow("float 2.5 rounds") << Adder([](G_OperationParam &p) { p.Add("k", 2.5f); }) << true << 3 << 2.5f
                                          << "2.5";
        QTest::newRow("float 0.1 short text")
            << Adder([](G_OperationParam &p) { p.Add("k", 0.1f); }) << true << 0 << 0.1f << "0.1";
        QTest::newRow("point") << Adder([](G_OperationParam &p) { p.Add("k", CCA_Point(3, 4)); }) << false << -99
                               << -9.5f << "3,4";
    }

    void typing()
    {
        QFETCH(Adder, add);
        G_OperationParam param;
        add(param);
        QTEST(param.GetBool("k", false), "asBool");
        QTEST(param.GetInt32("k", -99), "asInt");
        QTEST(param.GetFloat("k", -9.5f), "asFloat");
        QTEST(param.GetQString("k", "none"), "asText");
    }

    void addReplaces()
    {
        G_OperationParam param;
        param.Add("pageIndex", 4);
        param.Add("pageIndex", "7");
        QCOMPARE(param.Keys(), QStringList{"pageIndex"});
        QCOMPARE(param.GetInt32("pageIndex"), 7);
        param.Remove("pageIndex");
        QVERIFY(!param.Contains("pageIndex"));
    }

    void pointsConvertBetweenKinds()
    {
        G_OperationParam param;
        param.Add("g", CCA_GPoint(1.5f, -2.25f));
        param.Add("p", CCA_Point(3, 4));
        QCOMPARE(param.GetGPoint("g"), CCA_GPoint(1.5f, -2.25f));
        QCOMPARE(param.GetGPoint("p"), CCA_GPoint(3.f, 4.f));
        QCOMPARE(param.GetPoint("g"), CCA_Point(2, -2));
        QCOMPARE(param.GetGPoint("missing", CCA_GPoint(9, 9)), CCA_GPoint(9, 9));
        param.Add("t", "1,2");
        QCOMPARE(param.GetPoint("t"), CCA_Point());
    }

    // QRect(10, 20, 30, 40) covers x 10..39 and y 20..59; CCA_Rect keeps the first pixel outside.
    void qtConversions()
    {
        QCOMPARE(GQ_ToCARect(QRect(10, 20, 30, 40)), CCA_Rect(10, 20, 40, 60));
        QCOMPARE(GQ_ToQRect(CCA_Rect(10, 20, 40, 60)), QRect(10, 20, 30, 40));
        QCOMPARE(GQ_ToQRectF(CCA_GRect(1.5f, 2, 4, 7)), QRectF(1.5, 2, 2.5, 5));
        const CCA_String utf8 = GQ_ToCAS(QStringLiteral("Link \u94fe"));
        QCOMPARE(QByteArray(utf8.c_str(), utf8.GetLength()), QByteArray("Link \xe9\x93\xbe"));
        QCOMPARE(GQ_ToQStringFromUtf8(utf8), QStringLiteral("Link \u94fe"));
    }
};

QTEST_APPLESS_MAIN(tst_OperationParam)
#include "tst_operationparam.moc"

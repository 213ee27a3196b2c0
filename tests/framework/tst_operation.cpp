#include "uiframework/g_operation.h"
#include "uiframework/g_operationinterceptor.h"
#include "uiframework/g_uicontext.h"

#include <QtTest>

#include <memory>
#include <vector>

namespace {

QStringList s_log;

class RecordingOperation : public G_Operation
{
public:
    explicit RecordingOperation(const char *name = "test_record", int result = 7) : m_name(name), m_result(result)
    {
        ++s_alive;
    }
    ~RecordingOperation() override { --s_alive; }
    G_Operation *Clone() const override
    {
        auto *copy = new RecordingOperation(m_name, m_result);
        copy->CopyFrom(*this);
        return copy;
    }
    const char *Name() const override { return m_name; }
    int DoAction() override
    {
        s_log << QStringLiteral("DoAction");
        return m_result;
    }
    static int s_alive;

private:
    const char *m_name;
    int m_result;
};
int RecordingOperation::s_alive = 0;

// Spec letters after the tag: b = BeforeDoActionHandle answers false, h = DoActionHandle
// answers false, x = DoActionHandle runs ExecuteAction itself, o = serves another operation.
class RecordingInterceptor : public G_OperationInterceptor
{
public:
    explicit RecordingInterceptor(const QString &spec) : m_tag(spec.left(1)), m_flags(spec.mid(1)) {}
    bool IsIntercept(G_Operation *operation) override
    {
        return QLatin1String(operation->Name()) == QLatin1String(m_flags.contains('o') ? "other" : "test_record");
    }
    bool BeforeDoActionHandle(G_Operation *) override
    {
        s_log << m_tag + QStringLiteral(":Before");
        return !m_flags.contains('b');
    }
    bool DoActionHandle(G_Operation *operation) override
    {
        s_log << m_tag + QStringLiteral(":Handle");
        if (m_flags.contains('x'))
            operation->ExecuteAction();
        delete m_victim;
        m_victim = nullptr;
        return !m_flags.contains('h');
    }
    void NotifyHandle(G_Operation *operation) override
    {
        s_log << m_tag + QStringLiteral(":Notify:") + QString::number(operation->Status());
    }
    G_OperationInterceptor *m_victim = nullptr;

private:
    QString m_tag;
    QString m_flags;
};

} // namespace

class tst_Operation : public QObject
{
    Q_OBJECT

private slots:
    void init() { s_log.clear(); }

    void dispatchOrder_data()
    {
        QTest::addColumn<QStringList>("interceptors");
        QTest::addColumn<bool>("direct"); // ExecuteAction instead of PerformAction
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("status");

        QTest::newRow("none") << QStringList() << false << QStringList{"DoAction"} << 7;
        QTest::newRow("one passes") << QStringList{"A"} << false
                                    << QStringList{"A:Before", "A:Handle", "DoAction", "A:Notify:7"} << 7;
        QTest::newRow("two in enlistment order")
            << QStringList{"A", "B"} << false
            << QStringList{"A:Before", "A:Handle", "B:Before", "B:Handle", "DoAction", "A:Notify:7", "B:Notify:7"} << 7;
        QTest::newRow("before false stops all")
            << QStringList{"Ab", "B"} << false << QStringList{"A:Before", "A:Notify:0", "B:Notify:0"} << 0;
        QTest::newRow("handle false stops all")
            << QStringList{"Ah", "B"} << false << QStringList{"A:Before", "A:Handle", "A:Notify:0", "B:Notify:0"} << 0;
        QTest::newRow("second handle false")
            << QStringList{"A", "Bh"} << false
            << QStringList{"A:Before", "A:Handle", "B:Before", "B:Handle", "A:Notify:0", "B:Notify:0"} << 0;
        QTest::newRow("runs it itself and answers false")
            << QStringList{"Axh"} << false << QStringList{"A:Before", "A:Handle", "DoAction", "A:Notify:7"} << 7;
        QTest::newRow("other operation's interceptor stays out")
            << QStringList{"Ao"} << false << QStringList{"DoAction"} << 7;
        QTest::newRow("ExecuteAction skips interceptors") << QStringList{"Ah"} << true << QStringList{"DoAction"} << 7;
    }

    void dispatchOrder()
    {
        QFETCH(QStringList, interceptors);
        QFETCH(bool, direct);
        QFETCH(int, status);

        std::vector<std::unique_ptr<RecordingInterceptor>> enlisted;
        for (const QString &spec : interceptors)
            enlisted.emplace_back(new RecordingInterceptor(spec));
        RecordingOperation operation;
        QCOMPARE(direct ? operation.ExecuteAction() : operation.PerformAction(), status);
        QCOMPARE(operation.Status(), status);
        QTEST(s_log, "expected");
    }

    // A stopped run reports 0, not the previous run's word.
    void stoppedRunReportsZero()
    {
        RecordingOperation operation;
        QCOMPARE(operation.ExecuteAction(), 7);
        RecordingInterceptor interceptor(QStringLiteral("Ah"));
        QCOMPARE(operation.PerformAction(), 0);
    }

    void interceptorDeletedDuringDispatch()
    {
        RecordingInterceptor first(QStringLiteral("A"));
        first.m_victim = new RecordingInterceptor(QStringLiteral("B"));
        RecordingOperation operation;
        QCOMPARE(operation.PerformAction(), 7);
        QCOMPARE(s_log, (QStringList{"A:Before", "A:Handle", "DoAction", "A:Notify:7"}));
    }

    void createByNameClonesThePrototype()
    {
        RecordingOperation prototype("test_clone");
        prototype.Param().Add(QStringLiteral("name"), QStringLiteral("proto"));
        QVERIFY(prototype.RegisterToGlobal());
        G_UIContext context;

        G_Operation *first = context.CreateOperationByName(QStringLiteral("test_clone"), QString());
        QVERIFY(first);
        QVERIFY(first != &prototype);
        QCOMPARE(first->UIContext(), &context);
        QVERIFY(!first->DocView());
        first->Param().Add(QStringLiteral("name"), QStringLiteral("changed"));

        const std::unique_ptr<G_Operation> second(context.CreateOperationByName(QStringLiteral("test_clone"), QString()));
        QCOMPARE(second->Param().GetQString(QStringLiteral("name")), QStringLiteral("proto"));
        QCOMPARE(prototype.Param().GetQString(QStringLiteral("name")), QStringLiteral("proto"));
        QVERIFY(!prototype.UIContext());
        delete first;

        QVERIFY(!context.CreateOperationByName(QStringLiteral("no_such_operation"), QString()));
    }

    void newestRegistrationServesUntilDeleted()
    {
        auto *older = new RecordingOperation("test_dup");
        auto *newer = new RecordingOperation("test_dup");
        older->RegisterToGlobal();
        newer->RegisterToGlobal();
        QCOMPARE(G_Operation::GlobalPrototype(QStringLiteral("test_dup")), newer);
        delete newer;
        QCOMPARE(G_Operation::GlobalPrototype(QStringLiteral("test_dup")), older);
        delete older;
        QVERIFY(!G_Operation::GlobalPrototype(QStringLiteral("test_dup")));
        QVERIFY(!G_Operation::GlobalNames().contains(QStringLiteral("test_dup")));
    }

    void deleteLaterWaitsForTheLoop()
    {
        const int alive = RecordingOperation::s_alive;
        auto *operation = new RecordingOperation;
        operation->DeleteLater();
        operation->DeleteLater();
        QCOMPARE(operation->PerformAction(), 7);
        auto *deletedDirectly = new RecordingOperation;
        deletedDirectly->DeleteLater();
        delete deletedDirectly; // the queued delete must not run a second time
        QCOMPARE(RecordingOperation::s_alive, alive + 1);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(RecordingOperation::s_alive, alive);

        (new RecordingOperation)->DeleteLater();
        G_Operation::FlushPendingDeletes();
        QCOMPARE(RecordingOperation::s_alive, alive);
        // Left waiting on purpose: destroying the application must delete it, or the
        // sanitizer build reports a leak.
        (new RecordingOperation)->DeleteLater();
    }
};

QTEST_MAIN(tst_Operation)
#include "tst_operation.moc"

#include "uiframework/g_actionhandler.h"
#include "uiframework/g_contextmenu.h"
#include "uiframework/g_event.h"
#include "uiframework/g_hostoperations.h"

#include "omofdapi/g_action.h"

#include "testoperation.h"
#include "viewfixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

class CountedEvent : public G_Event
{
public:
    explicit CountedEvent(bool *deleted) : G_Event(G_Event_DocumentChanged), m_deleted(deleted) {}
    ~CountedEvent() override { *m_deleted = true; }

private:
    bool *m_deleted;
};

// Picks an item by operation name instead of showing the popup.
class PickingMenu : public G_ContextMenu
{
public:
    using G_ContextMenu::G_ContextMenu;
    QString pick;
    QStringList shown; // "name enabled visible"

protected:
    QAction *ExecMenu(QMenu *menu, const QPoint &) override
    {
        QAction *picked = nullptr;
        for (QAction *action : menu->actions()) {
            shown << (action->isSeparator() ? QStringLiteral("-")
                                            : QStringLiteral("%1 %2 %3")
                                                  .arg(action->objectName())
                                                  .arg(action->isEnabled())
                                                  .arg(action->isVisible()));
            if (action->objectName() == pick)
                picked = action;
        }
        return picked;
    }
};

class RecordingActionHandler : public G_ActionHandler
{
public:
    using G_ActionHandler::G_ActionHandler;
    QList<QUrl> opened;

protected:
    bool OpenUrl(const QUrl &url) override
    {
        opened << url;
        return true;
    }
};

CCA_ArrayTemplate<G_Action *> OneAction(G_Action *action)
{
    CCA_ArrayTemplate<G_Action *> actions;
    actions.Add(action);
    return actions;
}

} // namespace

class tst_UIContext : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        G_RegisterHostOperations();
    }

    void fireEventDispatchesThenDeletes()
    {
        G_UIContext context;
        QList<int> seen;
        bool deletedWhileListening = true;
        bool deleted = false;
        int second = 0;
        const int first = context.EventMgr()->AddListener([&](const G_Event &event) {
            seen << event.Type();
            deletedWhileListening = deleted;
            context.EventMgr()->RemoveListener(second); // removed listeners hear nothing more
        });
        second = context.EventMgr()->AddListener([&](const G_Event &) { seen << -1; });
        context.FireEvent(new CountedEvent(&deleted));
        QCOMPARE(seen, QList<int>{110});
        QVERIFY(!deletedWhileListening);
        QVERIFY(deleted);
        context.EventMgr()->RemoveListener(first);
        context.FireEvent(nullptr);
        QCOMPARE(seen.size(), 1);
    }

    void messageBoxHonoursTextsAndSize()
    {
        G_UIContext context;
        QStringList texts;
        QSize size;
        QString defaultText;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            QCoreApplication::processEvents();
            texts << box->button(QMessageBox::Ok)->text() << box->button(QMessageBox::Cancel)->text();
            size = box->size();
            defaultText = box->defaultButton()->text();
            box->button(QMessageBox::Cancel)->click();
        });
        const int answer = context.ShowMessageBox("title", "text", QMessageBox::Cancel | QMessageBox::Ok,
                                                  QMessageBox::Ok, {"Go", "Stay"}, QSize(420, 180));
        QCOMPARE(answer, int(QMessageBox::Cancel));
        // Texts follow the buttons' standard values: Ok (0x400) before Cancel (0x400000).
        QCOMPARE(texts, (QStringList{"Go", "Stay"}));
        QCOMPARE(defaultText, QStringLiteral("Go"));
        QCOMPARE(size, QSize(420, 180));
    }

    void contextMenuRunsPickedOperation()
    {
        QByteArray received;
        TestOperation prototype("d_annotlinkcopy", [&received](G_Operation &operation) {
            received = operation.ListenerParamsJson();
            return 1;
        });
        prototype.RegisterToGlobal();
        G_UIContext context;
        auto *menu = new PickingMenu(&context);
        context.SetContextMenu(menu);
        menu->pick = QStringLiteral("d_annotlinkcopy");

        QHash<QString, G_MenuItemState> states;
        states["d_annotlinkpaste"].flags = G_MenuItemState::Visible;
        states["d_annotlinkdel"].flags = G_MenuItemState::Enabled; // hidden, and so disabled as well
        auto *params = new G_OperationParam;
        params->Add("pageIndex", 2);
        params->Add("edit", true);
        QCOMPARE(context.ContextMenu()->PopupMenu("annotlinkmenu", states, params), QStringLiteral("d_annotlinkcopy"));
        QCOMPARE(menu->shown, (QStringList{"d_annotlinkcopy 1 1", "d_annotlinkcut 1 1", "d_annotlinkpaste 0 1",
                                           "d_annotlinkdel 0 0", "-", "d_annotlinkproperty 1 1"}));
        QCOMPARE(received, QByteArray(R"({"edit":true,"pageIndex":2})"));

        // A disabled item does not run; an unknown menu shows nothing. Both free the parameters.
        received.clear();
        states["d_annotlinkcopy"].flags = G_MenuItemState::Visible;
        QCOMPARE(menu->PopupMenu("annotlinkmenu", states, new G_OperationParam), QString());
        QVERIFY(received.isEmpty());
        menu->shown.clear();
        QCOMPARE(menu->PopupMenu("nosuchmenu", states, new G_OperationParam), QString());
        QVERIFY(menu->shown.isEmpty());
        QCoreApplication::sendPostedEvents();
    }

    void uriText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("url"); // empty: refused

        QTest::newRow("http") << "http://a.example/x?q=1" << "http://a.example/x?q=1";
        QTest::newRow("https trimmed") << "  https://a.example/ " << "https://a.example/";
        QTest::newRow("bare host") << "www.example.com" << "http://www.example.com";
        QTest::newRow("host and port") << "example.com:8080/a" << "http://example.com:8080/a";
        QTest::newRow("mailto") << "mailto:someone@example.com" << "mailto:someone@example.com";
        QTest::newRow("ftp") << "ftp://files.example/f.txt" << "ftp://files.example/f.txt";
        QTest::newRow("file document") << "file:///tmp/none/report.pdf" << "file:///tmp/none/report.pdf";
        QTest::newRow("file script") << "file:///tmp/none/run.sh" << "";
        QTest::newRow("file on localhost") << "file://localhost/tmp/none/a.pdf" << "file:///tmp/none/a.pdf";
        QTest::newRow("file on another host") << "file://server/share/a.pdf" << "";
        QTest::newRow("mailto fields kept, attach dropped")
            << "mailto:a@example.com?subject=Hi&ATTACH=/etc/passwd&cc=b@example.com&body=x"
            << "mailto:a@example.com?subject=Hi&cc=b@example.com&body=x";
        QTest::newRow("mailto, attach only") << "mailto:a@example.com?attachment=%2Fetc%2Fpasswd" << "mailto:a@example.com";
        QTest::newRow("javascript") << "javascript:alert(1)" << "";
        QTest::newRow("smb") << "smb://server/share" << "";
        QTest::newRow("spaces") << "two words" << "";
        QTest::newRow("empty") << "" << "";
    }

    void uriText()
    {
        QFETCH(QString, text);
        const QUrl result = G_ActionHandler::UrlFromURIText(text);
        QTEST(result.isValid() ? result.toString() : QString(), "url");
    }

    void openableFileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("openable");
        QTest::newRow("document") << "report.pdf" << true;
        QTest::newRow("two suffixes") << "archive.tar.gz" << true;
        QTest::newRow("no suffix") << "README" << true;
        QTest::newRow("upper case") << "setup.EXE" << false;
        QTest::newRow("trailing dot") << "setup.exe." << false;
        QTest::newRow("trailing dots and spaces") << "setup.exe . . " << false;
        QTest::newRow("zero-width space") << QString("setup.ex\u200be") << false;
        QTest::newRow("control character") << QString("setup.ex\u0001e") << false;
        QTest::newRow("turned around") << QString("report\u202efdp.exe") << false;
        QTest::newRow("backslash path") << "C:\\docs\\run.BAT" << false;
        QTest::newRow("suffix with a hyphen") << "file.library-ms" << false;
    }

    void openableFileNames()
    {
        QFETCH(QString, name);
        QTEST(G_ActionHandler::IsOpenableFileName(name), "openable");
    }

    // A file: link opens only a regular local file, and only when the user says so.
    void localFileLinks_data()
    {
        QTest::addColumn<QString>("target"); // "" is the test's regular file
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("opened");
        QTest::newRow("regular file, opened") << "" << int(QMessageBox::Open) << true << true;
        QTest::newRow("regular file, cancelled") << "" << int(QMessageBox::Cancel) << true << false;
        QTest::newRow("missing") << "missing.pdf" << int(QMessageBox::Open) << false << false;
        QTest::newRow("directory") << "." << int(QMessageBox::Open) << false << false;
        QTest::newRow("executable") << "tool.dat" << int(QMessageBox::Open) << false << false;
        QTest::newRow("kernel file") << "/proc/self/status" << int(QMessageBox::Open) << false << false;
        QTest::newRow("device") << "/dev/null" << int(QMessageBox::Open) << false << false;
        QTest::newRow("link to a kernel file") << "status-link.txt" << int(QMessageBox::Open) << false << false;
    }

    void localFileLinks()
    {
        QFETCH(QString, target);
        QFETCH(int, answer);
        QTemporaryDir dir;
        const QString regular = dir.filePath("report.txt");
        QFile file(regular);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QFile tool(dir.filePath("tool.dat"));
        QVERIFY(tool.open(QIODevice::WriteOnly));
        tool.setPermissions(tool.permissions() | QFileDevice::ExeOwner);
        QVERIFY(QFile::link("/proc/self/status", dir.filePath("status-link.txt")));
        const QString path = target.isEmpty() ? regular : target.startsWith('/') ? target : dir.filePath(target);

        AnsweringContext context;
        context.answer = answer;
        auto *handler = new RecordingActionHandler(&context);
        context.SetActionHandler(handler);
        G_ActionURI action;
        action.SetURI(QUrl::fromLocalFile(path).toString().toUtf8().constData());
        QFETCH(bool, opened);
        QCOMPARE(handler->DoActions(OneAction(&action), nullptr, 3), int(opened));
        QCOMPARE(handler->opened, opened ? QList<QUrl>{QUrl::fromLocalFile(regular)} : QList<QUrl>());
        QTEST(!context.shown.isEmpty(), "asked");
        if (!context.shown.isEmpty())
            QVERIFY2(context.shown[1].contains(QDir::toNativeSeparators(regular)), qPrintable(context.shown[1]));
    }

    // Attachments and media go to a new file in a private folder and are opened; programs never are.
    void embeddedFilesAreWrittenAndOpened()
    {
        ViewFixture f(1);
        const uint32_t notes = f.AddAttachment("../notes.txt", "", true, "hello");
        const uint32_t script = f.AddAttachment("setup.SH", "", true, "#!/bin/sh\n");
        // A name without an extension is opened with its format as one.
        const uint32_t readme = f.AddAttachment("readme", "TXT", true, "read me");
        const uint32_t mediaID = f.AddMedium(G_MultiMedia_Audio, "Doc_0/Res/bell.mp3", "ID3");
        G_UIContext &context = f.context;
        auto *handler = new RecordingActionHandler(&context);
        context.SetActionHandler(handler);
        G_ActionGotoA openNotes, openScript, openMissing, openReadme;
        openNotes.SetAttachID(notes);
        openReadme.SetAttachID(readme);
        openScript.SetAttachID(script);
        openMissing.SetAttachID(script + 100);
        G_ActionSound sound;
        sound.SetResourceID(mediaID);
        G_ActionMovie stop;
        stop.SetResourceID(mediaID);
        stop.SetOperator(G_ActionMovie::Stop);
        CCA_ArrayTemplate<G_Action *> actions;
        for (G_Action *action : std::initializer_list<G_Action *>{&openMissing, &openScript, &openNotes, &stop, &sound, &openReadme})
            actions.Add(action);
        QCOMPARE(context.ActionHandler()->DoActions(actions, f.document.get(), 3), 3);

        const QString folder = handler->EmbeddedFolder();
        QVERIFY(!folder.isEmpty());
        QVERIFY2(!folder.startsWith(QStandardPaths::writableLocation(QStandardPaths::TempLocation) + '/'), qPrintable(folder));
        // Owner only: rwx for the folder, rw for the file.
        QCOMPARE(int(QFileInfo(folder).permissions() & 0x7077), 0x7000);
        QCOMPARE(handler->opened, (QList<QUrl>{QUrl::fromLocalFile(folder + "/notes.txt"),
                                               QUrl::fromLocalFile(folder + "/bell.mp3"),
                                               QUrl::fromLocalFile(folder + "/readme.txt")}));
        QFile written(folder + "/notes.txt");
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), QByteArray("hello"));
        QCOMPARE(int(written.permissions() & 0x7077), 0x6000);
        QVERIFY(!QFile::exists(folder + "/setup.SH"));

        // A name already taken, even by a planted link, is never written through.
        QTemporaryDir outside;
        const QString victim = outside.filePath("victim.txt");
        QVERIFY(QFile::link(victim, folder + "/notes (2).txt"));
        handler->opened.clear();
        QCOMPARE(context.ActionHandler()->DoActions(OneAction(&openNotes), f.document.get(), 3), 1);
        QCOMPARE(handler->opened, QList<QUrl>{QUrl::fromLocalFile(folder + "/notes (3).txt")});
        QVERIFY(!QFile::exists(victim));

        context.SetActionHandler(new RecordingActionHandler(&context));
        QVERIFY2(!QFileInfo::exists(folder), "the private folder outlived its handler");
    }
};

QTEST_MAIN(tst_UIContext)
#include "tst_uicontext.moc"

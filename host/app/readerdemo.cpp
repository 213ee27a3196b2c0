#include "readerdemo.h"

#include "readerwindow.h"

#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_document.h"
#include "omofdapi/ig_page.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_runoperation.h"
#include "uiframework/g_toolhandler.h"
#include "utils/omcolordialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {

const int kPollMs = 10;
// A dialog that never lets its OK be clicked is given up after this many polls.
const int kMaxPolls = 1000;

// Around the title and three lines of the sample's first page, each line 9 mm below the last.
const float kLeft = 23, kRight = 187;

} // namespace

ReaderDemo::ReaderDemo(ReaderWindow *window, const QString &outputFolder)
    : m_window(window), m_folder(QDir(outputFolder).absolutePath())
{
}

bool ReaderDemo::Run()
{
    if (!QDir().mkpath(m_folder))
        return Fail(tr("cannot make the folder %1").arg(m_folder));
    Settle();
    if (!View() || View()->PageCount() < 3)
        return Fail(tr("the sample document is not there"));
    Say(tr("opened the sample document, links on page 1: %1").arg(LinkCount()));

    if (!SwitchTool(QStringLiteral("ga_link")))
        return Fail(tr("the link tool is missing: is the annotlink plug-in built?"));

    const QList<DemoLink> links = {
        {kLeft, 23.5f, kRight, 36, 0, QStringLiteral("3"), 0, 0, QColor(20, 168, 240)},
        {kLeft, 44.2f, kRight, 52, 1, QStringLiteral("https://example.org/"), 1, 0, QColor(230, 80, 30)},
        {kLeft, 53.2f, kRight, 61, 2, QStringLiteral("readme.txt"), 0, 1, QColor(40, 160, 80)},
        {kLeft, 71.2f, kRight, 79, 3, QStringLiteral("chime.wav"), 0, 3, QColor(150, 60, 200)},
    };
    for (const DemoLink &link : links) {
        if (!MakeLink(link))
            return false;
    }

    const QString path = QDir(m_folder).filePath(QStringLiteral("demo.ofd"));
    if (!m_window->SaveTo(path))
        return Fail(tr("could not save %1").arg(path));
    Say(tr("saved %1").arg(path));
    if (!m_window->OpenFile(path, true))
        return Fail(tr("could not reopen %1").arg(path));
    Settle();
    Say(tr("reopened %1, links on page 1: %2").arg(path).arg(LinkCount()));

    if (!FollowGoToLink(links.first()))
        return false;

    QImage page(View()->PageRect(0).size(), QImage::Format_ARGB32_Premultiplied);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        painter.translate(-View()->PageRect(0).topLeft());
        View()->PaintPageItem(&painter, View()->PageItems().value(0));
    }
    const QString picture = QDir(m_folder).filePath(QStringLiteral("page-1.png"));
    if (!page.save(picture))
        return Fail(tr("could not write %1").arg(picture));
    Say(tr("wrote %1").arg(picture));
    const QString window = QDir(m_folder).filePath(QStringLiteral("reader.png"));
    if (!m_window->grab().save(window))
        return Fail(tr("could not write %1").arg(window));
    Say(tr("wrote %1").arg(window));
    return true;
}

// The link tool hands the dragged rectangle to the property dialog, which runs modally
// inside the release: a timer answers it from within its own event loop.
bool ReaderDemo::MakeLink(const DemoLink &link)
{
    const int before = LinkCount();
    bool filled = false;
    int polls = 0;
    QTimer answer;
    answer.setInterval(kPollMs);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->findChild<QComboBox *>(QStringLiteral("actionCombo")))
            return;
        if (!filled) {
            FillDialog(dialog, link);
            filled = true;
        }
        auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("okButton"));
        auto *cancel = dialog->findChild<QPushButton *>(QStringLiteral("cancelButton"));
        if (ok && ok->isEnabled())
            ok->click();
        else if (++polls > kMaxPolls && cancel)
            cancel->click();
    });
    answer.start();
    const QPoint from = ViewportPoint(link.left, link.top);
    const QPoint to = ViewportPoint(link.right, link.bottom);
    Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
    Mouse(QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    Mouse(QEvent::MouseMove, to, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
    answer.stop();

    if (LinkCount() != before + 1)
        return Fail(tr("the link tool made no link for \"%1\"").arg(link.target));
    static const char *const kinds[] = {QT_TR_NOOP("go to page %1"), QT_TR_NOOP("open the web page %1"),
                                        QT_TR_NOOP("open the attachment %1"), QT_TR_NOOP("play %1")};
    Say(tr("made a link with the link tool: %1").arg(tr(kinds[link.action]).arg(link.target)));
    return true;
}

// Sets the dialog's widgets as a user would, the colour through its colour chooser.
void ReaderDemo::FillDialog(QWidget *dialog, const DemoLink &link)
{
    if (auto *boundary = dialog->findChild<QComboBox *>(QStringLiteral("boundaryCombo")))
        boundary->setCurrentIndex(link.boundary);
    if (auto *lineType = dialog->findChild<QComboBox *>(QStringLiteral("lineTypeCombo")))
        lineType->setCurrentIndex(link.lineType);
    if (auto *colorButton = dialog->findChild<QPushButton *>(QStringLiteral("colorButton"))) {
        colorButton->click();
        if (auto *chooser = dialog->findChild<Utils::OMColorDialog *>())
            chooser->Select(link.color);
    }
    if (auto *action = dialog->findChild<QComboBox *>(QStringLiteral("actionCombo")))
        action->setCurrentIndex(link.action);
    switch (link.action) {
    case 0:
        if (auto *page = dialog->findChild<QLineEdit *>(QStringLiteral("pageEdit")))
            page->setText(link.target);
        break;
    case 1:
        if (auto *address = dialog->findChild<QLineEdit *>(QStringLiteral("urlEdit")))
            address->setText(link.target);
        break;
    default: {
        const QString name = link.action == 2 ? QStringLiteral("attachmentCombo") : QStringLiteral("mediaCombo");
        if (auto *list = dialog->findChild<QComboBox *>(name))
            list->setCurrentIndex(list->findText(link.target));
        break;
    }
    }
}

bool ReaderDemo::FollowGoToLink(const DemoLink &link)
{
    if (!SwitchTool(QStringLiteral("t_handtool")))
        return Fail(tr("the hand tool is missing"));
    View()->GoToPage(0);
    const QPoint centre = ViewportPoint((link.left + link.right) / 2, (link.top + link.bottom) / 2);
    Mouse(QEvent::MouseMove, centre, Qt::NoButton);
    Mouse(QEvent::MouseButtonPress, centre, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, centre, Qt::NoButton);
    const int page = View()->CurrentPageIndex() + 1;
    if (QString::number(page) != link.target)
        return Fail(tr("following the go-to link showed page %1").arg(page));
    Say(tr("followed the go-to link with the hand tool: page %1").arg(page));

    QKeyEvent back(QEvent::KeyPress, Qt::Key_Left, Qt::AltModifier);
    QApplication::sendEvent(View(), &back);
    Settle();
    Say(tr("went back with Alt+Left: page %1").arg(View()->CurrentPageIndex() + 1));
    return true;
}

// Through the tool's operation, as the reader's button does; the view alone if there is none.
bool ReaderDemo::SwitchTool(const QString &name) const
{
    if (!RunOperation(m_window->UIContext(), name))
        View()->SetCurrentToolHandler(name);
    const G_ToolHandler *tool = View()->CurrentToolHandler();
    return tool && QString::fromUtf8(tool->Name().c_str()) == name;
}

int ReaderDemo::LinkCount() const
{
    IG_Document *document = View() ? View()->GDocument() : nullptr;
    IG_Page *page = document ? document->GetPage(0) : nullptr;
    if (!page)
        return 0;
    if (!page->IsAnnotsLoaded())
        page->LoadAnnots();
    int count = 0;
    for (int i = 0; i < page->AnnotCount(); ++i) {
        if (page->AnnotAt(i) && page->AnnotAt(i)->Type() == G_AnnotType_Link)
            ++count;
    }
    return count;
}

// A new view is shown, laid out and fitted to the window by queued events.
void ReaderDemo::Settle() const
{
    QApplication::sendPostedEvents();
    QApplication::processEvents();
}

G_DocView *ReaderDemo::View() const
{
    return m_window->DocView();
}

QPoint ReaderDemo::ViewportPoint(float x, float y) const
{
    const CCA_Point scene = View()->ScenePointFromDocPoint(CCA_GPoint(x, y), 0);
    return View()->mapFromScene(QPointF(scene.x, scene.y));
}

// Sent straight to the view, as the window system would deliver them.
void ReaderDemo::Mouse(int type, const QPoint &at, Qt::MouseButtons held) const
{
    QWidget *viewport = View()->viewport();
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(QEvent::Type(type), at, viewport->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

void ReaderDemo::Say(const QString &line) const
{
    std::printf("demo: %s\n", qPrintable(line));
    std::fflush(stdout);
}

bool ReaderDemo::Fail(const QString &reason) const
{
    std::fprintf(stderr, "demo: failed: %s\n", qPrintable(reason));
    return false;
}

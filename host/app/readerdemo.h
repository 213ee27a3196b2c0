#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QPoint>
#include <QString>

class G_DocView;
class QWidget;
class ReaderWindow;

// What the reader does, shown without a display: one link of each action kind made with
// the link tool and its dialog as a user makes it, the document saved and reopened, the
// go-to link followed with the hand tool, and the first page drawn into a picture.
class ReaderDemo
{
    Q_DECLARE_TR_FUNCTIONS(ReaderDemo)
public:
    ReaderDemo(ReaderWindow *window, const QString &outputFolder);
    // Runs every step, saying each on the standard output; false once a step failed.
    bool Run();

private:
    // A link the demo makes: where on the first page, what it does, how it looks.
    struct DemoLink
    {
        float left, top, right, bottom; // millimetres
        int action;                     // index in the dialog's action list
        QString target;                 // page number, address, attachment or file name
        int boundary;
        int lineType;
        QColor color;
    };

    bool MakeLink(const DemoLink &link);
    static void FillDialog(QWidget *dialog, const DemoLink &link);
    bool FollowGoToLink(const DemoLink &link);
    int LinkCount() const;
    G_DocView *View() const;
    QPoint ViewportPoint(float x, float y) const;
    void Mouse(int type, const QPoint &at, Qt::MouseButtons held) const;
    bool SwitchTool(const QString &name) const;
    void Settle() const;
    void Say(const QString &line) const;
    bool Fail(const QString &reason) const;

    ReaderWindow *m_window;
    QString m_folder;
};

#pragma once

#include <QApplication>

// The reader's application object: running out of memory in one event handler is reported
// and that event dropped, instead of ending the reader.
class ReaderApplication : public QApplication
{
public:
    ReaderApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

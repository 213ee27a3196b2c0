#include "readerapplication.h"

#include <new>

ReaderApplication::ReaderApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool ReaderApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc &) {
        qCritical("ofdreader: out of memory while handling an event; the event was dropped");
        return false;
    }
}

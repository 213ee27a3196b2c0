#include "omofdapi/ofd_sampledocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

// Writes the reader's sample document: ofdsample OUTPUT.ofd
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: ofdsample OUTPUT.ofd\n");
        return 2;
    }
    const QString target = arguments.at(1);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QString error;
    if (!OFD_SampleDocument::Write(target, &error)) {
        std::fprintf(stderr, "ofdsample: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

#pragma once

#include "ombase/cca_array.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

class G_Action;
class G_UIContext;
class IG_Document;

// Runs actions: go to a page in the current view, open a web address, open an attachment
// or play a medium with the desktop's handler. Nothing is ever executed: addresses are
// limited to http, https, mailto, ftp and file, and embedded files of executable kinds
// are refused.
class G_ActionHandler
{
public:
    explicit G_ActionHandler(G_UIContext *context) : m_context(context) {}
    virtual ~G_ActionHandler() = default;
    // Answers how many actions ran.
    virtual int DoActions(const CCA_ArrayTemplate<G_Action *> &actions, IG_Document *document, int eventType);

    // The address an URI action opens, or an invalid URL when it is refused. A text without
    // a scheme ("www.example.com", "example.com:8080/a") is taken as a web address.
    static QUrl UrlFromURIText(const QString &text);
    // Whether a file of this name may be handed to the desktop (not a program or script).
    static bool IsOpenableFileName(const QString &fileName);
    // Folder under the temporary location where attachments and media are written.
    static QString TempFolder();

protected:
    virtual bool DoAction(G_Action *action, IG_Document *document);
    // Hands the address to the desktop; overridden where nothing may be launched.
    virtual bool OpenUrl(const QUrl &url);
    // Writes embedded bytes to the temporary folder and opens the file.
    bool OpenEmbeddedFile(const QString &fileName, const QByteArray &data);
    G_UIContext *m_context;
};

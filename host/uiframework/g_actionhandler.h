#pragma once

#include "ombase/cca_array.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <memory>

class G_Action;
class G_UIContext;
class IG_Document;
class QTemporaryDir;

// Runs actions: go to a page in the current view, open a web address, open an attachment
// or play a medium with the desktop's handler. Nothing is ever executed: addresses are
// limited to http, https, mailto, ftp and file, a local file is opened only when the user
// agrees, and files of executable kinds are refused.
class G_ActionHandler
{
public:
    explicit G_ActionHandler(G_UIContext *context);
    virtual ~G_ActionHandler();
    G_ActionHandler(const G_ActionHandler &) = delete;
    G_ActionHandler &operator=(const G_ActionHandler &) = delete;
    // Answers how many actions ran.
    virtual int DoActions(const CCA_ArrayTemplate<G_Action *> &actions, IG_Document *document, int eventType);

    // The address an URI action opens, or an invalid URL when it is refused. A text without
    // a scheme ("www.example.com", "example.com:8080/a") is taken as a web address; a file
    // address must name this machine; mailto keeps only to, cc, bcc, subject and body.
    static QUrl UrlFromURIText(const QString &text);
    // Whether a file of this name may be handed to the desktop (not a program or script).
    static bool IsOpenableFileName(const QString &fileName);
    // Whether a local path is an existing regular file outside the kernel's and devices'
    // trees that may be opened.
    static bool IsOpenableLocalFile(const QString &path);
    // This handler's private folder for attachments and media, created on first use and
    // removed with the handler; empty when it cannot be made.
    QString EmbeddedFolder();

protected:
    virtual bool DoAction(G_Action *action, IG_Document *document);
    // Hands the address to the desktop; overridden where nothing may be launched.
    virtual bool OpenUrl(const QUrl &url);
    // Writes embedded bytes to a new file of the private folder and opens it.
    bool OpenEmbeddedFile(const QString &fileName, const QByteArray &data);
    // Asks the user before a local file is opened.
    bool OpenLocalFile(const QUrl &url);
    G_UIContext *m_context;

private:
    std::unique_ptr<QTemporaryDir> m_embedded;
};

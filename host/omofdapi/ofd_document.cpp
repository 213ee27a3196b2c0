#include "ofd_document.h"

#include "ofd_color.h"
#include "ofd_documentcontext.h"
#include "ofd_page.h"
#include "ofd_pageloader.h"

#include <QRandomGenerator>

#include <atomic>

namespace {
// Tells apart documents in one process, even two opened from the same file.
std::atomic<quint64> g_documentSerial{0};

// Unguessable and different in every process, so that a clipboard record written by another
// process never names one of ours.
QString ProcessToken()
{
    static const QString token = [] {
        quint32 words[4];
        QRandomGenerator::system()->fillRange(words);
        QString text;
        for (quint32 word : words)
            text += QStringLiteral("%1").arg(word, 8, 16, QLatin1Char('0'));
        return text;
    }();
    return token;
}

// Bytes provided lazily are fetched once and kept.
template <class Entry>
QByteArray EntryData(const Entry &entry)
{
    if (entry.provider) {
        entry.data = entry.provider();
        entry.provider = nullptr;
    }
    return entry.data;
}
}

OFD_Document::OFD_Document()
    : m_context(std::make_shared<OFD_DocumentContext>())
    , m_key(QStringLiteral("ofd:%1:%2").arg(ProcessToken()).arg(++g_documentSerial).toUtf8().toStdString())
{
}

OFD_Document::~OFD_Document()
{
    m_context->SetClosing();
}

std::unique_ptr<OFD_Document> OFD_Document::CreateBlank(int pageCount, float widthMM, float heightMM)
{
    auto document = std::make_unique<OFD_Document>();
    for (int i = 0; i < pageCount; ++i)
        document->AddPage(CCA_GRect(0, 0, widthMM, heightMM));
    document->SetModified(false);
    return document;
}

IG_Page *OFD_Document::GetPage(int index) const
{
    return Page(index);
}

OFD_Page *OFD_Document::Page(int index) const
{
    if (index < 0 || index >= int(m_pages.size()))
        return nullptr;
    return m_pages[size_t(index)].get();
}

uint32_t OFD_Document::GetPageID(int index) const
{
    const OFD_Page *page = Page(index);
    return page ? page->ID() : 0;
}

int OFD_Document::PageIndexByID(uint32_t id) const
{
    for (size_t i = 0; i < m_pages.size(); ++i)
        if (m_pages[i]->ID() == id)
            return int(i);
    return -1;
}

int OFD_Document::PageIndexOf(const OFD_Page *page) const
{
    for (size_t i = 0; i < m_pages.size(); ++i)
        if (m_pages[i].get() == page)
            return int(i);
    return -1;
}

OFD_Page *OFD_Document::AddPage(const CCA_GRect &box, uint32_t id, int index)
{
    if (id == 0)
        id = m_context->NewID();
    else
        m_context->NoteID(id);
    auto page = std::make_unique<OFD_Page>(this, id, box);
    OFD_Page *raw = page.get();
    if (index < 0 || index >= int(m_pages.size()))
        m_pages.push_back(std::move(page));
    else
        m_pages.insert(m_pages.begin() + index, std::move(page));
    m_context->Touch();
    return raw;
}

IG_Color *OFD_Document::CreateColor() const
{
    return new OFD_Color();
}

CCA_String OFD_Document::DocumentKey() const
{
    return m_key;
}

bool OFD_Document::AttachmentInfo(int index, G_AttachmentInfo &info) const
{
    if (index < 0 || index >= int(m_attachments.size()))
        return false;
    info = m_attachments[size_t(index)].info;
    return true;
}

int OFD_Document::AttachmentIndexByID(uint32_t id) const
{
    for (size_t i = 0; i < m_attachments.size(); ++i)
        if (m_attachments[i].info.id == id)
            return int(i);
    return -1;
}

QByteArray OFD_Document::AttachmentData(int index) const
{
    if (index < 0 || index >= int(m_attachments.size()))
        return QByteArray();
    return EntryData(m_attachments[size_t(index)]);
}

int OFD_Document::AddAttachmentEntry(Attachment entry)
{
    if (entry.info.id == 0)
        entry.info.id = m_context->NewID();
    else if (AttachmentIndexByID(entry.info.id) >= 0)
        return -1;
    if (entry.info.id == 0)
        return -1;
    m_context->NoteID(entry.info.id);
    m_attachments.push_back(std::move(entry));
    m_context->Touch();
    return int(m_attachments.size()) - 1;
}

int OFD_Document::AddAttachment(const G_AttachmentInfo &info, const QByteArray &data)
{
    Attachment entry;
    entry.info = info;
    entry.data = data;
    return AddAttachmentEntry(std::move(entry));
}

int OFD_Document::AddLazyAttachment(const G_AttachmentInfo &info, std::function<QByteArray()> provider)
{
    Attachment entry;
    entry.info = info;
    entry.provider = std::move(provider);
    return AddAttachmentEntry(std::move(entry));
}

uint32_t OFD_Document::MultiMediaIDByIndex(int index) const
{
    if (index < 0 || index >= int(m_media.size()))
        return 0;
    return m_media[size_t(index)].id;
}

int OFD_Document::MediaIndexByID(uint32_t id) const
{
    for (size_t i = 0; i < m_media.size(); ++i)
        if (m_media[i].id == id)
            return int(i);
    return -1;
}

bool OFD_Document::MultiMediaInfo(uint32_t id, G_MultiMediaInfo &info) const
{
    const int index = MediaIndexByID(id);
    if (index < 0)
        return false;
    info = m_media[size_t(index)].info;
    return true;
}

QByteArray OFD_Document::MultiMediaData(uint32_t id) const
{
    const int index = MediaIndexByID(id);
    if (index < 0)
        return QByteArray();
    return EntryData(m_media[size_t(index)]);
}

uint32_t OFD_Document::AddMediaEntry(Media entry)
{
    if (entry.id == 0)
        entry.id = m_context->NewID();
    else if (MediaIndexByID(entry.id) >= 0)
        return 0;
    if (entry.id == 0)
        return 0;
    m_context->NoteID(entry.id);
    const uint32_t id = entry.id;
    m_media.push_back(std::move(entry));
    m_context->Touch();
    return id;
}

uint32_t OFD_Document::AddMultiMedia(uint32_t id, const G_MultiMediaInfo &info, const QByteArray &data)
{
    Media entry;
    entry.id = id;
    entry.info = info;
    entry.data = data;
    return AddMediaEntry(std::move(entry));
}

uint32_t OFD_Document::AddLazyMultiMedia(uint32_t id, const G_MultiMediaInfo &info,
                                         std::function<QByteArray()> provider)
{
    Media entry;
    entry.id = id;
    entry.info = info;
    entry.provider = std::move(provider);
    return AddMediaEntry(std::move(entry));
}

uint32_t OFD_Document::NewID()
{
    return m_context->NewID();
}

void OFD_Document::NoteID(uint32_t id)
{
    m_context->NoteID(id);
}

uint32_t OFD_Document::MaxID() const
{
    return m_context->MaxID();
}

bool OFD_Document::IsModified() const
{
    return m_context->IsModified();
}

void OFD_Document::SetModified(bool modified)
{
    m_context->SetModified(modified);
}

void OFD_Document::SetPageLoader(std::unique_ptr<OFD_PageLoader> loader)
{
    m_loader = std::move(loader);
}

int OFD_Document::RetiredActionCount() const
{
    return m_context->RetiredActionCount();
}

#pragma once

#include "ig_document.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class OFD_DocumentContext;
class OFD_Page;
class OFD_PageLoader;

// The in-memory OFD document. A package reader fills it through the setters below and
// may supply page content lazily through an OFD_PageLoader.
class OFD_Document : public IG_Document
{
public:
    OFD_Document();
    ~OFD_Document() override;
    OFD_Document(const OFD_Document &) = delete;
    OFD_Document &operator=(const OFD_Document &) = delete;

    // `pageCount` empty pages of the given size, parsed and with their annotations loaded.
    static std::unique_ptr<OFD_Document> CreateBlank(int pageCount, float widthMM, float heightMM);

    int PageCount() const override { return int(m_pages.size()); }
    IG_Page *GetPage(int index) const override;
    OFD_Page *Page(int index) const;
    uint32_t GetPageID(int index) const override;
    int PageIndexByID(uint32_t id) const override;
    int PageIndexOf(const OFD_Page *page) const;
    // A page with `box`; `id` 0 takes a fresh one; `index` -1 appends.
    OFD_Page *AddPage(const CCA_GRect &box, uint32_t id = 0, int index = -1);

    IG_Color *CreateColor() const override;
    CCA_String DocumentKey() const override;
    QString FilePath() const { return m_filePath; }
    // Where the document was read from or last saved to.
    void SetFilePath(const QString &path) { m_filePath = path; }

    int AttachmentCount() const override { return int(m_attachments.size()); }
    bool AttachmentInfo(int index, G_AttachmentInfo &info) const override;
    int AttachmentIndexByID(uint32_t id) const override;
    QByteArray AttachmentData(int index) const override;
    // `info.id` 0 takes a fresh ID. Answers the new attachment's index, -1 when an
    // attachment already has that ID.
    int AddAttachment(const G_AttachmentInfo &info, const QByteArray &data);
    // The bytes are read through `provider` when first asked for.
    int AddLazyAttachment(const G_AttachmentInfo &info, std::function<QByteArray()> provider);

    int MultiMediaCount() const override { return int(m_media.size()); }
    uint32_t MultiMediaIDByIndex(int index) const override;
    bool MultiMediaInfo(uint32_t id, G_MultiMediaInfo &info) const override;
    QByteArray MultiMediaData(uint32_t id) const override;
    // `id` 0 takes a fresh ID. Answers the resource's ID, 0 when `id` is already used by one.
    uint32_t AddMultiMedia(uint32_t id, const G_MultiMediaInfo &info, const QByteArray &data);
    uint32_t AddLazyMultiMedia(uint32_t id, const G_MultiMediaInfo &info, std::function<QByteArray()> provider);

    uint32_t NewID() override;
    // Tells the ID counter that `id` is taken (IDs scanned while reading).
    void NoteID(uint32_t id);
    uint32_t MaxID() const;
    bool IsModified() const override;
    void SetModified(bool modified) override;

    // Marks a signed package (saving changes breaks its signatures).
    bool IsSigned() const { return m_signed; }
    void SetSigned(bool isSigned) { m_signed = isSigned; }

    void SetPageLoader(std::unique_ptr<OFD_PageLoader> loader);
    OFD_PageLoader *PageLoader() const { return m_loader.get(); }
    const std::shared_ptr<OFD_DocumentContext> &Context() const { return m_context; }
    int RetiredActionCount() const;

private:
    struct Attachment
    {
        G_AttachmentInfo info;
        mutable QByteArray data;
        mutable std::function<QByteArray()> provider;
    };
    struct Media
    {
        uint32_t id = 0;
        G_MultiMediaInfo info;
        mutable QByteArray data;
        mutable std::function<QByteArray()> provider;
    };
    int AddAttachmentEntry(Attachment entry);
    uint32_t AddMediaEntry(Media entry);
    int MediaIndexByID(uint32_t id) const;

    std::shared_ptr<OFD_DocumentContext> m_context;
    std::unique_ptr<OFD_PageLoader> m_loader;
    std::vector<std::unique_ptr<OFD_Page>> m_pages;
    std::vector<Attachment> m_attachments;
    std::vector<Media> m_media;
    QString m_filePath;
    // Fixed from creation to destruction, whatever the document is saved as.
    CCA_String m_key;
    bool m_signed = false;
};

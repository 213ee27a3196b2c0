#include "ofd_appearance.h"

#include "ofd_annot.h"
#include "ofd_documentcontext.h"
#include "ofd_imageobject.h"
#include "ofd_pageobject.h"
#include "ofd_textobject.h"

OFD_Appearance::OFD_Appearance(std::shared_ptr<OFD_DocumentContext> context, OFD_Annot *owner)
    : m_context(context ? std::move(context) : std::make_shared<OFD_DocumentContext>()), m_owner(owner)
{
}

OFD_Appearance::~OFD_Appearance() = default;

IG_PageObject *OFD_Appearance::PageObject(int index) const
{
    return m_objects.At(index);
}

IG_PageObject *OFD_Appearance::InsertPageObject(int type, int index, bool applyDefaults)
{
    return AddPageObject(m_context->CreatePageObject(type, applyDefaults), index);
}

bool OFD_Appearance::RemovePageObject(int index)
{
    if (!m_objects.Remove(index))
        return false;
    Changed();
    return true;
}

IG_PageObject *OFD_Appearance::AddPageObject(std::unique_ptr<IG_PageObject> object, int index)
{
    IG_PageObject *raw = m_objects.Insert(std::move(object), index);
    if (!raw)
        return nullptr;
    if (auto *path = dynamic_cast<OFD_GraphicUnit<IG_PageObject> *>(raw))
        path->SetOwner(m_owner);
    else if (auto *text = dynamic_cast<OFD_GraphicUnit<IG_TextObject> *>(raw))
        text->SetOwner(m_owner);
    else if (auto *image = dynamic_cast<OFD_GraphicUnit<IG_ImageObject> *>(raw))
        image->SetOwner(m_owner);
    Changed();
    return raw;
}

void OFD_Appearance::Changed()
{
    m_context->Touch();
    m_context->NoteObjectChange();
    if (m_owner)
        m_owner->NoteEdited();
}

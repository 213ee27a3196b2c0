#include "ofd_pageobject.h"

OFD_PageObject::OFD_PageObject(std::shared_ptr<OFD_DocumentContext> context, uint32_t id, int type)
    : OFD_GraphicUnit<IG_PageObject>(type, std::move(context), id)
{
    m_stroke = type == G_PageObj_Path;
}

void OFD_PageObject::SetFillRule(int rule)
{
    m_rule = rule;
    Touch();
}

void OFD_PageObject::SetResourceID(uint32_t id)
{
    m_resourceID = id;
    Touch();
}

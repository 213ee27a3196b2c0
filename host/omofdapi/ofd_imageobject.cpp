#include "ofd_imageobject.h"

OFD_ImageObject::OFD_ImageObject(std::shared_ptr<OFD_DocumentContext> context, uint32_t id)
    : OFD_GraphicUnit<IG_ImageObject>(G_PageObj_Image, std::move(context), id)
{
}

void OFD_ImageObject::SetResourceID(uint32_t id)
{
    m_resourceID = id;
    Touch();
}

QByteArray OFD_ImageObject::ImageData() const
{
    if (m_provider) {
        m_data = m_provider();
        m_provider = nullptr;
    }
    return m_data;
}

void OFD_ImageObject::SetImageData(const QByteArray &data)
{
    m_data = data;
    m_provider = nullptr;
    Touch();
}

void OFD_ImageObject::SetImageDataProvider(std::function<QByteArray()> provider)
{
    m_data.clear();
    m_provider = std::move(provider);
    Touch();
}

void OFD_ImageObject::MoveBy(float dx, float dy)
{
    // The image is placed by its matrix.
    m_ctm.e += dx;
    m_ctm.f += dy;
    OFD_GraphicUnit<IG_ImageObject>::MoveBy(dx, dy);
}

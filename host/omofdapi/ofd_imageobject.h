#pragma once

#include "ofd_graphicunit.h"

#include <functional>

class OFD_ImageObject : public OFD_GraphicUnit<IG_ImageObject>
{
public:
    OFD_ImageObject(std::shared_ptr<OFD_DocumentContext> context, uint32_t id);

    // The multimedia resource of the image (OFD ImageObject@ResourceID).
    uint32_t ResourceID() const { return m_resourceID; }
    void SetResourceID(uint32_t id);

    // Moves the placement matrix.
    void MoveBy(float dx, float dy) override;
    QByteArray ImageData() const override;
    void SetImageData(const QByteArray &data);
    // Reads the bytes on first use (a package reader's zip entry).
    void SetImageDataProvider(std::function<QByteArray()> provider);

private:
    uint32_t m_resourceID = 0;
    mutable QByteArray m_data;
    mutable std::function<QByteArray()> m_provider;
};

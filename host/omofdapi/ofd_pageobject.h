#pragma once

#include "ofd_graphicunit.h"

// Fill rule of a path (OFD Rule).
enum OFD_FillRule { OFD_Rule_NonZero = 0, OFD_Rule_EvenOdd = 1 };

// A path object (type 2); also stands for composite units (type 4), which carry no path.
// Paths stroke by default, as OFD's Stroke attribute does.
class OFD_PageObject : public OFD_GraphicUnit<IG_PageObject>
{
public:
    OFD_PageObject(std::shared_ptr<OFD_DocumentContext> context, uint32_t id, int type = G_PageObj_Path);

    int FillRule() const { return m_rule; }
    void SetFillRule(int rule);
    // Composite units: the resource they draw.
    uint32_t ResourceID() const { return m_resourceID; }
    void SetResourceID(uint32_t id);

private:
    int m_rule = OFD_Rule_NonZero;
    uint32_t m_resourceID = 0;
};

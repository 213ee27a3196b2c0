#pragma once

#include "gt_handtool.h"

#include <Qt>

// "gt_fullscreen": reading with the window filling the screen, one page at a time. A click
// on a link runs it, a click elsewhere turns to the next page, Escape leaves.
class GT_FullScreen : public GT_HandTool
{
public:
    G_ToolHandler *Clone() const override;
    CCA_String Name() const override;
    void OnActivate() override;
    void OnDeactivate() override;
    int OnLButtonDown(unsigned flags, const CCA_Point &point) override;
    int OnLButtonUp(unsigned flags, const CCA_Point &point) override;
    int OnRButtonUp(unsigned flags, const CCA_Point &point) override;
    int OnMouseMove(unsigned flags, const CCA_Point &point) override;
    int OnWheel(unsigned flags, int delta, const CCA_Point &point) override;
    int OnKeyDown(int key, unsigned repeatCount, unsigned modifiers) override;

private:
    void Turn(int pages);

    bool m_active = false;
    Qt::WindowStates m_windowState = Qt::WindowNoState;
    int m_zoomMode = 0;
    float m_zoom = 100;
    bool m_pressed = false;
};

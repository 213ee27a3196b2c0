#pragma once

class QWidget;

namespace Utils {

// The DPI factor that dialogs multiply their pixel sizes by.
class OMDpi
{
public:
    static OMDpi &Instance();
    float DpiScale() const { return m_scale; }
    void SetDpiScale(float scale) { m_scale = scale; }

private:
    OMDpi();
    float m_scale;
};

namespace DPI {
class OM_Util
{
public:
    // Centres `widget` on its parent window, or on the screen without one.
    static void MoveToCenter(QWidget *widget);
};
} // namespace DPI

} // namespace Utils

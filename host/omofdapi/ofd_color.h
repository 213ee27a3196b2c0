#pragma once

#include "ig_color.h"

class OFD_Color : public IG_Color
{
public:
    OFD_Color() = default;
    OFD_Color(int space, uint32_t value, uint8_t alpha) : m_space(space), m_value(value), m_alpha(alpha) {}

    int ColorSpace() const override { return m_space; }
    void SetColorSpace(int space) override { m_space = space; }
    uint32_t Value() const override { return m_value; }
    void SetValue(uint32_t value) override { m_value = value; }
    uint8_t Alpha() const override { return m_alpha; }
    void SetAlpha(uint8_t alpha) override { m_alpha = alpha; }
    IG_Color *Clone() const override { return new OFD_Color(m_space, m_value, m_alpha); }

    // Both null, or the same space, value and alpha.
    static bool Same(const IG_Color *a, const IG_Color *b);

private:
    int m_space = G_ColorSpace_RGB;
    uint32_t m_value = 0;
    uint8_t m_alpha = 255;
};

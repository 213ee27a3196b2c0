#pragma once

#include <cstdint>

// Colour-space codes.
enum G_ColorSpace { G_ColorSpace_Gray = 1, G_ColorSpace_RGB = 2, G_ColorSpace_CMYK = 3 };

class IG_Color
{
public:
    virtual ~IG_Color() = default;
    virtual int ColorSpace() const = 0;
    virtual void SetColorSpace(int space) = 0;
    // Packed value, red in bits 0-7, green 8-15, blue 16-23.
    virtual uint32_t Value() const = 0;
    virtual void SetValue(uint32_t value) = 0;
    virtual uint8_t Alpha() const = 0;
    virtual void SetAlpha(uint8_t alpha) = 0;
    virtual IG_Color *Clone() const = 0;
};

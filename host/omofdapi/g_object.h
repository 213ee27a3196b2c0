#pragma once

#include "ombase/cca_string.h"

// Base of the model's value objects that travel as text (actions on the clipboard).
class G_Object
{
public:
    virtual ~G_Object() = default;
    virtual CCA_String ToString() const = 0;
    // False when the text does not describe an object of this class; the object is then unchanged.
    virtual bool FromString(const CCA_String &text) = 0;
};

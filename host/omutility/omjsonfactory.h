#pragma once

#include "omjson.h"

#include "ombase/cca_string.h"

class OMJsonFactory
{
public:
    // Compact UTF-8 JSON text; an empty pointer gives "null".
    static CCA_String BuildJsonString(const OMSharedPtr<const OMJson> &json);
    // Null pointer when the text is not JSON.
    static OMSharedPtr<OMJson> ParseJsonString(const CCA_String &text);
};

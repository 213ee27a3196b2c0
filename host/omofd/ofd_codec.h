#pragma once

#include "ombase/cca_array.h"
#include "ombase/cca_path.h"
#include "ombase/cca_string.h"

// Path <-> OFD abbreviated path text ("M 0 0 L 10 0 B ... A ... Q ... C").
CCA_String OFD_PathToString(const CCA_Path &path);
// Malformed text gives the segments read before the fault; `ok` tells whether all was read.
CCA_Path OFD_StringToPath(const CCA_String &text, bool *ok = nullptr);

// Float array <-> OFD number list ("1 2.5 3"). `precision` 0 writes the shortest
// text that reads back to the same float; n > 0 writes at most n decimals.
CCA_String OFD_ArrayToString(const CCA_ArrayTemplate<float> &values, int precision);
// `expectedCount` 0 accepts any count; otherwise fewer numbers is malformed.
// Malformed text (a token that is not a number) gives an empty array and `ok` false.
CCA_ArrayTemplate<float> OFD_StringToArray(const CCA_String &text, int expectedCount, bool *ok = nullptr);

// Shortest decimal text that reads back to the same float.
CCA_String OFD_FloatToString(float value);

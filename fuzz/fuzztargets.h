#pragma once

#include <cstddef>
#include <cstdint>

// The fuzz targets. Each takes one input as libFuzzer hands it over and answers 0; a fault
// shows as a crash or a sanitizer report. The regression test replays kept inputs through them.

// A whole zip package: opened, every page read, a link added, saved, and the save reopened.
int FuzzPackage(const uint8_t *data, size_t size);
// One XML part in an otherwise sound package; the first byte picks the part.
int FuzzXmlPart(const uint8_t *data, size_t size);
// A link clipboard record pasted into a shown document (see FuzzRecordBytes for the form).
int FuzzPaste(const uint8_t *data, size_t size);
// The path and number-list texts: read, written, read again.
int FuzzTextCodec(const uint8_t *data, size_t size);
// An action's text and the JSON reader beneath it.
int FuzzActionJson(const uint8_t *data, size_t size);

#pragma once

class G_Operation;

// Whether `operation` is the one named `name`: the last "/"-separated part of its name,
// lower-cased, equals `name`.
bool IsInterceptName(const G_Operation *operation, const char *name);

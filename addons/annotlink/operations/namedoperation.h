#pragma once

#include <QString>

class G_Operation;
class G_UIContext;

// A fresh operation registered under `name`, or null (also without a context). The caller
// fills it, runs it and releases it with DeleteLater.
G_Operation *CreateNamedOperation(G_UIContext *context, const QString &name);

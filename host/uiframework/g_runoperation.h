#pragma once

#include <QString>

#include <functional>
#include <optional>

class G_Operation;
class G_UIContext;

enum class G_RunMode { Perform, Execute };

// Runs the operation registered as `name` the one way every caller does: a fresh copy from
// `context`, filled by `fill`, run through its interceptors (Perform) or DoAction alone
// (Execute), shown to `done`, released with DeleteLater. Empty when there is no context or no
// operation of that name.
std::optional<int> RunOperation(G_UIContext *context, const QString &name,
                                const std::function<void(G_Operation &)> &fill = nullptr,
                                G_RunMode how = G_RunMode::Perform,
                                const std::function<void(G_Operation &)> &done = nullptr);

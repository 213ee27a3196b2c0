#pragma once

class G_UIContext;
class QWidget;

namespace Core {

// The application's entry to the framework.
class ICore
{
public:
    static G_UIContext *UIContext();
    static QWidget *mainWindow();
    static void SetUIContext(G_UIContext *context);
    static void SetMainWindow(QWidget *window);
};

} // namespace Core

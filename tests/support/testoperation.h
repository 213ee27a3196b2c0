#pragma once

#include "uiframework/g_operation.h"
#include "uiframework/g_runoperation.h"
#include "uiframework/g_toolhandler.h"
#include "uiframework/g_uicontext.h"

#include <QByteArray>
#include <QMessageBox>
#include <QStringList>

#include <functional>

// Stands in for an operation of the host or the module under its name; `run` does its work.
class TestOperation : public G_Operation
{
public:
    using Run = std::function<int(G_Operation &)>;
    explicit TestOperation(const QByteArray &name, Run run = nullptr) : m_name(name), m_run(std::move(run)) {}
    G_Operation *Clone() const override
    {
        auto *copy = new TestOperation(m_name, m_run);
        copy->CopyFrom(*this);
        return copy;
    }
    const char *Name() const override { return m_name.constData(); }
    int DoAction() override { return m_run ? m_run(*this) : 0; }

private:
    QByteArray m_name;
    Run m_run;
};

// A tool that does nothing, registered under a name the code under test switches to.
class TestTool : public G_ToolHandler
{
public:
    explicit TestTool(const CCA_String &name) : m_name(name) {}
    G_ToolHandler *Clone() const override { return new TestTool(m_name); }
    CCA_String Name() const override { return m_name; }

private:
    CCA_String m_name;
};

// Answers every message box with `answer` and notes what each showed: title, text, buttons,
// default button, button texts and whether a size was given.
class AnsweringContext : public G_UIContext
{
public:
    int ShowMessageBox(const QString &title, const QString &text, QMessageBox::StandardButtons buttons,
                       QMessageBox::StandardButton defaultButton, const QStringList &buttonTexts,
                       const QSize &size) override
    {
        shown << title << text << QString::number(buttons) << QString::number(defaultButton)
              << buttonTexts.join('|') << QString::number(size.isValid());
        return answer;
    }
    int answer = QMessageBox::Ok;
    QStringList shown;
};

// Runs the operation registered as `name` through its interceptors, as the reader does;
// -1 when there is none.
inline int RunOperation(G_UIContext &context, const QString &name, const std::function<void(G_OperationParam &)> &fill)
{
    return RunOperation(&context, name, [&fill](G_Operation &operation) { fill(operation.Param()); }).value_or(-1);
}

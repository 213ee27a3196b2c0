#pragma once

#include "utils/ombasedialog.h"

namespace Core {

// The host's dialog: frameless, white, with a thin painted frame and a shadowless border.
class OMDialog : public Utils::OMBaseDialog
{
    Q_OBJECT
public:
    explicit OMDialog(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace Core

#pragma once

#include "ui/colorfromvb.h"

#include <QColor>

class QWidget;

namespace qmx {

// Background and text colours of labels and buttons, given as 0x00BBGGRR values. The
// value set is kept on the widget (properties "BackColor", "ForeColor") so that it can
// be read back exactly; the button-face value gives the platform's own look.
void SetBackColor(QWidget* widget, qint32 color);
void SetForeColor(QWidget* widget, qint32 color);
// A button's background colour together with whether it can be pressed.
void SetBackColorAndEnabled(QWidget* widget, qint32 color, bool enabled);
[[nodiscard]] qint32 BackColorOf(const QWidget* widget);
[[nodiscard]] qint32 ForeColorOf(const QWidget* widget);

} // namespace qmx

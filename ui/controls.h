#pragma once

#include <QRect>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace qmx {

// Controls made on a window with the name tests find them by, their place and tip.
// A label shows its text as plain text.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect at,
                  const QString& tip = {});
QLineEdit* MakeEdit(QWidget* parent, const char* name, QRect at, const QString& tip = {});
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, QRect at,
                        const QString& tip = {});

} // namespace qmx

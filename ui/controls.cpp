#include "ui/controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qmx {

namespace {

template <typename Widget>
Widget* place(Widget* w, const char* name, QRect at, const QString& tip) {
    w->setObjectName(name);
    w->setGeometry(at);
    w->setToolTip(tip);
    return w;
}

} // namespace

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect at,
                  const QString& tip) {
    QLabel* label = place(new QLabel(parent), name, at, tip);
    // Labels show text from the meter, logs and settings: never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, QRect at, const QString& tip) {
    return place(new QLineEdit(parent), name, at, tip);
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, QRect at,
                        const QString& tip) {
    return place(new QPushButton(text, parent), name, at, tip);
}

} // namespace qmx

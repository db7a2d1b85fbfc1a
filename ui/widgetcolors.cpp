#include "ui/widgetcolors.h"

#include "display/vbcolor.h"

#include <QVariant>
#include <QWidget>

namespace qmx {

namespace {

constexpr const char* kBack = "BackColor";
constexpr const char* kFore = "ForeColor";

void restyle(QWidget* w) {
    QString style;
    const QVariant back = w->property(kBack);
    const QVariant fore = w->property(kFore);
    if (back.isValid() && back.toInt() != VbColor::kButtonFace) {
        style += "background-color: " + ColorFromVb(back.toInt()).name() + ";";
    }
    if (fore.isValid()) {
        style += "color: " + ColorFromVb(fore.toInt()).name() + ";";
    }
    w->setStyleSheet(
        style.isEmpty() ? QString() : w->metaObject()->className() + QString(" { ") + style + " }");
}

// Sets the colour and restyles the widget, only when it changes: a style sheet applied
// anew costs a restyle and keeps pixmaps in the style's cache, however often it is the same.
void setColor(QWidget* widget, const char* which, qint32 color) {
    const QVariant now = widget->property(which);
    if (now.isValid() && now.toInt() == color) {
        return;
    }
    widget->setProperty(which, color);
    restyle(widget);
}

} // namespace

void SetBackColor(QWidget* widget, qint32 color) {
    setColor(widget, kBack, color);
}

void SetForeColor(QWidget* widget, qint32 color) {
    setColor(widget, kFore, color);
}

void SetBackColorAndEnabled(QWidget* widget, qint32 color, bool enabled) {
    SetBackColor(widget, color);
    widget->setEnabled(enabled);
}

qint32 BackColorOf(const QWidget* widget) {
    const QVariant v = widget->property(kBack);
    return v.isValid() ? v.toInt() : VbColor::kButtonFace;
}

qint32 ForeColorOf(const QWidget* widget) {
    const QVariant v = widget->property(kFore);
    return v.isValid() ? v.toInt() : VbColor::kBlack;
}

} // namespace qmx

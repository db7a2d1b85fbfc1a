#include "ui/colorfromvb.h"

#include "display/vbcolor.h"

#include <QGuiApplication>
#include <QPalette>

namespace qmx {

QColor ColorFromVb(qint32 value) {
    if (value == VbColor::kButtonFace) {
        return QGuiApplication::palette().color(QPalette::Button);
    }
    if (value == VbColor::kGrayText) {
        return QGuiApplication::palette().color(QPalette::Disabled, QPalette::WindowText);
    }
    const auto v = quint32(value);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

} // namespace qmx

#include "ui/outersize.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace qmx {

namespace {

// The room the frame takes around the window; nothing while the window is not framed.
QSize frameOf(const QWidget* window) {
    return window->frameGeometry().size() - window->size();
}

bool framed(const QWidget* window) {
    const QSize frame = frameOf(window);
    return window->isVisible() && frame.width() > 0 && frame.height() > 0;
}

// The frame of another framed window of this kind, as the best guess for one not framed
// yet.
QSize borrowedFrame(const QWidget* window) {
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other != window && framed(other) &&
            other->findChild<OuterSize*>(QString(), Qt::FindDirectChildrenOnly) != nullptr) {
            return frameOf(other);
        }
    }
    return {0, 0};
}

} // namespace

OuterSize::OuterSize(QWidget* window) : QObject(window), window_(window) {
    // A window of fixed size offers no maximize button.
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint);
    window->installEventFilter(this);
}

void OuterSize::Set(QWidget* window, QSize outer) {
    auto* keeper = window->findChild<OuterSize*>(QString(), Qt::FindDirectChildrenOnly);
    if (keeper == nullptr) {
        keeper = new OuterSize(window);
    }
    keeper->outer_ = outer;
    keeper->apply();
}

void OuterSize::apply() {
    const QSize frame = framed(window_) ? frameOf(window_) : borrowedFrame(window_);
    const QSize inner = outer_ - frame;
    if (window_->minimumSize() != inner || window_->maximumSize() != inner) {
        window_->setFixedSize(inner);
    }
}

// The window manager frames a shown window some time later, and may frame it anew; the
// window hears of it as a move.
bool OuterSize::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && (event->type() == QEvent::Move || event->type() == QEvent::Show)) {
        apply();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace qmx

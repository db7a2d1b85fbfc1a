#pragma once

#include <QObject>
#include <QSize>

class QWidget;

namespace qmx {

// Keeps a window at a fixed outer size: the size with the frame the window manager draws
// (title bar and borders), as the window's size is given. The window cannot be resized
// or maximized. Until the window manager has framed the window, the frame of another
// framed window of the program stands in for its own; the size is corrected as soon as
// its own frame is known.
class OuterSize : public QObject {
    Q_OBJECT
public:
    // Sets the outer size of window, keeping it from then on.
    static void Set(QWidget* window, QSize outer);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit OuterSize(QWidget* window);
    void apply();

    QWidget* window_;
    QSize outer_;
};

} // namespace qmx

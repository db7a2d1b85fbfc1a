#include "ui/qtsoundplayer.h"

#include <QApplication>
#include <QUrl>

void QtSoundPlayer::PlayLoop(const QString& path) {
    effect_.stop();
    effect_.setSource(QUrl::fromLocalFile(path));
    effect_.setLoopCount(QSoundEffect::Infinite);
    effect_.play();
}

void QtSoundPlayer::Stop() {
    effect_.stop();
}

void QtSoundPlayer::Beep() {
    QApplication::beep();
}

#include "ui/qtsoundplayer.h"

#include "platform/wavfile.h"

#include <QApplication>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QUrl>

#include <cstdio>

namespace qmx {

namespace {

const QString kCouldNotPlay = QStringLiteral("the player could not play it");

QUrl urlOf(const QString& path) {
    return path.startsWith(":/") ? QUrl("qrc" + path) : QUrl::fromLocalFile(path);
}

} // namespace

QtSoundPlayer::QtSoundPlayer() {
    QObject::connect(&effect_, &QSoundEffect::statusChanged, &effect_, [this] {
        if (effect_.status() == QSoundEffect::Error) {
            failed_ = true;
            failedPaths_.insert(path_);
            refuse(path_, kCouldNotPlay);
        }
    });
}

bool QtSoundPlayer::PlayLoop(const QString& path) {
    effect_.stop();
    failed_ = false;
    path_ = path;
    QString problem = failedPaths_.contains(path) ? kCouldNotPlay : WavProblem(path);
    // Without an output the effect would report playing while nothing is heard.
    if (problem.isEmpty() && QMediaDevices::audioOutputs().isEmpty()) {
        problem = "there is no audio output";
    }
    if (!problem.isEmpty()) {
        refuse(path, problem);
        return false;
    }
    effect_.setSource(urlOf(path));
    effect_.setLoopCount(QSoundEffect::Infinite);
    effect_.play();
    return true;
}

bool QtSoundPlayer::Check(const QString& path) {
    const QString problem = WavProblem(path);
    if (!problem.isEmpty()) {
        refuse(path, problem);
    }
    return problem.isEmpty();
}

void QtSoundPlayer::Stop() {
    effect_.stop();
}

void QtSoundPlayer::Beep() {
    QApplication::beep();
}

void QtSoundPlayer::refuse(const QString& path, const QString& reason) {
    const QString text =
        "The alarm sound " + path + " cannot play: " + reason + ". The alarm beeps instead.";
    if (!said_.contains(text)) {
        said_.insert(text);
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
}

} // namespace qmx

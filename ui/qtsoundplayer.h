#pragma once

#include "platform/soundplayer.h"

#include <QSet>
#include <QSoundEffect>

namespace qmx {

// The alarm sound through Qt Multimedia. A sound that cannot play (no audio output, a
// file it cannot decode) is refused, and why is written to standard error once.
class QtSoundPlayer final : public SoundPlayer {
public:
    QtSoundPlayer();

    bool PlayLoop(const QString& path) override;
    void Stop() override;
    void Beep() override;
    [[nodiscard]] bool Failed() const override { return failed_; }

    [[nodiscard]] bool IsPlaying() const { return effect_.isPlaying(); }
    // Whether the file at path is a sound the player decodes; when it is not, says why on
    // standard error as playing it would.
    bool Check(const QString& path);

private:
    void refuse(const QString& path, const QString& reason);

    QSoundEffect effect_;
    QString path_;
    bool failed_ = false;
    QSet<QString> failedPaths_; // files that could not play; not tried again
    QSet<QString> said_;
};

} // namespace qmx

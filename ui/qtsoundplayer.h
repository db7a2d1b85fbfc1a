#pragma once

#include "ui/soundplayer.h"

#include <QSoundEffect>

// The alarm sound through Qt Multimedia. On a machine without any audio output the
// calls do nothing audible and never fail, so the visual alarm carries on alone.
class QtSoundPlayer final : public SoundPlayer {
public:
    void PlayLoop(const QString& path) override;
    void Stop() override;
    void Beep() override;

    [[nodiscard]] bool IsPlaying() const { return effect_.isPlaying(); }
    [[nodiscard]] QString Source() const { return effect_.source().toLocalFile(); }
    [[nodiscard]] bool HasError() const { return effect_.status() == QSoundEffect::Error; }

private:
    QSoundEffect effect_;
};

#pragma once

#include <QString>

// The alarm sound: a WAV file looping in the background until stopped, and the beep.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts the file looping; replaces any sound still playing.
    virtual void PlayLoop(const QString& path) = 0;
    virtual void Stop() = 0;
    virtual void Beep() = 0;
};

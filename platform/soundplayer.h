#pragma once

#include <QString>

namespace qmx {

// The alarm sound: a WAV file looping in the background until stopped, and the beep.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts the file looping; replaces any sound still playing. False when the sound
    // cannot play here (no audio output, a file the player cannot decode): nothing plays.
    [[nodiscard]] virtual bool PlayLoop(const QString& path) = 0;
    virtual void Stop() = 0;
    virtual void Beep() = 0;
    // Whether the sound started last has turned out unplayable since.
    [[nodiscard]] virtual bool Failed() const = 0;
};

} // namespace qmx

#pragma once

#include <QString>

namespace qmx {

class Clock;
class Dialogs;
class SoundPlayer;

// The platform services every window takes, so that tests can stand in for them.
struct Services {
    Clock& clock;
    Dialogs& dialogs;
    SoundPlayer& sound;
    QString programFolder; // where attention.wav and the default Test.qmx live
};

} // namespace qmx

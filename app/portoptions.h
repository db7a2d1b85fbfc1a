#pragma once

#include "meter/portmap.h"

namespace qmx {

class CommandLine;

// The meter a command talks to: a device named directly, or one of the program's port
// numbers with the devices its settings give them.
struct ChosenMeter {
    PortMap Ports;
    qint16 Port = 1;
};

// Adds --device PATH and --port N.
void AddPortOptions(CommandLine& line);
// The meter the parsed options name; exactly one of the two must be given.
[[nodiscard]] ChosenMeter MeterFromOptions(const CommandLine& line);

} // namespace qmx

#include "app/portoptions.h"

#include "app/commandline.h"
#include "platform/programsettings.h"

namespace qmx {

void AddPortOptions(CommandLine& line) {
    line.AddOption({"device", "The meter's serial device.", "PATH"});
    line.AddOption({"port", "The program's port number (1 to 8) of the meter.", "N"});
}

ChosenMeter MeterFromOptions(const CommandLine& line) {
    line.OneOf("device", "port", true);
    ChosenMeter meter;
    if (line.IsSet("device")) {
        meter.Ports.SetDevice(1, line.Value("device"));
        return meter;
    }
    meter.Port = qint16(line.Whole("port", 1, PortMap::kPorts, "a port number from 1 to 8", 1));
    meter.Ports.Load(ProgramSettings());
    meter.Ports.AssignFree(PortMap::SystemCandidates());
    return meter;
}

} // namespace qmx

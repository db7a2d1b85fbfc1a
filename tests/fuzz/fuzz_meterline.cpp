// Any bytes from the serial line: assembled into lines one character at a time as the
// link does, decoded as the display does, recorded as the logger does.
#include "display/readingmodel.h"
#include "logging/samplerow.h"
#include "meter/meterlink.h"
#include "meter/meterreading.h"
#include "meter/readnumber.h"

#include <QTime>

#include <cstdint>
#include <cstdlib>

using namespace qmx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MeterLink link{PortMap{}};
    ReadingModel model;
    for (size_t i = 0; i < size; ++i) {
        link.ReceiveCharacter(QChar::fromLatin1(char(data[i])));
        if (link.PendingLine.size() > MeterLink::kMaxLineLength) {
            std::abort();
        }
        if (data[i] == '\r') {
            const MeterReading r = model.Take(link.LastLine);
            if (r.DbuValid && !(r.Dbu == r.Dbu)) {
                std::abort(); // a valid level is a number
            }
            (void)BuildSampleRow(model.ShownLine, model.DbuText, model.CurrentDbu, QTime(12, 0));
        }
    }
    const QString whole = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)DecodeReading(whole);
    (void)NarrowToSingle(ReadNumber(whole));
    return 0;
}

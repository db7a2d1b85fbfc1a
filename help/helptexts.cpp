#include "help/helptexts.h"

#include "display/numberformat.h"
#include "platform/linebreak.h"

#include <QStringList>

namespace qmx {

namespace HelpTexts {

namespace {

// Every line followed by a line break.
QString lines(const QStringList& text) {
    return text.join(kCrLf) + kCrLf;
}

QString header(float version) {
    return lines({"QMX-7300 Multimeter Communications", "Application and Data Logger", "",
                  "Version " + FormatGeneral(version), "",
                  "Uses Serial Communication at 1200 baud,",
                  "no parity, 7 data bits, and 2 stop bits.", ""});
}

QString grapherText(float version, const QString& line17) {
    return header(version) + lines({"Connect the QMX-7300 using a normal 9 pin serial",
                                    "cable, not a null-modem cable.", "",
                                    "This Window allows Graphing and Analysis of",
                                    "a full logged Data Set, and Conversion to",
                                    "MS Access or Comma Separated Values Files.", "",
                                    "The Converted Files are stored in the same directory", line17,
                                    "", "The Descriptive Comment may be Edited (255",
                                    "Characters Maximum, Saved on Exit).", ""});
}

} // namespace

QString MainAbout(float version) {
    return header(version) + lines({"Connect the QMX-7300 using a normal 9 pin serial",
                                    "cable, not a null-modem cable.", ""});
}

QString MainHelp(float version) {
    return header(version) + lines({"Connect the QMX-7300 using a normal 9 pin serial",
                                    "cable, not a null-modem cable, to an available",
                                    "serial port on your PC. Press the 'Menu'",
                                    "key on the Meter repeatedly until 'RS-232'",
                                    "flashes, then hit 'Enter' key to start comm.", "",
                                    "Press the 'AC Volts in dBu' key to see Voltage expressed",
                                    "in dBu (a 20 log law relative to .775 volts)."});
}

QString LoggerAbout(float version) {
    return MainAbout(version);
}

QString LoggerHelp(float version) {
    QString text = header(version) +
                   lines({"Connect the QMX-7300 using a normal 9 pin serial cable,",
                          "not a null-modem cable, to an available serial port on your",
                          "PC. Press the 'Menu' key on the meter repeatedly (7 times)",
                          "until 'RS-232' flashes, then hit 'Enter' key to start comm.", "",
                          "Press the 'AC Volts in dBu' key to see Voltage expressed",
                          "in dBu (a 20 log law relative to .775 volts).", "",
                          "This form controls logging of received meter values to a database",
                          "either manually, or started and stopped by the real-time clock.",
                          "Sampling times are from 1/2 second (meter limitation) to 1 minute.", "",
                          "If the total sampling time is to exceed 1/2 hour, make sure that the",
                          "Keep On' feature is enabled on the meter ('Menu' 6 times 'Enter')."});
    text.chop(kCrLf.size()); // the last line has no line break
    return text;
}

QString GrapherAbout(float version) {
    return grapherText(version, "as the original .qmx File, which remains intact.");
}

QString GrapherHelp(float version) {
    return grapherText(version, "as the original .qmx File, which remains unchanged.");
}

} // namespace HelpTexts

} // namespace qmx

#include "app/commandline.h"
#include "app/commands.h"
#include "app/jsonline.h"
#include "meter/meterreading.h"

#include <QByteArray>

#include <cstdio>
#include <optional>

namespace qmx {

namespace {

QByteArray decodedJson(const QString& line) {
    const MeterReading r = DecodeReading(line);
    return JsonLine()
        .Text("line", r.Line)
        .Text("modePrefix", r.ModePrefix)
        .Text("mode", r.Mode)
        .Text("valueText", r.ValueText)
        .Float("value", r.Value)
        .Text("units", r.Units)
        .Bool("isAcVolts", r.IsAcVolts)
        .Double("acVolts", r.IsAcVolts ? std::optional(r.AcVolts) : std::nullopt)
        .Bool("dbuValid", r.DbuValid)
        .Float("dbu", r.DbuValid ? std::optional(r.Dbu) : std::nullopt)
        .Finish();
}

void emitLine(const QByteArray& bytes) {
    const QByteArray json = decodedJson(QString::fromLatin1(bytes)) + '\n';
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
}

} // namespace

// Lines are split at LF (a CR before it dropped), or with --raw at CR exactly as the
// serial link splits them, LF then being an ordinary character.
int RunDecode(CommandLine& line, const QStringList& args) {
    line.AddOption({"raw", "Split lines at carriage returns, as the serial link does."});
    if (!line.Parse(args)) {
        return 0;
    }
    line.Arguments({});
    const bool raw = line.IsSet("raw");
    const char separator = raw ? '\r' : '\n';
    QByteArray pending;
    int c;
    while ((c = std::getc(stdin)) != EOF) {
        if (char(c) != separator) {
            pending += char(c);
            continue;
        }
        if (!raw && pending.endsWith('\r')) {
            pending.chop(1);
        }
        emitLine(pending);
        pending.clear();
    }
    if (!pending.isEmpty() && !raw) {
        emitLine(pending);
    }
    std::fflush(stdout);
    return 0;
}

} // namespace qmx

// Odd rows through the CSV writer: texts of any bytes, numbers of any bit pattern. The
// file read back as RFC 4180 has one record a row plus the header, with the texts intact.
#include "grapher/csvexport.h"
#include "logging/dberror.h"
#include "logging/logcreation.h"
#include "logging/sqlitedb.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <QVariant>
#include <QtEndian>

#include <bit>
#include <cstdint>
#include <cstdlib>

using namespace qmx;

namespace {

// Records of an RFC 4180 text, each a list of fields; a record not ended by CR LF is left out.
QList<QList<QByteArray>> parse(const QByteArray& csv) {
    QList<QList<QByteArray>> records(1);
    QByteArray field;
    bool quoted = false;
    for (qsizetype i = 0; i < csv.size(); ++i) {
        const char c = csv[i];
        if (c == '"') {
            if (quoted && csv.mid(i + 1, 1) == "\"") {
                field += c;
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (quoted || (c != ',' && !(c == '\r' && csv.mid(i + 1, 1) == "\n"))) {
            field += c;
        } else {
            records.last() << field;
            field.clear();
            if (c == '\r') {
                records.emplaceBack();
                ++i;
            }
        }
    }
    records.removeLast();
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QTemporaryDir scratch; // a folder of this fuzzing process's own
    const QString log = scratch.filePath("rows.qmx");
    QFile::remove(log);
    LogCreation(log).Run();
    // Input: records separated by 0xFF; each record "type\0units\0" then 8 bytes of numbers.
    const QList<QByteArray> records =
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\xff');
    QList<QList<QByteArray>> stored;
    {
        SqliteDb db(log, SqliteDb::Mode::ReadWrite);
        db.Exec("BEGIN");
        db.Prepare("INSERT INTO Info VALUES ('1/1/2027', ?)")
            .Bind(1, QString::fromUtf8(records.value(0)))
            .Step();
        Statement insert = db.Prepare("INSERT INTO LogData VALUES (?, ?, ?, ?, ?)");
        for (qsizetype r = 1; r < records.size(); ++r) {
            const QList<QByteArray> parts = records[r].split('\0');
            const QString type = QString::fromUtf8(parts.value(0));
            const QString units = QString::fromUtf8(parts.value(1));
            const QByteArray numbers = parts.value(2).leftJustified(8, '\0');
            const auto single = [&numbers](int at) {
                return double(std::bit_cast<float>(qFromUnaligned<quint32>(numbers.data() + at)));
            };
            insert.Reset();
            insert.Bind(1, QString("9:00:00 AM")).Bind(2, type).Bind(3, units);
            insert.Bind(4, single(0)).Bind(5, single(4));
            try {
                insert.Step();
                stored << QList<QByteArray>{type.toUtf8(), units.toUtf8()};
            } catch (const DbError&) {
                // Too long for its column: refused, as it must be.
            }
        }
        db.Exec("COMMIT");
    }
    const QString out = scratch.filePath("rows.csv");
    CsvExport(log, out).Run();
    QFile f(out);
    f.open(QIODevice::ReadOnly);
    const QList<QList<QByteArray>> read = parse(f.readAll());
    if (read.size() != stored.size() + 1) {
        std::abort();
    }
    for (qsizetype r = 0; r < stored.size(); ++r) {
        const QList<QByteArray>& fields = read[r + 1];
        if (fields.size() != 5 || fields[1] != stored[r][0] || fields[2] != stored[r][1]) {
            std::abort();
        }
    }
    return 0;
}

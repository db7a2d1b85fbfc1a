#include "logging/logformat.h"

namespace qmx {

namespace LogFormat {

namespace {

QString columnSql(const Column& c) {
    QString sql = c.Name;
    if (c.Type == kTextType) {
        const int width = c.Width > 0 ? c.Width : kDefaultTextWidth;
        // The width is enforced, as the log's engine has always refused longer texts.
        sql += QString(" VARCHAR(%1) CHECK (length(%2) <= %1)").arg(width).arg(c.Name);
    } else {
        sql += " REAL";
    }
    if (!c.Nullable) {
        sql += " NOT NULL";
    }
    return sql;
}

} // namespace

const Column* Table::Find(const QString& column) const {
    for (const Column& c : Columns) {
        if (c.Name.compare(column, Qt::CaseInsensitive) == 0) {
            return &c;
        }
    }
    return nullptr;
}

QString Table::CreateSql() const {
    QStringList columns;
    for (const Column& c : Columns) {
        columns << columnSql(c);
    }
    return "CREATE TABLE " + Name + " (" + columns.join(", ") + ")";
}

const Table& LogData() {
    static const Table table{"LogData",
                             {{"TimeStamp", kTextType, 12, false},
                              {"Type", kTextType, 4, false},
                              {"Units", kTextType, 4, true},
                              {"Value", kSingleType, 0, true},
                              {"dBu", kSingleType, 0, true}}};
    return table;
}

const Table& Info() {
    static const Table table{"Info",
                             {{"Date", kTextType, 20, false}, {"Description", kTextType, 0, true}}};
    return table;
}

const Table* TableNamed(const QString& name) {
    for (const Table* t : {&LogData(), &Info()}) {
        if (t->Name.compare(name, Qt::CaseInsensitive) == 0) {
            return t;
        }
    }
    return nullptr;
}

} // namespace LogFormat

} // namespace qmx

#pragma once
// What the benchmarks share: a log of many samples made in one transaction, and medians.
#include "logging/logcreation.h"
#include "logging/sqlitedb.h"

#include <QString>

#include <algorithm>
#include <functional>
#include <vector>

namespace qmx {

// A new log at path with one Info row and n samples: each row is the LogData insert
// with the parameters bind gives sample k.
inline void MakeBenchLog(const QString& path, int n, const char* insert,
                         const std::function<void(Statement&, int)>& bind) {
    LogCreation(path).Run();
    SqliteDb db(path, SqliteDb::Mode::ReadWrite);
    db.Exec("BEGIN");
    db.Exec("INSERT INTO Info VALUES ('12/6/2026', 'benchmark')");
    Statement row = db.Prepare(insert);
    for (int k = 0; k < n; ++k) {
        row.Reset();
        bind(row, k);
        row.Step();
    }
    db.Exec("COMMIT");
}

inline double Median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
    return v[v.size() / 2];
}

} // namespace qmx

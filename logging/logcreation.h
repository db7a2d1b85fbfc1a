#pragma once

#include "logging/sqlitedb.h"

#include <QString>

#include <memory>
#include <optional>
#include <sys/types.h>
#include <utility>

namespace qmx {

// Makes a new, empty log file step by step: the file, then the LogData table, then the
// Info table. A step that fails throws DbError; running again resumes at that step, so
// a Retry repeats only what failed.
class LogCreation {
public:
    explicit LogCreation(QString path) : path_(std::move(path)) {}

    // Runs the remaining steps.
    void Run();
    [[nodiscard]] bool Done() const { return step_ == Step::Done; }
    // Removes the file this creation made, if its name still holds that very file (not
    // one put in its place since); for a run that failed before it stored anything.
    void RemoveMadeFile() const;

private:
    enum class Step { CreateFile, MarkFile, AppendLogData, AppendInfo, Close, Done };
    void runStep();

    QString path_;
    Step step_ = Step::CreateFile;
    std::unique_ptr<SqliteDb> db_;
    std::optional<std::pair<dev_t, ino_t>> made_; // the file made: device and inode
};

} // namespace qmx

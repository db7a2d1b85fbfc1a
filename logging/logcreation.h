#pragma once

#include <QString>

#include <optional>
#include <sys/types.h>
#include <utility>

namespace qmx {

// Makes a new, empty log file in two steps: the file, then its marks and its LogData and
// Info tables in one transaction, so a file is either empty or a whole log. A step that
// fails throws DbError; running again resumes at that step, so a Retry repeats only what
// failed.
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
    enum class Step { CreateFile, MakeTables, Done };
    void runStep();
    void makeTables();

    QString path_;
    Step step_ = Step::CreateFile;
    std::optional<std::pair<dev_t, ino_t>> made_; // the file made: device and inode
};

} // namespace qmx

#include "app/commandline.h"

#include "logging/dberror.h"
#include "platform/linebreak.h"

#include <cmath>
#include <cstdio>

namespace qmx {

CommandLine::CommandLine(QString name, QString synopsis, QString summary)
    : name_(std::move(name)), synopsis_(std::move(synopsis)), summary_(std::move(summary)) {
    parser_.addOption(help_);
}

QString CommandLine::Usage() const {
    return "usage: qmxtool " + name_ + " " + synopsis_;
}

void CommandLine::Report(const QString& message) const {
    std::fprintf(stderr, "qmxtool %s: %s\n", qPrintable(name_),
                 qPrintable(QString(message).replace(kCrLf, " ").simplified()));
}

QString ReasonOf(const DbError& error) {
    // What the system or the engine said is the most precise, when it said something.
    if (!error.Detail.isEmpty() && error.Code != DbError::kFileExists) {
        return error.Detail;
    }
    switch (error.Code) {
    case DbError::kFileExists:
        return "the file already exists";
    case DbError::kFileNotFound:
        return "no such file or folder";
    case DbError::kIoError:
        return "input/output error";
    case DbError::kDiskFull:
        return "the disk is full";
    case DbError::kPermissionDenied:
        return "no permission to write it (the file or its medium is write-protected)";
    default:
        return "failed";
    }
}

void CommandLine::Fail(const QString& message) const {
    throw UsageError("qmxtool " + name_ + ": " + message + "\n" + Usage());
}

bool CommandLine::Parse(const QStringList& args) {
    if (!parser_.parse(QStringList{"qmxtool " + name_} + args)) {
        Fail(parser_.errorText());
    }
    if (parser_.isSet(help_)) {
        // The parser's own help, under this command's usage line.
        const QString options = parser_.helpText().section("\nOptions:", 1).trimmed();
        std::printf("%s\n%s\n\nOptions:\n  %s\n", qPrintable(Usage()), qPrintable(summary_),
                    qPrintable(options));
        return false;
    }
    return true;
}

QStringList CommandLine::Arguments(const QStringList& names) const {
    const QStringList given = parser_.positionalArguments();
    if (given.size() < names.size()) {
        Fail("missing " + names.mid(given.size()).join(" "));
    }
    if (given.size() > names.size()) {
        Fail("unexpected argument " + given[names.size()]);
    }
    return given;
}

double CommandLine::Number(const QString& option, double min, double max, const QString& what,
                           double fallback) const {
    if (!IsSet(option)) {
        return fallback;
    }
    bool ok = false;
    const double value = Value(option).toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < min || value > max) {
        Fail("--" + option + " " + Value(option) + ": expected " + what);
    }
    return value;
}

qint64 CommandLine::Whole(const QString& option, qint64 min, qint64 max, const QString& what,
                          qint64 fallback) const {
    if (!IsSet(option)) {
        return fallback;
    }
    bool ok = false;
    const qint64 value = Value(option).toLongLong(&ok);
    if (!ok || value < min || value > max) {
        Fail("--" + option + " " + Value(option) + ": expected " + what);
    }
    return value;
}

void CommandLine::OneOf(const QString& first, const QString& second, bool required) const {
    if (IsSet(first) && IsSet(second)) {
        Fail("--" + first + " and --" + second + " exclude each other");
    }
    if (required && !IsSet(first) && !IsSet(second)) {
        Fail("--" + first + " or --" + second + " is needed");
    }
}

} // namespace qmx

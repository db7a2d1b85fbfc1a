#pragma once

#include <QString>

#include <optional>

namespace qmx {

// A log's rows as stored, whatever the file's format: texts and numbers, nulls kept apart
// from empty texts.
using NullableText = std::optional<QString>;

// A row of Info: the run's date and comment.
struct LogHeader {
    NullableText Date;
    NullableText Description;
};

// A row of LogData. Numbers are held as doubles, which keeps the single values of a
// log exact and the double values of an Access-format log that has them.
struct LogRecord {
    NullableText TimeStamp;
    NullableText Type;
    NullableText Units;
    std::optional<double> Value;
    std::optional<double> Dbu;
};

// Receives a log as it is read: the number of samples the file says it holds, then its
// Info rows, then its samples in stored order.
class LogVisitor {
public:
    virtual ~LogVisitor() = default;
    virtual void SampleCount(qint64 count) { Q_UNUSED(count); }
    virtual void Info(const LogHeader& header) = 0;
    virtual void Sample(const LogRecord& sample) = 0;
};

} // namespace qmx

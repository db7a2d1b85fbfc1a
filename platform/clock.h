#pragma once

#include <QDate>
#include <QTime>

namespace qmx {

// The time of day and the date, so that timed logic is tested without waiting.
class Clock {
public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual QTime Now() const = 0;
    [[nodiscard]] virtual QDate Today() const = 0;
};

class SystemClock final : public Clock {
public:
    [[nodiscard]] QTime Now() const override { return QTime::currentTime(); }
    [[nodiscard]] QDate Today() const override { return QDate::currentDate(); }
};

} // namespace qmx

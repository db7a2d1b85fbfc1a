#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace qmx {

class DbError;

// A mistake in how qmxtool was called. Its text says what is wrong and how the command
// is called; qmxtool prints it and ends with status 2.
class UsageError : public std::runtime_error {
public:
    static constexpr int kStatus = 2;
    explicit UsageError(const QString& text) : std::runtime_error(text.toStdString()), Text(text) {}
    QString Text;
};

// The options and arguments of one qmxtool command, read the same way by every command.
// Every value is checked: a wrong one throws UsageError naming the option.
class CommandLine {
public:
    // name: the command; synopsis: its arguments as the usage line shows them; summary:
    // what it does.
    CommandLine(QString name, QString synopsis, QString summary);

    void AddOption(const QCommandLineOption& option) { parser_.addOption(option); }
    // Reads the arguments after the command's name. False after --help, which printed
    // the command's help: the command then ends with status 0.
    [[nodiscard]] bool Parse(const QStringList& args);

    [[nodiscard]] bool IsSet(const QString& option) const { return parser_.isSet(option); }
    [[nodiscard]] QString Value(const QString& option) const { return parser_.value(option); }
    // The positional arguments, which must be exactly as many as names lists.
    QStringList Arguments(const QStringList& names) const;
    // The option's number, or fallback when it is not given; outside min to max (what
    // says how the message names the range) it is refused.
    [[nodiscard]] double Number(const QString& option, double min, double max, const QString& what,
                                double fallback) const;
    // A whole number from min to max, or fallback when the option is not given.
    [[nodiscard]] qint64 Whole(const QString& option, qint64 min, qint64 max, const QString& what,
                               qint64 fallback) const;
    // Exactly one of the two options, or none when both may be left out.
    void OneOf(const QString& first, const QString& second, bool required) const;

    // Says in one line on standard error why the command failed: "qmxtool NAME: message".
    void Report(const QString& message) const;

    // Refuses the call with the message, followed by the usage line.
    [[noreturn]] void Fail(const QString& message) const;
    [[nodiscard]] QString Usage() const;

private:
    QString name_;
    QString synopsis_;
    QString summary_;
    QCommandLineParser parser_;
    QCommandLineOption help_{{"h", "help"}, "Show this help."};
};

// What went wrong with a log file, in a few words for a one-line message.
[[nodiscard]] QString ReasonOf(const DbError& error);

} // namespace qmx

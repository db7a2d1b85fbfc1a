#pragma once

#include <QString>

namespace qmx {

// Per-user named text values of the program (organisation and application "QMX7300",
// section "Startup"). Reading an absent key gives the default; a present key gives its
// stored text, even when empty. A settings file that is not a regular file (after links
// are followed) is never opened: it could block or be anything but settings. The store
// then reads as empty and keeps nothing.
class SettingsStore {
public:
    // Why the settings file cannot be used, in a sentence for the user; empty when it can.
    [[nodiscard]] QString Problem() const;
    [[nodiscard]] QString Read(const QString& key, const QString& defaultValue) const;
    // False when the settings file refused the value. A file that is not a regular file
    // keeps nothing by design (its problem is told at start-up), which is no refusal.
    bool Write(const QString& key, const QString& text);
    // Whether the key is present at all.
    [[nodiscard]] bool Contains(const QString& key) const;
    // The file the values are kept in, for messages that tell the user what to edit.
    [[nodiscard]] QString FileName() const;
};

} // namespace qmx

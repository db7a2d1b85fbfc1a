#pragma once

#include <QString>

// Per-user named text values of the program (organisation and application "QMX7300",
// section "Startup"). Reading an absent key gives the default; a present key gives its
// stored text, even when empty.
class SettingsStore {
public:
    [[nodiscard]] QString Read(const QString& key, const QString& defaultValue) const;
    void Write(const QString& key, const QString& text);
    // Whether the key is present at all.
    [[nodiscard]] bool Contains(const QString& key) const;
    // The file the values are kept in, for messages that tell the user what to edit.
    [[nodiscard]] QString FileName() const;
};

#pragma once

// The settings store: the learner's options and place, kept between runs in
// an INI file in the user's configuration folder (MyTrellis.ini), group
// "Options", each value a whole number written as text.

#include <QString>

#include <memory>

class QSettings;

class Settings {
public:
    // `file` names the INI file; empty for the user's own store.
    explicit Settings(const QString& file);
    ~Settings();

    // A stored number, or the default when the key is missing or holds no
    // number.
    int number(const QString& key, int defaultValue) const;
    void setNumber(const QString& key, int value);
    // For options beyond the original keys: written only once they differ
    // from their default or have been stored before, so a learner who never
    // touches them keeps the same settings file.
    void setNumberOnceUsed(const QString& key, int value, int defaultValue);
    // Writes what was set to the file.
    void sync();

private:
    std::unique_ptr<QSettings> store_;
};

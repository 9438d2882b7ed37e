#include "shell/window/Settings.h"

#include <QSettings>

namespace {

const char* const kApplication = "MyTrellis";
const char* const kGroup = "Options";

}  // namespace

Settings::Settings(const QString& file)
    : store_(file.isEmpty() ? std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kApplication)
                            : std::make_unique<QSettings>(file, QSettings::IniFormat))
{
    store_->beginGroup(kGroup);
}

Settings::~Settings() = default;

int Settings::number(const QString& key, int defaultValue) const
{
    bool isNumber = false;
    const int value = store_->value(key).toString().trimmed().toInt(&isNumber);
    return isNumber ? value : defaultValue;
}

void Settings::setNumber(const QString& key, int value) { store_->setValue(key, QString::number(value)); }

void Settings::setNumberOnceUsed(const QString& key, int value, int defaultValue)
{
    if (value != defaultValue || store_->contains(key))
        setNumber(key, value);
}

void Settings::sync() { store_->sync(); }

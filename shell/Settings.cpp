// The learner's options and place, kept between runs in the settings store
// (an INI file in the user's configuration folder, group "Options").

#include "shell/MainForm.h"
#include "shell/StudyStatus.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QSettings>

namespace {

const char* const kApplication = "MyTrellis";
const char* const kGroup = "Options";

void checkFrom(QCheckBox* box, int value) { box->setChecked(value != 0); }

}  // namespace

std::unique_ptr<QSettings> MainForm::openSettings() const
{
    std::unique_ptr<QSettings> settings =
        platform_.settingsFile.isEmpty()
            ? std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kApplication)
            : std::make_unique<QSettings>(platform_.settingsFile, QSettings::IniFormat);
    settings->beginGroup(kGroup);
    return settings;
}

int MainForm::settingNumber(const QString& key, int defaultValue) const
{
    bool isNumber = false;
    const int value = openSettings()->value(key).toString().trimmed().toInt(&isNumber);
    return isNumber ? value : defaultValue;
}

void MainForm::GetAllSettings()
{
    bShowChinese = settingNumber("ShowChinese", 1);
    checkFrom(ckShowChinese, bShowChinese);

    nRepeatTimes = settingNumber("ShouldRepeatTimes", 1);
    // Out of range: the list shows its first entry, the count stays as read.
    cbRepeatTimes->setCurrentIndex(nRepeatTimes >= 1 && nRepeatTimes <= cbRepeatTimes->count() ? nRepeatTimes - 1 : 0);

    const int gap = settingNumber("GapSetting", 0);
    cbBrowseGap->setCurrentIndex(gap >= 0 && gap < cbBrowseGap->count() ? gap : 0);

    checkFrom(ckSpellShowChinese, settingNumber("SpellShowChinese", 1));
    checkFrom(ckSpellShowEnglish, settingNumber("SpellShowEnglish", 0));
    checkFrom(ckSpellAutoSnd, settingNumber("SpellAutoSnd", 1));
}

void MainForm::SaveAllSettings()
{
    auto settings = openSettings();
    auto save = [&settings](const char* key, int value) { settings->setValue(key, QString::number(value)); };
    // While dictation runs, the Chinese lines are the mode's, not the
    // learner's choice: keep the choice the learner made before it.
    save("ShowChinese", nStatus == StatusSpell ? bSpellSavedShowChinese : bShowChinese);
    save("ShouldRepeatTimes", nRepeatTimes);
    save("GapSetting", cbBrowseGap->currentIndex());
    save("SpellShowChinese", ckSpellShowChinese->isChecked() ? 1 : 0);
    save("SpellShowEnglish", ckSpellShowEnglish->isChecked() ? 1 : 0);
    save("SpellAutoSnd", ckSpellAutoSnd->isChecked() ? 1 : 0);
    save("CurVolumeNo", cbVolume->currentIndex());
    save("CurLessonNo", lsLesson->currentRow());
    settings->sync();
}

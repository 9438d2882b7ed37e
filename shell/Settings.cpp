// The learner's options and place, kept between runs in the settings store
// (an INI file in the user's configuration folder, group "Options").

#include "shell/MainForm.h"
#include "shell/StatusControls.h"
#include "study/StudyModes.h"
#include "study/StudySession.h"

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
    showChineseSetting_ = settingNumber("ShowChinese", 1);
    session_->setShowChinese(showChineseSetting_ != 0);
    checkFrom(ckShowChinese, showChineseSetting_);

    AutoBrowseMode& autoBrowse = modes_->autoBrowse();
    const int repeatTimes = settingNumber("ShouldRepeatTimes", 1);
    autoBrowse.setRepeatTimes(repeatTimes);
    // Out of range: the list shows its first entry, the count stays as read.
    QComboBox* cbRepeatTimes = browsePanel_.cbRepeatTimes;
    cbRepeatTimes->setCurrentIndex(repeatTimes >= 1 && repeatTimes <= cbRepeatTimes->count() ? repeatTimes - 1 : 0);

    const int gap = settingNumber("GapSetting", 0);
    QComboBox* cbBrowseGap = browsePanel_.cbBrowseGap;
    cbBrowseGap->setCurrentIndex(gap >= 0 && gap < cbBrowseGap->count() ? gap : 0);

    checkFrom(spellPanel_.ckSpellShowChinese, settingNumber("SpellShowChinese", 1));
    checkFrom(spellPanel_.ckSpellShowEnglish, settingNumber("SpellShowEnglish", 0));
    checkFrom(spellPanel_.ckSpellAutoSnd, settingNumber("SpellAutoSnd", 1));
    checkFrom(spellPanel_.ckSpellLenient, settingNumber("SpellLenient", 0));
    checkFrom(spellPanel_.ckSpellHardOnly, settingNumber("SpellHardOnly", 0));

    // A speed that is not offered is the recorded speed.
    const int speed = cbSpeed->findData(settingNumber("PlaybackSpeed", kNormalSpeed));
    cbSpeed->setCurrentIndex(speed >= 0 ? speed : cbSpeed->findData(kNormalSpeed));
}

void MainForm::SaveAllSettings()
{
    auto settings = openSettings();
    auto save = [&settings](const char* key, int value) { settings->setValue(key, QString::number(value)); };
    const auto checked = [](const QCheckBox* box) { return box->isChecked() ? 1 : 0; };
    // The learner's own choice, also while dictation shows the lines anyway.
    save("ShowChinese", showChineseSetting_);
    save("ShouldRepeatTimes", modes_->autoBrowse().repeatTimes());
    save("GapSetting", browsePanel_.cbBrowseGap->currentIndex());
    save("SpellShowChinese", checked(spellPanel_.ckSpellShowChinese));
    save("SpellShowEnglish", checked(spellPanel_.ckSpellShowEnglish));
    save("SpellAutoSnd", checked(spellPanel_.ckSpellAutoSnd));
    save("CurVolumeNo", cbVolume->currentIndex());
    save("CurLessonNo", lsLesson->currentRow());
    // Options beyond the original eight keys are written only once they are
    // used, so a learner who never touches them keeps the same settings file.
    const auto saveOnceUsed = [&settings, &save](const char* key, int value, int defaultValue) {
        if (value != defaultValue || settings->contains(key))
            save(key, value);
    };
    saveOnceUsed("PlaybackSpeed", cbSpeed->currentData().toInt(), kNormalSpeed);
    saveOnceUsed("SpellLenient", spellPanel_.ckSpellLenient->isChecked() ? -1 : 0, 0);
    saveOnceUsed("SpellHardOnly", spellPanel_.ckSpellHardOnly->isChecked() ? -1 : 0, 0);
    settings->sync();
}

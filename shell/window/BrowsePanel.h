#pragma once

// The auto-browse panel: how many times each sentence plays and the pause
// after it. The mode reads the choices; a repeat count the learner picks
// counts from the next range end.

#include "study/AutoBrowseMode.h"

#include <QFrame>

class QComboBox;
class QLabel;

class BrowsePanel : public QFrame, public BrowseChoices {
    Q_OBJECT
public:
    explicit BrowsePanel(QWidget* parent);

    void connectTo(AutoBrowseMode& mode);

    int listedRepeatTimes() const override;
    int gapChoice() const override;

    // The stored choices: a repeat count outside the list shows its first
    // entry, a gap outside it the first gap.
    void showRepeatTimes(int times);
    void showGap(int gap);

private:
    QComboBox* cbRepeatTimes;  // "1" … "5"
    QComboBox* cbBrowseGap;    // the pause, fixed or a multiple of the sentence length
    QLabel *Label1, *Label2, *Label3;
};

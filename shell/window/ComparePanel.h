#pragma once

// The shadow-reading comparison's panel: its buttons, what it is doing, the
// view of the two readings and the take's scores.

#include "shell/window/Keys.h"
#include "study/ComparisonMode.h"

#include <QColor>
#include <QFrame>

class ComparisonView;
class QLabel;
class QPushButton;
struct FormLayout;

class ComparePanel : public QFrame, public ComparePanelView {
    Q_OBJECT
public:
    explicit ComparePanel(QWidget* parent);

    void connectTo(ComparisonMode& mode);
    // R D U L N S, while the comparison runs.
    std::vector<KeyBinding> keys() const;
    // The stretching parts: the view and the scores beside it.
    void place(const FormLayout& layout);

    void enableButton(Button button, bool enabled) override;
    void showCompareStatus(const QString& text) override;
    void showReading(Row row, std::shared_ptr<const VoiceProfile> reading) override;
    void showPlayPosition(Row row, double seconds) override;
    void clearPlayPosition() override;
    void showScores(const QString& similarity, const QString& intonation) override;
    void showPronunciation(const PronunciationShown& shown) override;

    // The colour a word of the sentence is shown in for its quality; poor and
    // missing words are underlined besides.
    static QColor colourOf(WordQuality quality);

private:
    const ComparisonMode* mode_ = nullptr;
    // In the order of ComparePanelView::Button.
    QPushButton* buttons_[6];
    QLabel* lbCompareStatus;
    ComparisonView* wvCompare;
    QLabel* lbSimilarity;
    QLabel* lbIntonation;
    QLabel* lbPronunciation;
    QLabel* lbCompleteness;
    QLabel* lbSpokenWords;
    QLabel* lbPractice;
};

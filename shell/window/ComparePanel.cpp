#include "shell/window/ComparePanel.h"

#include "shell/window/ComparisonView.h"
#include "shell/window/WidgetMaking.h"

#include <QLabel>
#include <QPushButton>
#include <QStringList>

namespace {

// In the order of ComparePanelView::Button, left to right.
const struct {
    const char* name;
    const char* caption;
    float left;
    int key;
    void (ComparisonMode::*click)();
} kButtons[] = {
    {"btRecord", "&R 录音", 120, Qt::Key_R, &ComparisonMode::btRecord_Click},
    {"btStandard", "&D 标准发音", 1410, Qt::Key_D, &ComparisonMode::btStandard_Click},
    {"btUser", "&U 您的发音", 2700, Qt::Key_U, &ComparisonMode::btUser_Click},
    {"btLoop", "&L循环对比", 4020, Qt::Key_L, &ComparisonMode::btLoop_Click},
    {"btCompareNext", "&N 下一句", 5310, Qt::Key_N, &ComparisonMode::btCompareNext_Click},
    {"btCompareStop", "&S 停止", 6600, Qt::Key_S, &ComparisonMode::btCompareStop_Click},
};

// Blue, orange and a dark red-purple: told apart in simulations of the three
// kinds of colour blindness (the poor one, underlined, also by lightness),
// each at least 4:1 against the window's grey.
const QColor kGoodColour(0x00, 0x5a, 0xb5);
const QColor kDoubtfulColour(0xa8, 0x5a, 0x00);
const QColor kPoorColour(0x99, 0x11, 0x44);

// The sentence's words as rich text, each in its quality's colour.
QString colouredWords(const std::vector<WordPronunciation>& words)
{
    QStringList shown;
    for (const WordPronunciation& word : words) {
        const bool underlined = word.quality == WordQuality::Poor || word.quality == WordQuality::Missing;
        shown << QString("<span style=\"color:%1;%2\">%3</span>")
                     .arg(ComparePanel::colourOf(word.quality).name(),
                          underlined ? "text-decoration:underline" : "", word.word.toHtmlEscaped());
    }
    return shown.join(' ');
}

// A caption as the key table names it: "&R 录音" is "录音".
QString withoutAccessKey(const QString& caption)
{
    const int at = caption.indexOf('&');
    return (at >= 0 ? caption.left(at) + caption.mid(at + 2) : caption).trimmed();
}

}  // namespace

ComparePanel::ComparePanel(QWidget* parent) : QFrame(parent)
{
    setObjectName("piCompare");
    setAutoFillBackground(true);
    for (int i = 0; i < 6; ++i) {
        buttons_[i] = button(this, kButtons[i].name, kButtons[i].caption);
        placeTwips(buttons_[i], kButtons[i].left, 90, 1200, 315);
    }
    lbCompareStatus = label(this, "lbCompareStatus", "当前状态：");
    placeTwips(lbCompareStatus, 7950, 150, 4095, 195);
    // Placed by place(), which stretches them with the panel.
    wvCompare = named(new ComparisonView(this), "wvCompare");
    lbSimilarity = label(this, "lbSimilarity", QString());
    lbIntonation = label(this, "lbIntonation", QString());
    lbPronunciation = label(this, "lbPronunciation", QString());
    lbCompleteness = label(this, "lbCompleteness", QString());
    lbSpokenWords = label(this, "lbSpokenWords", QString());
    lbSpokenWords->setTextFormat(Qt::RichText);
    lbSpokenWords->setWordWrap(true);
    lbSpokenWords->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbPractice = label(this, "lbPractice", QString());
    for (QLabel* score : {lbSimilarity, lbIntonation, lbPronunciation, lbCompleteness, lbSpokenWords, lbPractice})
        score->setFont(fontOf(kSongTi, 12));
}

void ComparePanel::connectTo(ComparisonMode& mode)
{
    mode_ = &mode;
    for (int i = 0; i < 6; ++i)
        connect(buttons_[i], &QPushButton::clicked, &mode, kButtons[i].click);
}

std::vector<KeyBinding> ComparePanel::keys() const
{
    const auto running = [this] { return mode_ != nullptr && mode_->isRunning(); };
    std::vector<KeyBinding> keys;
    for (int i = 0; i < 6; ++i) {
        const int key = kButtons[i].key;
        keys.push_back({key, Qt::NoModifier, QString(QChar(key)), "跟读对比中：" + withoutAccessKey(kButtons[i].caption),
                        buttons_[i], KeyBinding::ToTextBoxes, false, clickWhen(buttons_[i], running)});
    }
    return keys;
}

void ComparePanel::place(const FormLayout& l)
{
    wvCompare->setGeometry(l.wvCompare.toPixels());
    lbSimilarity->setGeometry(l.lbSimilarity.toPixels());
    lbIntonation->setGeometry(l.lbIntonation.toPixels());
    lbPronunciation->setGeometry(l.lbPronunciation.toPixels());
    lbCompleteness->setGeometry(l.lbCompleteness.toPixels());
    lbSpokenWords->setGeometry(l.lbSpokenWords.toPixels());
    lbPractice->setGeometry(l.lbPractice.toPixels());
}

void ComparePanel::enableButton(Button button, bool enabled) { buttons_[button]->setEnabled(enabled); }

void ComparePanel::showCompareStatus(const QString& text) { lbCompareStatus->setText(text); }

void ComparePanel::showReading(Row row, std::shared_ptr<const VoiceProfile> reading)
{
    wvCompare->setReading(ComparisonView::Row(row), std::move(reading));
}

void ComparePanel::showPlayPosition(Row row, double seconds)
{
    wvCompare->setPlayPosition(ComparisonView::Row(row), seconds);
}

void ComparePanel::clearPlayPosition() { wvCompare->clearPlayPosition(); }

void ComparePanel::showScores(const QString& similarity, const QString& intonation)
{
    lbSimilarity->setText(similarity);
    lbIntonation->setText(intonation);
}

// A take not judged has no words: why takes the sentence's row, which wraps.
void ComparePanel::showPronunciation(const PronunciationShown& shown)
{
    lbPronunciation->setText(shown.pronunciation);
    lbCompleteness->setText(shown.completeness);
    const bool judged = !shown.words.empty();
    lbSpokenWords->setText(judged ? colouredWords(shown.words) : shown.note.toHtmlEscaped());
    lbPractice->setText(judged ? shown.note : QString());
}

QColor ComparePanel::colourOf(WordQuality quality)
{
    switch (quality) {
    case WordQuality::Good:
        return kGoodColour;
    case WordQuality::Doubtful:
        return kDoubtfulColour;
    default:
        return kPoorColour;
    }
}

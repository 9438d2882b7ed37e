#pragma once

// The card a looked-up word shows next to it: the headword, its phonetic,
// the form it came from, the Chinese meanings, Collins stars, exam lists and
// frequency band, and the sentence it stands in; ▶ says the word, ▶▶ the
// sentence, 加入生词本 keeps it. Esc or a click anywhere else closes it. Its texts are plain
// labels, read by a screen reader as they show.

#include "dictionary/DictionaryEntry.h"

#include <QFrame>

class QLabel;
class QPushButton;

class WordCard : public QFrame {
    Q_OBJECT
public:
    explicit WordCard(QWidget& window);

    // Shows the lookup next to `wordBox` (window coordinates), in the
    // sentence `sentence` with the word's characters [from, from + length).
    void present(const WordLookup& lookup, const QString& sentence, int from, int length, const QRect& wordBox);
    void dismiss();
    // Whether the word on the card is in the word book already.
    void setSaved(bool saved);
    // Everything the card says, as plain text.
    QString plainText() const;

signals:
    void playWordAsked();
    void playSentenceAsked();
    void saveAsked();
    void dismissed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place(const QRect& wordBox);

    QLabel* entries_;
    QLabel* sentence_;
    QPushButton* playWord_;
    QPushButton* playSentence_;
    QPushButton* save_;
};

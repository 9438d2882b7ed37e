#pragma once

// The word book's window (生词本): each kept word with its first meaning and
// the sentences it was met in, the latest first. A sentence plays where it
// stands in its lesson; a word can be taken out of the book.

#include "record/WordBook.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;

class WordBookForm : public QDialog {
    Q_OBJECT
public:
    // meaningOf: the first Chinese meaning of a word, empty when unknown.
    WordBookForm(std::function<QString(const QString& word)> meaningOf, QWidget* parent);

    void showBook(const WordBook& book);

signals:
    void playAsked(const WordMeeting& meeting);
    void removeAsked(const QString& word);

private:
    void chosen();
    const SavedWord* chosenWord() const;
    const WordMeeting* chosenMeeting() const;

    std::function<QString(const QString&)> meaningOf_;
    WordBook book_;
    QTreeWidget* list_;
    QLabel* count_;
    QPushButton* play_;
    QPushButton* remove_;
};

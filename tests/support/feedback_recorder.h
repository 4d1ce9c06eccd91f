#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Records beeps, message boxes, questions and file dialogs instead of
// sounding or showing them, for as long as it lives. Questions take the
// answers queued in `answers` in turn (the escape answer, -1, once they run
// out); file dialogs take the paths queued in `files` (cancelled once they
// run out).
class FeedbackRecorder {
public:
    FeedbackRecorder();
    ~FeedbackRecorder();
    FeedbackRecorder(const FeedbackRecorder&) = delete;
    FeedbackRecorder& operator=(const FeedbackRecorder&) = delete;

    int beeps = 0;
    QStringList messages;
    QStringList questions;
    QList<QStringList> questionButtons;
    QList<int> answers;
    QStringList fileCaptions;
    QStringList files;

    void clear() {
        beeps = 0;
        messages.clear();
        questions.clear();
        questionButtons.clear();
        answers.clear();
        fileCaptions.clear();
        files.clear();
    }
};

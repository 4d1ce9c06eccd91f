#pragma once

#include <QString>
#include <QStringList>

// Records beeps and message boxes instead of sounding or showing them, for as
// long as it lives.
class FeedbackRecorder {
public:
    FeedbackRecorder();
    ~FeedbackRecorder();
    FeedbackRecorder(const FeedbackRecorder&) = delete;
    FeedbackRecorder& operator=(const FeedbackRecorder&) = delete;

    int beeps = 0;
    QStringList messages;

    void clear() {
        beeps = 0;
        messages.clear();
    }
};

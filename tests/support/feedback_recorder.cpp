#include "support/feedback_recorder.h"

#include "ui/form/feedback.h"

FeedbackRecorder::FeedbackRecorder() {
    feedback::setBeepHandler([this] { ++beeps; });
    feedback::setMessageHandler([this](QWidget*, const QString& text) { messages << text; });
    feedback::setAskHandler([this](QWidget*, const QString& text, const QStringList& buttons) {
        questions << text;
        questionButtons << buttons;
        return answers.isEmpty() ? -1 : answers.takeFirst();
    });
    feedback::setFileHandler(
        [this](feedback::FileChoice, const QString& caption, const QString&, const QString&) {
            fileCaptions << caption;
            return files.isEmpty() ? QString() : files.takeFirst();
        });
}

FeedbackRecorder::~FeedbackRecorder() {
    feedback::setBeepHandler({});
    feedback::setMessageHandler({});
    feedback::setAskHandler({});
    feedback::setFileHandler({});
}

#include "support/feedback_recorder.h"

#include "form/feedback.h"

FeedbackRecorder::FeedbackRecorder() {
    feedback::setBeepHandler([this] { ++beeps; });
    feedback::setMessageHandler([this](QWidget*, const QString& text) { messages << text; });
}

FeedbackRecorder::~FeedbackRecorder() {
    feedback::setBeepHandler({});
    feedback::setMessageHandler({});
}

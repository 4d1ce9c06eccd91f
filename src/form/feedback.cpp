#include "form/feedback.h"

#include <QApplication>
#include <QMessageBox>

namespace feedback {
namespace {
BeepHandler& beepHandler() {
    static BeepHandler handler;
    return handler;
}
MessageHandler& messageHandler() {
    static MessageHandler handler;
    return handler;
}
} // namespace

void beep() {
    if (beepHandler())
        beepHandler()();
    else
        QApplication::beep();
}

void message(QWidget* parent, const QString& text) {
    if (messageHandler()) {
        messageHandler()(parent, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Corvala"), text, QMessageBox::Ok, parent);
    box.exec();
}

void setBeepHandler(BeepHandler handler) {
    beepHandler() = std::move(handler);
}
void setMessageHandler(MessageHandler handler) {
    messageHandler() = std::move(handler);
}

} // namespace feedback

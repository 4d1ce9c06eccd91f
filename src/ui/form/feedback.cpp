#include "ui/form/feedback.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

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
AskHandler& askHandler() {
    static AskHandler handler;
    return handler;
}
FileHandler& fileHandler() {
    static FileHandler handler;
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

int ask(QWidget* parent, const QString& text, const QStringList& buttons, int escape) {
    if (askHandler())
        return askHandler()(parent, text, buttons);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Corvala"), text, QMessageBox::NoButton,
                    parent);
    QList<QPushButton*> added;
    for (int i = 0; i < buttons.size(); ++i) {
        // Roles only order the buttons as the desktop expects; the answer is
        // the button itself.
        const auto role = i == escape ? QMessageBox::RejectRole
                          : i == 0    ? QMessageBox::AcceptRole
                                      : QMessageBox::DestructiveRole;
        added << box.addButton(buttons[i], role);
    }
    if (!added.isEmpty())
        box.setDefaultButton(added.first());
    if (escape >= 0 && escape < added.size())
        box.setEscapeButton(added[escape]);
    box.exec();
    const int chosen = added.indexOf(static_cast<QPushButton*>(box.clickedButton()));
    return chosen >= 0 ? chosen : escape;
}

QString chooseFile(QWidget* parent, FileChoice choice, const QString& caption,
                   const QString& directory, const QString& filter) {
    if (fileHandler())
        return fileHandler()(choice, caption, directory, filter);
    return choice == FileChoice::Open
               ? QFileDialog::getOpenFileName(parent, caption, directory, filter)
               : QFileDialog::getSaveFileName(parent, caption, directory, filter);
}

void setBeepHandler(BeepHandler handler) {
    beepHandler() = std::move(handler);
}
void setMessageHandler(MessageHandler handler) {
    messageHandler() = std::move(handler);
}
void setAskHandler(AskHandler handler) {
    askHandler() = std::move(handler);
}
void setFileHandler(FileHandler handler) {
    fileHandler() = std::move(handler);
}

} // namespace feedback

#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// The system beep, the program's message boxes, questions and file dialogs go
// through here, so that tests can see what would have been shown, and answer
// it, without a modal dialog blocking.
namespace feedback {

void beep();
// A message box with the title "Corvala" and an OK button; waits for it.
void message(QWidget* parent, const QString& text);

// A question with one button per text, the first the default; the index of
// the button chosen, or `escape` when the box is closed without one.
int ask(QWidget* parent, const QString& text, const QStringList& buttons, int escape);

enum class FileChoice { Open, Save };
// A file dialog; the chosen path, or an empty text when cancelled.
QString chooseFile(QWidget* parent, FileChoice choice, const QString& caption,
                   const QString& directory, const QString& filter);

using BeepHandler = std::function<void()>;
using MessageHandler = std::function<void(QWidget* parent, const QString& text)>;
using AskHandler =
    std::function<int(QWidget* parent, const QString& text, const QStringList& buttons)>;
using FileHandler = std::function<QString(FileChoice choice, const QString& caption,
                                          const QString& directory, const QString& filter)>;
// An empty handler restores the real beep, message box, question or dialog.
void setBeepHandler(BeepHandler handler);
void setMessageHandler(MessageHandler handler);
void setAskHandler(AskHandler handler);
void setFileHandler(FileHandler handler);

} // namespace feedback

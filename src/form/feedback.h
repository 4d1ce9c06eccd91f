#pragma once

#include <QString>
#include <functional>

class QWidget;

// The system beep and the program's message boxes go through here, so that
// tests can see what would have been shown without a modal dialog blocking.
namespace feedback {

void beep();
// A message box with the title "Corvala" and an OK button; waits for it.
void message(QWidget* parent, const QString& text);

using BeepHandler = std::function<void()>;
using MessageHandler = std::function<void(QWidget* parent, const QString& text)>;
// An empty handler restores the real beep or message box.
void setBeepHandler(BeepHandler handler);
void setMessageHandler(MessageHandler handler);

} // namespace feedback

#pragma once

#include "cli/list_commands.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QCoreApplication;

namespace cli {

// What one formula of --eval gave: the answer as the calculator's history
// writes it after "答案：", or the messages the history would show instead.
struct Answer {
    bool ok = false;
    QString text;
    QStringList messages;
};

// Evaluates the formulas in order, as the calculator's "＝" would: blanks
// removed, letters upper-cased, the same engine and number texts. A formula
// that starts with an operator continues from the previous answer.
QList<Answer> evaluateFormulas(const QStringList& formulas);

// The cutting-list file the window is asked to open (`corvala list.cvl`, as
// the desktop's file association starts it), or nothing.
QString fileToOpen(const QStringList& arguments);

// Answers --help, --version, --eval and unknown options on the console,
// without a window or a display, and returns the exit status; returns nothing
// when the arguments ask for the window.
// --list and --cut are answered through `listCommands`, asked only when one
// of them is given; it gives nothing, with the reason, where they cannot be
// had.
using ListCommandsSource = std::function<const ListCommands*(QString& error)>;
// Commands that paint pages (a PDF: --tags, --cutting-sheet) need an
// application that can draw text without a display, which the shell makes;
// without one they say so.
using PaintingApplication =
    std::function<std::unique_ptr<QCoreApplication>(int& argc, char* argv[])>;
std::optional<int> runWithoutWindow(int argc, char* argv[], const ListCommandsSource& listCommands,
                                    const PaintingApplication& paintingApplication = {});

} // namespace cli

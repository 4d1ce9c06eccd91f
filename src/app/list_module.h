#pragma once

#include "cli/list_commands.h"
#include "ui/schedule/bar_quantity_source.h"

#include <QString>

class QMainWindow;

// The cutting list as the shell and the command line reach it: its window
// and its --list and --cut. It brings the cutting-plan solver (CLP with its
// LAPACK and BLAS), the Excel writer and printing, which the four tabs never
// need, so the program loads it as a module of its own the first time a list
// is asked for, and a start that asks for none never maps them.
class ListModule {
public:
    virtual const cli::ListCommands& commands() const = 0;
    // A new cutting-list window, reading the bar-quantity tab through `source`.
    virtual QMainWindow* newWindow(BarQuantitySource source) const = 0;
    // Offers the autosave copy left by a run that ended without saving.
    virtual void offerRecovery(QMainWindow* window) const = 0;
    virtual bool openFile(QMainWindow* window, const QString& path) const = 0;

protected:
    ~ListModule() = default;
};

// The module, loaded on the first call from beside the program (or, once
// installed, from its library folder); nothing, with the reason in `error`,
// where it cannot be loaded.
const ListModule* listModule(QString* error = nullptr);

// A build that links the cutting list in (the tests) hands it over here,
// and nothing is loaded.
void provideListModule(const ListModule* module);

// What the module exports, under C linkage so that it is found by name.
using ListModuleEntry = const ListModule* (*)();
inline constexpr char kListModuleEntry[] = "corvalaListModule";

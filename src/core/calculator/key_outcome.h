#pragma once

#include <QString>

namespace calculator {

// What a key that works on numbers asks the tab to do with the window.
struct KeyOutcome {
    enum class Kind {
        Nothing, // no sign at all
        Refused, // a beep, nothing changes
        Message, // a message box with `text`
        Note,    // `text` appended to the history, the box keeps its text
        Entry,   // `text` appended to the history, the box emptied, "ANS" tooltip refreshed
    };
    Kind kind = Kind::Nothing;
    QString text;
    bool focusBox = false;
    // Caret in the formula box after the focus, or -1 to leave it.
    int caret = -1;
};

// A formula box text with the caret to place in it.
struct Edit {
    QString text;
    int caret = 0;
};

} // namespace calculator

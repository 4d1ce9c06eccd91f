#pragma once

#include <QWidget>

class QPlainTextEdit;

// Form2: a fixed text about the program. Not modal, no owner; any mouse press
// on it or in its text, and any key pressed in the text, closes it.
class AboutWindow : public QWidget {
    Q_OBJECT
public:
    AboutWindow();
    static QString aboutText();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QPlainTextEdit* m_text = nullptr;
};

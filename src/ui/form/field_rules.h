#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QLineEdit;
class QKeyEvent;

// Character sets of the input fields.
namespace keysets {
inline const QString kDigits = QStringLiteral("0123456789");
inline const QString kDecimal = QStringLiteral("0123456789.");
inline const QString kArithmetic = QStringLiteral("0123456789.+-*/");
inline const QString kFormula = QStringLiteral("0123456789.+-*/^abceghilnopqrstx()");
} // namespace keysets

// The key filter: returns the key when its character is in `allowed`
// (letters compared without regard to case; Backspace too while `editable`),
// otherwise beeps once and returns 0.
short filterKey(short key, const QString& allowed, bool editable);

// The rules every text field shares: the key filter, select-all when the field
// takes the focus, and Enter to a successor. A tab lists its fields once; one
// event filter serves them all.
class FieldRules : public QObject {
public:
    struct Field {
        QLineEdit* edit = nullptr;
        // Allowed characters; an empty set means the field is not filtered.
        QString keys;
        // When set, asked on every key press instead of `keys`.
        std::function<QString()> keysNow;
        bool selectAllOnFocus = true;
        // Runs after the text has been selected on focus entry.
        std::function<void()> afterFocus;
        // Enter moves here, unless keyDown is set.
        QLineEdit* next = nullptr;
        // The field's own key-down rule (Qt key code), replacing the Enter move.
        std::function<void(int key)> keyDown;
    };

    explicit FieldRules(QObject* parent = nullptr);
    void addField(Field field);

    static bool isEnter(int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const Field* find(QObject* watched) const;
    bool keyPress(const Field& field, QKeyEvent* event);

    std::vector<Field> m_fields;
};

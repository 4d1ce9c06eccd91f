#pragma once

#include <QString>

namespace formula {

// Ends every history entry and every engine message.
inline const QString kHistorySeparator = QStringLiteral("\r\n_________________________\r\n");

// The engine's only view of the world: the calculator's formula box and its
// history. The calculator tab implements it over its real fields; tests over
// two strings.
class FormulaIo {
public:
    virtual ~FormulaIo() = default;
    virtual QString boxText() const = 0;
    // Must run the box's own change rule, as typing would.
    virtual void setBoxText(const QString& text) = 0;
    // Caret as the number of characters before it.
    virtual void setCaret(int position) = 0;
    virtual void focusBox() = 0;
    virtual void appendHistory(const QString& text) = 0;
};

// Validation and textual reduction of the formula in the formula box.
class Engine {
public:
    explicit Engine(FormulaIo& io);

    // Normalises the box and sets FormulaOk; reports the first fault in the history.
    void check();
    // Value of the formula box; valid only while CalcOk is still true.
    double Calc();
    // Removes every blank from the formula box.
    void DelSpace();

    bool FormulaOk = false;
    bool CalcOk = true;
    QString WorkFormula;

private:
    FormulaIo& m_io;
};

} // namespace formula

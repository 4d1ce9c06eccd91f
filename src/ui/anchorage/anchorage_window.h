#pragma once

#include "core/anchorage/anchorage_calc.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

// "锚固与搭接长度": anchorage and lap lengths of one bar, recomputed on every
// keystroke, the derivation written out beside the atlas's table with the
// current cell marked. A window of its own, not modal.
//
// Controls by object name:
//   steelGrade, concreteGrade, seismicGrade   combo boxes
//   olderConcreteCode  the lowest concrete grade by GB 50010-2010 4.1.2
//                      instead of GB 55008-2021 2.0.2 (check box)
//   concreteCodeNote   says which of the two is in use
//   diameter, percentLapped, cover, areaRatio fields (mm, %, mm, ratio)
//   tension, compression                      the bar's force (radio buttons)
//   epoxyCoated, disturbed, hooked            check boxes
//   derivation      the results with their formulas (read-only, copyable)
//   copyDerivation  copies it to the clipboard
//   tableTitle, atlasTable                    the atlas's table
class AnchorageWindow : public QWidget {
    Q_OBJECT
public:
    AnchorageWindow();

    // Reads the inputs and writes the derivation and the table.
    void recompute();
    const anchorage::Results& results() const { return m_results; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildInputs(QWidget* box);
    // The inputs as read, or why they cannot be read.
    std::optional<anchorage::Inputs> readInputs(QString& why) const;
    void showTable(const anchorage::Inputs& in);
    void copyDerivation();

    QComboBox* m_steel = nullptr;
    QComboBox* m_concrete = nullptr;
    QCheckBox* m_olderCode = nullptr;
    QLabel* m_codeNote = nullptr;
    QLineEdit* m_diameter = nullptr;
    QComboBox* m_seismic = nullptr;
    QLineEdit* m_percentLapped = nullptr;
    QRadioButton* m_tension = nullptr;
    QRadioButton* m_compression = nullptr;
    QCheckBox* m_epoxyCoated = nullptr;
    QCheckBox* m_disturbed = nullptr;
    QLineEdit* m_cover = nullptr;
    QLineEdit* m_areaRatio = nullptr;
    QCheckBox* m_hooked = nullptr;
    QPlainTextEdit* m_derivation = nullptr;
    QPushButton* m_copy = nullptr;
    QLabel* m_tableTitle = nullptr;
    QTableWidget* m_table = nullptr;
    // Enter moves through these in turn, and round again.
    QList<QWidget*> m_enterChain;
    anchorage::Results m_results;
};

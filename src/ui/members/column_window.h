#pragma once

#include "core/members/column_bars.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class ColumnElevationView;

// "柱平法": a frame column as the drawing's tables give it, the storey table
// and the column table, detailed floor by floor into cutting-list rows on
// every keystroke, with its elevation through the floors.
//
// Controls by object name:
//   columnMark, columnPosition, outerB1, outerB2, outerH1, outerH2
//   storeyTable    per storey: name, level (m), height (m), beam depth, concrete
//   addStorey, removeStorey, embedment (the storey on the 嵌固部位)
//   segmentTable   per segment: from, to, section, b1, b2, h1, h2, bars,
//                  corner, b-side, h-side, stirrup type, stirrups
//   addSegment, removeSegment
//   foundationTop, foundationDepth, foundationCover, allOnBottomMesh
//   columnConcrete, columnSeismic, columnCover, connection, anchorageFormula,
//   allOuterIntoBeam, denseAtLaps, columnStockLength, columnPhiGrade,
//   columnSeismicSteel
//   columnMessage  what the column reads as, or how many problems
//   columnRows, columnRowDerivation, columnProblems, columnElevation,
//   columnTabs, columnAccept
class ColumnWindow : public QDialog {
    Q_OBJECT
public:
    explicit ColumnWindow(QWidget* parent = nullptr);

    void setColumn(const members::ColumnMember& column);
    void setListSettings(const schedule::ListSettings& settings);
    // The column as the fields now read; a field that is no number reads as
    // 0, which the detailing reports with its place.
    members::ColumnMember column() const;
    const members::ColumnBars& bars() const { return m_bars; }

    void recompute();
    // A storey on top of the last, its level the last's top, its height and
    // beam the last's; a segment after the last, from the storey above it.
    void addStorey();
    void addSegment();

private:
    QWidget* buildTablesPage();
    QWidget* buildSettingsPage();
    QWidget* buildRowsPage();
    void refreshEmbedment();
    void showDerivation();

    QLineEdit* m_mark = nullptr;
    QComboBox* m_position = nullptr;
    QCheckBox* m_outer[4] = {};
    QTableWidget* m_storeys = nullptr;
    QComboBox* m_embedment = nullptr;
    QTableWidget* m_segments = nullptr;
    QLineEdit* m_foundationTop = nullptr;
    QLineEdit* m_foundationDepth = nullptr;
    QLineEdit* m_foundationCover = nullptr;
    QCheckBox* m_bottomMesh = nullptr;
    QComboBox* m_concrete = nullptr;
    QComboBox* m_seismic = nullptr;
    QLineEdit* m_cover = nullptr;
    QComboBox* m_connection = nullptr;
    QCheckBox* m_formula = nullptr;
    QCheckBox* m_allOuter = nullptr;
    QCheckBox* m_denseAtLaps = nullptr;
    QLineEdit* m_stock = nullptr;
    QComboBox* m_phiGrade = nullptr;
    QCheckBox* m_seismicSteel = nullptr;
    QLabel* m_message = nullptr;
    QTabWidget* m_tabs = nullptr;
    QTableWidget* m_rows = nullptr;
    QPlainTextEdit* m_derivation = nullptr;
    QPlainTextEdit* m_problems = nullptr;
    ColumnElevationView* m_elevation = nullptr;
    QPushButton* m_accept = nullptr;

    members::ColumnBars m_bars;
    schedule::ListSettings m_listSettings;
    bool m_filling = false;
};

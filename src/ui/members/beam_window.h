#pragma once

#include "core/members/beam_bars.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;
class QTableWidget;
class QPushButton;
class BeamElevationView;

// "梁平法": a beam as its drawing writes it, the 集中标注 on one line and the
// 原位标注 by support and span, detailed into cutting-list rows on every
// keystroke, with its elevation drawn to scale to check by eye.
//
// Controls by object name:
//   beamAnnotation     the 集中标注 (one line)
//   annotationMessage  what the annotation reads as, or its first fault
//   spanTable          per span: ln, 原位 bottom bars, section, stirrups, side bars
//   supportTable       per support: hc, 原位 top bars (both sides), left, right
//   leftCantilever, rightCantilever (lengths), leftCantileverBottom,
//   rightCantileverBottom, leftCantileverStirrups, rightCantileverStirrups
//   beamConcrete, beamSeismic, beamCover, columnCover, columnBarsInside,
//   leftEndSupport, rightEndSupport, stockLength, splice, anchorageBasis,
//   anchorageMultiple, straightToFarFace, bottomInsideTopHooks,
//   bottomThroughEqualSpans, sideBarsContinuous, roofColumnIntoBeam,
//   nonFrameFullyUsed, hookAllowance, tieDiameter, phiGrade, seismicSteel
//   beamRows           the generated rows; rowDerivation the current row's
//   beamProblems       what could not be detailed
//   beamElevation      the elevation drawing
//   beamTabs           the pages; beamAccept puts the rows into the list
class BeamWindow : public QDialog {
    Q_OBJECT
public:
    explicit BeamWindow(QWidget* parent = nullptr);

    void setBeam(const members::BeamMember& beam);
    // The list's rounding and hook rule, for the cut lengths shown.
    void setListSettings(const schedule::ListSettings& settings);
    // The beam as the fields now read; a field that is no number reads as 0,
    // which the detailing reports.
    members::BeamMember beam() const;
    const members::BeamBars& bars() const { return m_bars; }

    // Reads the fields, details the beam and shows its rows, problems and
    // elevation.
    void recompute();

private:
    void buildLayout();
    QWidget* buildGeometryPage();
    QWidget* buildSettingsPage();
    QWidget* buildRowsPage();
    // Rows of the span and support tables to suit the annotation's spans.
    void fitTables(int spans);
    void showRows();
    void showDerivation();

    QLineEdit* m_annotation = nullptr;
    QLabel* m_message = nullptr;
    QTabWidget* m_tabs = nullptr;
    QTableWidget* m_spans = nullptr;
    QTableWidget* m_supports = nullptr;
    QLineEdit* m_leftLength = nullptr;
    QLineEdit* m_rightLength = nullptr;
    QLineEdit* m_leftBottom = nullptr;
    QLineEdit* m_rightBottom = nullptr;
    QLineEdit* m_leftStirrups = nullptr;
    QLineEdit* m_rightStirrups = nullptr;
    QComboBox* m_concrete = nullptr;
    QComboBox* m_seismic = nullptr;
    QLineEdit* m_beamCover = nullptr;
    QLineEdit* m_columnCover = nullptr;
    QLineEdit* m_columnBarsInside = nullptr;
    QComboBox* m_leftEnd = nullptr;
    QComboBox* m_rightEnd = nullptr;
    QComboBox* m_stock = nullptr;
    QComboBox* m_splice = nullptr;
    QComboBox* m_anchorage = nullptr;
    QLineEdit* m_anchorageMultiple = nullptr;
    QCheckBox* m_farFace = nullptr;
    QCheckBox* m_insideHooks = nullptr;
    QCheckBox* m_throughEqual = nullptr;
    QCheckBox* m_sideContinuous = nullptr;
    QCheckBox* m_columnIntoBeam = nullptr;
    QCheckBox* m_fullyUsed = nullptr;
    QLineEdit* m_hookAllowance = nullptr;
    QLineEdit* m_tieDiameter = nullptr;
    QComboBox* m_phiGrade = nullptr;
    QCheckBox* m_seismicSteel = nullptr;
    QTableWidget* m_rows = nullptr;
    QPlainTextEdit* m_derivation = nullptr;
    QPlainTextEdit* m_problems = nullptr;
    BeamElevationView* m_elevation = nullptr;
    QPushButton* m_accept = nullptr;

    members::BeamBars m_bars;
    schedule::ListSettings m_listSettings;
    bool m_filling = false;
};

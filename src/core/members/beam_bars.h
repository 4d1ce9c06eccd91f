#pragma once

#include "core/anchorage/anchorage_calc.h"
#include "core/codes/beam_detailing_rules.h"
#include "core/members/beam_notation.h"
#include "core/schedule/cutting_list.h"

#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

// A beam as its flat-method drawing gives it, detailed bar by bar into rows of
// the cutting list by 22G101-1's rules (codes/beam_detailing_rules.h). Each
// row holds its shape's outer dimensions; the list's own geometry makes the
// cut length.
namespace members {

// Where published practice differs from the atlas: the atlas is the default.
struct BeamSettings {
    // laE (or la) from the atlas's table (default), the unrounded formula, or
    // a given multiple of d.
    enum class AnchorageBasis { Table, Formula, Multiple };
    AnchorageBasis anchorageBasis = AnchorageBasis::Table;
    double anchorageMultiple = 0; // × d, for Multiple
    // A straight end in an end support: max(laE, 0.5hc + 5d) long, taken
    // when the support is that deep (default, 第2-33页); or to the far face
    // hc − c, taken when that reaches laE.
    bool straightToFarFace = false;
    // Bottom bars bent up inside the top bars' legs: their horizontal run
    // 50 mm shorter.
    bool bottomInsideTopHooks = false;
    // Bottom bars of two spans with the same bars run through the support
    // between them instead of anchoring on each side.
    bool bottomThroughEqualSpans = false;
    // Constructional side bars (G) alike in consecutive spans run on through
    // the supports, lapped 15d, instead of one bar per span.
    bool sideBarsContinuous = false;
    // WKL end joints: the beam's bars anchor into the column, leg 1.7labE
    // (default); or the column's bars anchor into the beam, leg to the beam's
    // bottom.
    bool roofColumnIntoBeam = false;
    // L: the end supports designed as hinged (0.35lab, ln/5; default) or with
    // the bars' strength fully used (0.6lab, ln/3).
    bool nonFrameFullyUsed = false;
    // Budget length of a 135° hook: 1.9d + max(10d, 75) (default) or a table
    // allowance in multiples of d per hook.
    std::optional<double> hookAllowance;
    // Stock bars and how longer bars are joined.
    double stockLength = 12000;
    codes::beams::Splice splice = codes::beams::Splice::Lap;
    // Ties' diameter when the drawing gives it; by the beam's width otherwise.
    std::optional<int> tieDiameter;
    // The notation's grades: Φ's grade and seismic steel (E grades).
    NotationOptions notation;

    bool operator==(const BeamSettings&) const = default;
};

// 原位标注 over a support: the same on both sides ("both"), or per side.
struct SupportNote {
    QString both, left, right;
    bool operator==(const SupportNote&) const = default;
};

// 原位标注 of a span: its bottom bars, and what it changes of the 集中标注.
struct SpanNote {
    QString bottom, section, stirrups, side;
    bool operator==(const SpanNote&) const = default;
};

struct Cantilever {
    double length = 0; // clear, from the support's face to the tip
    QString bottom;    // its bottom bars; its top bars are the support's note on its side
    QString stirrups;  // its own, when the drawing gives them
    bool operator==(const Cantilever&) const = default;
};

enum class EndSupport { Column, Beam };

struct BeamMember {
    QString annotation;            // 集中标注
    QList<double> spans;           // clear spans ln, mm
    QList<double> supports;        // support widths hc along the beam, spans + 1
    QList<SupportNote> atSupports; // up to spans + 1
    QList<SpanNote> atSpans;       // up to spans
    std::optional<Cantilever> leftCantilever, rightCantilever;
    int concrete = 30;
    codes::SeismicGrade seismic = codes::SeismicGrade::Second;
    double beamCover = 20;   // to the stirrups, environment class 一
    double columnCover = 20; // of the end supports
    // The column's stirrup and outer bar the beam's bars bend inside of, when
    // given (mm); bent ends stop at hc − c − this.
    double columnBarsInside = 0;
    EndSupport leftEnd = EndSupport::Column, rightEnd = EndSupport::Column;
    BeamSettings settings;

    bool operator==(const BeamMember&) const = default;
};

// Where a bar along the beam lies, for its elevation: x in mm from the left
// end support's outer face (a left cantilever's tip is at negative x), its
// legs bent down from the top or up from the bottom, and its row counted
// from the face it lies at (1: the outer row).
struct BarPlace {
    double x0 = 0, x1 = 0;
    double leg0 = 0, leg1 = 0;
    bool top = true;
    int row = 1;
};

// One generated row: the list's row and what made it.
struct BeamRow {
    schedule::BarRow bar;
    QString role;               // topContinuous, supportTop1, ... (roleName() in Chinese)
    std::optional<int> span;    // 1-based
    std::optional<int> support; // 1-based
    double budgetLength = 0;    // 预算长度: outer dimensions and 135° hooks, no deductions
    QString derivation;
    std::optional<BarPlace> place; // bars along the beam; none for stirrups and ties
};

// The beam's outline along its length, for its elevation: each support's
// faces, the ends (cantilever tips included), each span's depth and the
// stirrups' dense zones, all by x as in BarPlace.
struct BeamOutline {
    QList<double> faceLeft, faceRight; // per support
    double left = 0, right = 0;
    QList<double> spanDepth;
    double leftTipDepth = 0, rightTipDepth = 0; // cantilevers' tips; 0 where none
    QList<std::pair<double, double>> denseZones;
};

struct BeamProblem {
    QString where;
    QString reason;
};

struct BeamBars {
    QString name; // the beam's number, "KL1", once the annotation is read
    QList<BeamRow> rows;
    QList<BeamProblem> problems;
    BeamOutline outline; // empty when the annotation could not be read
};

BeamBars detailBeam(const BeamMember& beam);

QString roleName(const QString& role);

// The beam as its JSON (the --beam file format, docs/beams.md), and back;
// a fault names the key.
QJsonObject beamToJson(const BeamMember& beam);
struct BeamRead {
    std::optional<BeamMember> beam;
    QString error;
};
BeamRead beamFromJson(const QJsonObject& o);

// A member of the cutting list made of a beam's rows, the beam kept as the
// source they were generated from, under "beam".
schedule::Member beamListMember(const BeamMember& beam, const BeamBars& bars, int count = 1);
// The beam a list's member was generated from; none for rows typed by hand,
// another kind of member, or a source that no longer reads as a beam.
std::optional<BeamMember> beamOfListMember(const schedule::Member& member);

} // namespace members

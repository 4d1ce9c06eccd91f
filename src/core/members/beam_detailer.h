#pragma once

// The detailing of one beam, shared by the files that do its parts: reading
// the annotation, the longitudinal bars and their ends, stirrups and ties,
// and long bars cut into pieces. Only core/members/ includes it.

#include "core/members/beam_bars.h"

#include "core/codes/bar_masses.h"
#include "core/numbers/number_text.h"

#include <QJsonArray>
#include <QStringList>

#include <algorithm>
#include <cmath>

#include "core/anchorage/anchorage_calc.h"

#include <optional>

namespace members::detail {

using codes::SeismicGrade;
using codes::SteelGrade;
namespace rules = codes::beams;

// A bar cut into more pieces than this is a typing slip in the spans.
inline constexpr int kMostJoints = 100;

inline QString n0(double v) {
    return numbers::generalNumberText(std::round(v * 10) / 10);
}

// A bar along the beam: x from the left end support's outer face, legs
// bent down (top bars) or up (bottom bars) at either end.
struct Segment {
    QString role;
    int row = 1;
    SteelGrade grade = SteelGrade::HRB400;
    int d = 0;
    int count = 0;
    double x0 = 0, x1 = 0;
    double leg0 = 0, leg1 = 0;
    std::optional<int> span, support;
    QStringList why;
    bool top = true;
    bool hooked = false; // a plain bar's 180° hooks at both ends
};

struct Lengths {
    double la = 0;  // laE with seismic design, la without
    double lab = 0; // labE or lab
    double ll = 0;  // llE or ll, 50 % lapped in one zone
    bool ok = false;
};

struct Detailer {
    const BeamMember& beam;
    const BeamSettings& set;
    BeamHeader header;
    BeamBars out;
    QList<Segment> segments;
    int spans = 0;
    QList<double> faceLeft, faceRight;          // each support's faces, by x
    QList<BarLayout> supportLeft, supportRight; // top rows at each support, per side
    QList<Section> spanSection;
    QList<Stirrups> spanStirrups;
    QList<std::optional<SideBars>> spanSide;
    QList<std::optional<BarLayout>> spanBottom;

    Detailer(const BeamMember& b) : beam(b), set(b.settings) {}

    bool frame() const { return header.type != BeamType::NonFrame; }
    SeismicGrade seismic() const { return frame() ? beam.seismic : SeismicGrade::None; }

    void problem(const QString& where, const QString& reason) {
        for (const BeamProblem& p : out.problems)
            if (p.where == where && p.reason == reason)
                return;
        out.problems << BeamProblem{where, reason};
    }

    Lengths lengths(SteelGrade grade, int d) {
        anchorage::Inputs in;
        in.steel = grade;
        in.concrete = beam.concrete;
        in.diameter = d;
        in.seismic = seismic();
        in.percentLapped = rules::kJointShare * 100;
        const anchorage::Results r = anchorage::compute(in);
        Lengths l;
        if (!r.objection.isEmpty()) {
            problem(QStringLiteral("%1%2").arg(codes::gradeName(grade)).arg(d), r.objection);
            return l;
        }
        const bool seismicDesign = r.laE.has_value();
        const anchorage::Length la = seismicDesign ? *r.laE : r.la;
        const anchorage::Length lab = seismicDesign ? *r.labE : r.lab;
        const anchorage::Length ll = seismicDesign ? *r.llE : r.ll;
        switch (set.anchorageBasis) {
        case BeamSettings::AnchorageBasis::Table:
            l.la = la.tableMm, l.lab = lab.tableMm, l.ll = ll.tableMm;
            break;
        case BeamSettings::AnchorageBasis::Formula:
            l.la = std::ceil(la.exactMm), l.lab = std::ceil(lab.exactMm),
            l.ll = std::ceil(ll.exactMm);
            break;
        case BeamSettings::AnchorageBasis::Multiple:
            l.la = set.anchorageMultiple * d;
            l.lab = lab.tableMm;
            l.ll = ll.tableMm;
            break;
        }
        l.ll = std::max(l.ll, codes::kShortestLap);
        l.ok = true;
        return l;
    }

    double ln(int span) const { return beam.spans[span]; }
    double spanStart(int span) const { return faceRight[span]; }
    double spanEnd(int span) const { return faceLeft[span + 1]; }
    double hc(int support) const { return beam.supports[support]; }
    bool cantileverAt(int support) const {
        return (support == 0 && beam.leftCantilever) || (support == spans && beam.rightCantilever);
    }
    // Torsion bars (N) in a span beside the support.
    bool torsionBeside(int support) const {
        for (int sp : {support - 1, support})
            if (sp >= 0 && sp < spans && spanSide[sp] && spanSide[sp]->torsion)
                return true;
        return false;
    }
    bool endSupport(int support) const {
        return (support == 0 || support == spans) && !cantileverAt(support);
    }
    QString spanName(int span) const { return QStringLiteral("第 %1 跨").arg(span + 1); }
    QString supportName(int support) const { return QStringLiteral("第 %1 支座").arg(support + 1); }
    QString sideName(bool left) const { return left ? QStringLiteral("左") : QStringLiteral("右"); }

    // ---- reading --------------------------------------------------------

    template <typename T> std::optional<T> read(const Parsed<T>& p, const QString& where) {
        if (!p.value)
            for (const NotationError& e : p.errors)
                problem(where,
                        QStringLiteral("第 %1 个字符：%2").arg(e.position + 1).arg(e.reason));
        return p.value;
    }

    bool readAll();

    // ---- ends -------------------------------------------------------------

    struct End {
        double x = 0;   // where the bar ends, by x
        double leg = 0; // 0: straight
        bool ok = true;
    };

    End endAnchorage(int support, const Segment& bar, Lengths l, QStringList& why);

    double tipX(bool left) const;

    bool closeEnd(Segment& s, bool left, QStringList& why);

    // ---- bars -------------------------------------------------------------

    void topContinuous();

    QList<QList<BarGroup>> extraRows(const BarLayout& layout, const QString& where);

    double reachAt(int support, int row, QString& text);

    void supportBars();

    bool cantileverTopEnd(Segment& seg, bool left, int row, QStringList& why);

    void supportSide(int s, const QList<QList<BarGroup>>& rows, bool leftSide);

    void joinOverShortSpans();

    void erection();

    void bottom();

    void sideBars();

    // ---- stirrups and ties -----------------------------------------------

    double hook(int d) const;

    void addRow(BeamRow row);

    std::pair<int, int> barsAcross(int sp) const;

    void stirrups();

    void innerLegs(int sp, int legs, int count, double a, double b, const Stirrups& st);

    void ties(int sp, const Stirrups& st);

    void cantilevers();

    // ---- long bars --------------------------------------------------------

    QList<std::pair<double, double>> jointZones(const Segment& s) const;

    std::optional<double> jointPoint(const QList<std::pair<double, double>>& zones, double after,
                                     double limit, const QList<double>& avoid, double gap) const;

    double totalLength(const Segment& s) const { return s.x1 - s.x0 + s.leg0 + s.leg1; }

    void emitSegment(const Segment& s);

    void splitAndEmit(const Segment& s);

    void run();
};

} // namespace members::detail

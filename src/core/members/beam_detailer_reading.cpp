// Reading the beam: its annotation checked against its spans and supports.

#include "core/members/beam_detailer.h"

namespace members::detail {

bool Detailer::readAll() {
    const Parsed<BeamHeader> h = parseHeader(beam.annotation, set.notation);
    if (!read(h, QStringLiteral("集中标注")))
        return false;
    header = *h.value;
    spans = header.spans;
    out.name = header.number;
    const QString name = QStringLiteral("%1(%2%3)")
                             .arg(header.number)
                             .arg(header.spans)
                             .arg(header.cantilevers == CantileverEnds::One    ? "A"
                                  : header.cantilevers == CantileverEnds::Both ? "B"
                                                                               : "");
    bool ok = true;
    if (beam.spans.size() != spans) {
        problem(QStringLiteral("跨长"), QStringLiteral("集中标注 %1 注明 %2 跨，但给出了 %3 个跨长")
                                            .arg(name)
                                            .arg(spans)
                                            .arg(beam.spans.size()));
        ok = false;
    }
    if (beam.supports.size() != spans + 1) {
        problem(QStringLiteral("支座宽度"),
                QStringLiteral("%1 跨的梁应有 %2 个支座宽度，给出了 %3 个")
                    .arg(spans)
                    .arg(spans + 1)
                    .arg(beam.supports.size()));
        ok = false;
    }
    const int cantilevers = (beam.leftCantilever ? 1 : 0) + (beam.rightCantilever ? 1 : 0);
    const int written = header.cantilevers == CantileverEnds::None  ? 0
                        : header.cantilevers == CantileverEnds::One ? 1
                                                                    : 2;
    if (cantilevers != written) {
        problem(QStringLiteral("悬挑"),
                QStringLiteral("集中标注 %1 注明 %2 端悬挑，给出了 %3 个悬挑长度")
                    .arg(name)
                    .arg(written)
                    .arg(cantilevers));
        ok = false;
    }
    if (beam.atSupports.size() > spans + 1) {
        problem(QStringLiteral("支座原位标注"),
                QStringLiteral("给出了 %1 个支座的原位标注，梁只有 %2 个支座")
                    .arg(beam.atSupports.size())
                    .arg(spans + 1));
        ok = false;
    }
    if (beam.atSpans.size() > spans) {
        problem(QStringLiteral("跨中原位标注"),
                QStringLiteral("给出了 %1 跨的原位标注，梁只有 %2 跨")
                    .arg(beam.atSpans.size())
                    .arg(spans));
        ok = false;
    }
    const auto positive = [&](double v, const QString& where) {
        if (!(v > 0 && v < 1e6)) {
            problem(where, QStringLiteral("应为大于 0 的长度（毫米）"));
            ok = false;
        }
    };
    for (qsizetype i = 0; i < beam.spans.size(); ++i)
        positive(beam.spans[i], spanName(int(i)) + QStringLiteral("净跨"));
    for (qsizetype i = 0; i < beam.supports.size(); ++i)
        positive(beam.supports[i], supportName(int(i)) + QStringLiteral("宽度"));
    if (beam.leftCantilever)
        positive(beam.leftCantilever->length, QStringLiteral("左悬挑长度"));
    if (beam.rightCantilever)
        positive(beam.rightCantilever->length, QStringLiteral("右悬挑长度"));
    if (!(beam.beamCover >= 10 && beam.beamCover < 200) ||
        !(beam.columnCover >= 10 && beam.columnCover < 200) ||
        !(beam.columnBarsInside >= 0 && beam.columnBarsInside < 200)) {
        problem(QStringLiteral("保护层"), QStringLiteral("保护层应在 10～200 mm 之间"));
        ok = false;
    }
    if (!(set.stockLength >= 3000 && set.stockLength <= 15000)) {
        problem(QStringLiteral("定尺长度"), QStringLiteral("定尺长度应在 3000～15000 mm 之间"));
        ok = false;
    }
    if (set.anchorageBasis == BeamSettings::AnchorageBasis::Multiple &&
        !(set.anchorageMultiple >= 10 && set.anchorageMultiple <= 100)) {
        problem(QStringLiteral("锚固长度"), QStringLiteral("锚固长度倍数应在 10d～100d 之间"));
        ok = false;
    }
    if (!ok)
        return false;

    double x = 0;
    for (int s = 0; s <= spans; ++s) {
        faceLeft << x;
        x += hc(s);
        faceRight << x;
        if (s < spans)
            x += ln(s);
    }
    for (int s = 0; s <= spans; ++s) {
        const SupportNote note = beam.atSupports.value(s);
        const QString where = supportName(s) + QStringLiteral("原位标注");
        const auto layoutOf = [&](const QString& text, const QString& side) -> BarLayout {
            if (text.trimmed().isEmpty())
                return {};
            const std::optional<BarLayout> l = read(parseLayout(text, set.notation), where + side);
            if (!l)
                ok = false;
            return l.value_or(BarLayout{});
        };
        const BarLayout both = layoutOf(note.both, QString());
        const BarLayout left = layoutOf(note.left, QStringLiteral("（左）"));
        const BarLayout right = layoutOf(note.right, QStringLiteral("（右）"));
        supportLeft << (note.left.trimmed().isEmpty() ? both : left);
        supportRight << (note.right.trimmed().isEmpty() ? both : right);
    }
    for (int s = 0; s < spans; ++s) {
        const SpanNote note = beam.atSpans.value(s);
        const QString where = spanName(s) + QStringLiteral("原位标注");
        Section section = header.section;
        if (!note.section.trimmed().isEmpty()) {
            const auto p = read(parseSection(note.section), where + QStringLiteral("（截面）"));
            ok = ok && p.has_value();
            section = p.value_or(section);
        }
        Stirrups stirrups = header.stirrups;
        if (!note.stirrups.trimmed().isEmpty()) {
            const auto p = read(parseStirrups(note.stirrups, set.notation),
                                where + QStringLiteral("（箍筋）"));
            ok = ok && p.has_value();
            stirrups = p.value_or(stirrups);
        }
        std::optional<SideBars> side = header.side;
        if (!note.side.trimmed().isEmpty()) {
            const auto p = read(parseSideBars(note.side, set.notation),
                                where + QStringLiteral("（侧面钢筋）"));
            ok = ok && p.has_value();
            side = p ? p : side;
        }
        std::optional<BarLayout> bottom;
        if (!note.bottom.trimmed().isEmpty()) {
            bottom =
                read(parseLayout(note.bottom, set.notation), where + QStringLiteral("（下部）"));
            ok = ok && bottom.has_value();
        }
        spanSection << section;
        spanStirrups << stirrups;
        spanSide << side;
        spanBottom << bottom;
    }
    return ok;
}

} // namespace members::detail

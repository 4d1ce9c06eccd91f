// libFuzzer target for beams: the flat-method annotation a user types and the
// beam file --beam reads. Whatever the bytes, reading never crashes; a fault
// lies within the text; a read beam writes and reads back unchanged; every
// generated row is one the cutting list can work out, with its derivation.
#include "core/members/beam_bars.h"
#include "core/schedule/computation.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "beam_fuzz: %s\n", what);
        std::abort();
    }
}

template <typename T> void checkParsed(const members::Parsed<T>& p, const QString& text) {
    require(p.value.has_value() == p.errors.isEmpty(), "a value beside faults, or neither");
    for (const members::NotationError& e : p.errors) {
        require(e.position >= 0 && e.position <= text.size(), "a fault outside the text");
        require(!e.reason.isEmpty(), "a fault without a reason");
    }
}

void checkBars(const members::BeamMember& beam) {
    const members::BeamBars bars = members::detailBeam(beam);
    schedule::ListSettings settings;
    for (const members::BeamRow& r : bars.rows) {
        require(!r.derivation.isEmpty(), "a row without its derivation");
        require(r.bar.countPerMember > 0, "a row without bars");
        require(r.budgetLength > 0, "a row without a budget length");
        const schedule::RowResult result = schedule::computeRow(r.bar, 1, settings);
        // A bar too short to bend is the beam's fault, not a crash; anything
        // else the list refuses is the generator's.
        if (result.problem)
            require(result.problem->field == schedule::Field::Dimension,
                    "a generated row the list refuses for other than its size");
    }
    for (const members::BeamProblem& p : bars.problems)
        require(!p.reason.isEmpty(), "a problem without a reason");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QJsonDocument doc = QJsonDocument::fromJson(bytes);
    if (doc.isObject()) {
        const members::BeamRead read = members::beamFromJson(doc.object());
        require(read.beam.has_value() == read.error.isEmpty(), "a beam beside an error");
        if (read.beam) {
            const members::BeamRead again = members::beamFromJson(members::beamToJson(*read.beam));
            require(again.beam && *again.beam == *read.beam,
                    "a beam does not read back as written");
            checkBars(*read.beam);
        }
        return 0;
    }
    // The bytes as an annotation typed in the window, over spans of 6 m.
    const QString text = QString::fromUtf8(bytes);
    const members::Parsed<members::BeamHeader> header = members::parseHeader(text);
    checkParsed(header, text);
    checkParsed(members::parseLayout(text), text);
    checkParsed(members::parseStirrups(text), text);
    checkParsed(members::parseSideBars(text), text);
    if (header.value && header.value->spans <= 12) {
        members::BeamMember beam;
        beam.annotation = text;
        for (int i = 0; i < header.value->spans; ++i)
            beam.spans << 6000 - 900 * (i % 5);
        for (int i = 0; i <= header.value->spans; ++i)
            beam.supports << 500;
        if (header.value->cantilevers != members::CantileverEnds::None)
            beam.rightCantilever = members::Cantilever{1800, QStringLiteral("2C16"), {}};
        if (header.value->cantilevers == members::CantileverEnds::Both)
            beam.leftCantilever = members::Cantilever{1500, {}, {}};
        checkBars(beam);
    }
    return 0;
}

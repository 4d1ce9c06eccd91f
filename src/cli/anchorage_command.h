#pragma once

#include <QString>

class QCommandLineParser;

// corvala --anchor: anchorage and lap lengths on the console, by the same
// core as the window.
namespace cli {

// Adds --anchor and its options (--steel, --concrete, --diameter, --seismic,
// --lapped, --epoxy, --disturbed, --cover, --json) to the parser.
void addAnchorageOptions(QCommandLineParser& parser);

// Whether the command line asks for anchorage lengths: --anchor or one of
// its options.
bool anchorageAsked(const QCommandLineParser& parser);

// What to print on standard output and standard error, and the exit status:
// every result with its derivation, or with --json one JSON object; a
// faulty input gives its reason on standard error and status 1.
struct AnchorageReply {
    int status = 0;
    QString out;
    QString err;
};
AnchorageReply answerAnchorage(const QCommandLineParser& parser);

} // namespace cli

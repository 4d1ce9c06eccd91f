#include "cli/command_line.h"

#include "cli/anchorage_command.h"
#include "core/calculator/equals_key.h"
#include "core/calculator/history.h"
#include "core/calculator/string_formula_io.h"
#include "core/numbers/number_text.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#endif

namespace cli {

QList<Answer> evaluateFormulas(const QStringList& formulas) {
    calculator::CalculatorState state;
    calculator::StringFormulaIo box(state);
    double previous = 0;
    QList<Answer> answers;
    for (QString formula : formulas) {
        Answer answer;
        // The calculator drops an operator typed first when the last result is
        // 0, because its box cannot show "0-"; on the command line that would
        // turn -5 into 5, so a leading operator always continues from the
        // previous answer, 0 included.
        if (!formula.isEmpty() && calculator::isOperatorContinuation(formula.left(1)))
            formula.prepend(numbers::generalNumberText(previous));
        // The calculator's box holds at most 255 characters and cuts the rest;
        // an answer to a cut formula would answer another question.
        if (formula.size() > formula::kMaxFormulaLength) {
            answer.messages << formula::kTooLongMessage;
            answers << answer;
            continue;
        }
        box.setBoxText(formula);
        const calculator::EqualsOutcome outcome = calculator::pressEquals(box, state);
        answer.ok = outcome.succeeded;
        answer.text = outcome.answer;
        answer.messages = outcome.messages;
        if (answer.ok)
            previous = state.lastResult;
        else if (answer.messages.isEmpty()) // an empty formula, which "＝" passes over
            answer.messages << calculator::kFailureMessage;
        answers << answer;
    }
    return answers;
}

namespace {

// Answers and messages leave as UTF-8, byte for byte what a pipe or file gets
// on Linux, except on a Windows console, which takes the text as UTF-16 and
// would otherwise show the Chinese messages in its own code page as "?".
void write(std::FILE* stream, const QString& text) {
#ifdef Q_OS_WIN
    std::fflush(stream); // anything the C runtime still holds goes first
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    if (handle == INVALID_HANDLE_VALUE)
        return;
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(handle, &mode)) {
        WriteConsoleW(handle, reinterpret_cast<const wchar_t*>(text.utf16()), DWORD(text.size()),
                      &written, nullptr);
        return;
    }
    // Past the C runtime, whose text mode would turn each line end into CR LF.
    const QByteArray bytes = text.toUtf8();
    WriteFile(handle, bytes.constData(), DWORD(bytes.size()), &written, nullptr);
#else
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
#endif
}

void writeUtf8(std::FILE* stream, const QByteArray& bytes) {
#ifdef Q_OS_WIN
    write(stream, QString::fromUtf8(bytes));
#else
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
#endif
}

void print(std::FILE* stream, const QString& line) {
    write(stream, line + QLatin1Char('\n'));
}

struct Options {
    QCommandLineOption eval{{QStringLiteral("e"), QStringLiteral("eval")},
                            QStringLiteral("Evaluate FORMULA as the calculator's = key does, print "
                                           "the answer and exit. May be given more than once; a "
                                           "formula that starts with an operator continues from "
                                           "the previous answer."),
                            QStringLiteral("FORMULA")};
    QCommandLineOption list{
        QStringLiteral("list"),
        QStringLiteral("Work out the cutting list in FILE (a .cvl list or a CSV) and print every "
                       "row's cut length, count, length and mass, and the totals by grade and "
                       "diameter. Shapes and their dimension letters (outer dimensions, mm): "
                       "straight A; hook180 A (+2 hooks of 180 deg); L A,B; U A,B,C; bent "
                       "A,B,C,D,E and angle 30/45/60 (default 45); stirrup A,B (outer width, "
                       "height; 135 deg hooks); tie A (135 deg hooks); hoop D (outer diameter), "
                       "lap; spiral D, P (pitch), H (height), N (flat end turns at each end, "
                       "default 1.5). mandrel: the inner bend diameter, default by grade."),
        QStringLiteral("FILE")};
    QCommandLineOption nonSeismic{
        QStringLiteral("non-seismic"),
        QStringLiteral("With --list: stirrup and tie hooks with 5d ends instead of the seismic "
                       "10d (at least 75 mm).")};
    QCommandLineOption cut{
        QStringLiteral("cut"),
        QStringLiteral("Plan how to cut the pieces in FILE (a .cvl list or a CSV with the columns "
                       "length and count, optionally diameter, grade and mark) from stock bars "
                       "with the least stock, and print the patterns, the bars to buy, the waste "
                       "and the lower bound of the pattern LP; proven when no plan can use less."),
        QStringLiteral("FILE")};
    QCommandLineOption stock{
        QStringLiteral("stock"),
        QStringLiteral("With --cut: the stock lengths in mm to buy, each optionally with :N "
                       "bars at most and @PRICE in yuan (per metre or per bar, see --pricing), "
                       "e.g. 6000@4.50,9000@4.40,12000:40@4.35 (default 12000,9000 as many as "
                       "needed)."),
        QStringLiteral("LENGTHS")};
    QCommandLineOption pricing{
        QStringLiteral("pricing"),
        QStringLiteral("With --cut: what the plan keeps least: none (the length of stock bought, "
                       "the default), metre (the money paid, --stock prices in yuan per metre) or "
                       "bar (prices in yuan per bar)."),
        QStringLiteral("HOW")};
    QCommandLineOption onHand{
        QStringLiteral("on-hand"),
        QStringLiteral("With --cut: full bars already in the yard, LENGTH:N each, e.g. "
                       "12000:20,9000:5; they cost nothing and are cut before any bar is bought."),
        QStringLiteral("BARS")};
    QCommandLineOption offcuts{
        QStringLiteral("offcuts"),
        QStringLiteral("With --cut: the offcut store (a JSON file, made if missing): its unused "
                       "offcuts of each grade and diameter are cut before new stock, and the store "
                       "is updated with those used and the offcuts the plan keeps (see "
                       "--keep-offcut)."),
        QStringLiteral("STORE")};
    QCommandLineOption kerf{QStringLiteral("kerf"),
                            QStringLiteral("With --cut: mm lost at each cut (default 0)."),
                            QStringLiteral("MM")};
    QCommandLineOption keepOffcut{
        QStringLiteral("keep-offcut"),
        QStringLiteral("With --cut: offcuts at least this long are kept, not scrap (default 0: "
                       "all is scrap)."),
        QStringLiteral("MM")};
    QCommandLineOption splice{
        QStringLiteral("splice"),
        QStringLiteral("With --cut: how pieces longer than the longest stock are joined: none "
                       "(default), coupler (couplers or welds, no extra length), lap:MM, lap:Nd "
                       "(a multiple of the diameter) or lap:rules (a .cvl list's lap by the "
                       "anchorage rules for each grade and diameter, with the list's concrete, "
                       "seismic grade and share lapped)."),
        QStringLiteral("HOW")};
    QCommandLineOption beam{
        QStringLiteral("beam"),
        QStringLiteral(
            "Detail the beam in FILE (JSON: its flat-method annotation "
            "\"KL1(2) 300x700 C10@100/200(2) 2C25;4C25 G4C12\", the clear spans, "
            "the support widths, the annotations at supports and under spans, "
            "cantilevers, concrete, seismic grade, covers, stock length, splice and "
            "settings; see docs/beams.md) into cutting-list rows by the 22G101-1 "
            "rules: each bar's role, span or support, shape and outer dimensions, "
            "count, cut length, budget length and derivation, and what could not be "
            "detailed. The atlas is the default; the settings choose the common "
            "variants: anchorage table/formula/Nd, straightAnchorage atlas/farFace, "
            "bottomInsideTopHooks, bottomThroughEqualSpans, sideBarsContinuous, roofNode "
            "beamIntoColumn/columnIntoBeam, nonFrameEnds hinged/fullyUsed, "
            "hookAllowance, tieDiameter, phiGrade, seismicSteel."),
        QStringLiteral("FILE")};
    QCommandLineOption column{
        QStringLiteral("column"),
        QStringLiteral(
            "Detail the frame column in FILE (JSON: its storey table with levels, heights "
            "and beam depths, the column table's segments with section \"600x600\" or "
            "\"D700\", bars \"12C25\" or corner, bSide and hSide, stirrup type "
            "\"1(4x4)\" and stirrups \"C10@100/200(C12@100)\", the foundation, concrete, "
            "seismic grade, cover, connection lap/mechanical/weld, position "
            "middle/edge/corner with its outer faces, and settings; see docs/columns.md) "
            "floor by floor into cutting-list rows by the 22G101-1 and 22G101-3 rules: "
            "dowels, both batches of each floor, the top's anchorage, stirrups and ties, "
            "each with its role, floor, shape, outer dimensions, count, cut length, budget "
            "length and derivation, and what could not be detailed."),
        QStringLiteral("FILE")};
    QCommandLineOption bvbs{
        QStringLiteral("bvbs"),
        QStringLiteral("Write the cutting list in FILE (a .cvl list or a CSV) as a BVBS file for "
                       "bending machines (BF2D, ASCII, one line a row: project, list, member-mark, "
                       "cut length, bars, kg per bar, diameter, grade, mandrel, the legs with "
                       "their angles and the checksum) to standard output or to -o. Hoops, "
                       "spirals and rows that cannot be worked out are named on standard error "
                       "and left out (exit status 1). Chinese text is dropped, each run marked "
                       "with ~, or with --pinyin written in pinyin where known."),
        QStringLiteral("FILE")};
    QCommandLineOption output{{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("With --bvbs: the file to write (.abs)."),
                              QStringLiteral("OUT")};
    QCommandLineOption pinyin{
        QStringLiteral("pinyin"),
        QStringLiteral("With --bvbs, or --tags for the bender line in the QR code: Chinese member "
                       "and project names in pinyin where known.")};
    QCommandLineOption cuttingSheet{
        QStringLiteral("cutting-sheet"),
        QStringLiteral("Write the cutting sheet of the plan saved with the list in FILE (.cvl): "
                       "each stock bar's cuts in cutting order with their member and mark, the "
                       "offcuts kept and the stock to take, per grade and diameter, to --pdf "
                       "(A4) or --xlsx (a sheet per diameter)."),
        QStringLiteral("FILE")};
    QCommandLineOption pdf{QStringLiteral("pdf"),
                           QStringLiteral("With --cutting-sheet or --tags: the PDF to write."),
                           QStringLiteral("OUT")};
    QCommandLineOption xlsx{QStringLiteral("xlsx"),
                            QStringLiteral("With --cutting-sheet: the Excel workbook to write."),
                            QStringLiteral("OUT")};
    QCommandLineOption tags{
        QStringLiteral("tags"),
        QStringLiteral("Write the bundle tags of the cutting list in FILE (a .cvl list or a CSV) "
                       "to the PDF given by --pdf: one tag per row, or per bundle with --bundle, "
                       "each with project, member and count, mark, grade and diameter, the "
                       "shape's sketch with its dimensions, cut length, bars, mass and a QR code "
                       "of the row's BVBS line as --bvbs writes it, n the bars of the bundle "
                       "(hoops and spirals, which BF2D does not carry, a plain line)."),
        QStringLiteral("FILE")};
    QCommandLineOption layout{
        QStringLiteral("layout"),
        QStringLiteral("With --tags: 3x7 (A4 sheet of 21 labels of 63.5 x 38.1 mm, the "
                       "default), 2x4 (A4 sheet of 8 labels of 99.1 x 67.7 mm), 100x70 or 80x50 "
                       "(a label printer's single tags, mm)."),
        QStringLiteral("LAYOUT")};
    QCommandLineOption bundle{
        QStringLiteral("bundle"),
        QStringLiteral("With --tags: at most N bars to a bundle, each bundle with a tag of its "
                       "own (default: one tag per row)."),
        QStringLiteral("N")};
    QCommandLineOption json{QStringLiteral("json"),
                            QStringLiteral("With --list, --cut, --anchor, --beam or --column: "
                                           "print the result as JSON.")};
    QCommandLineOption help{QStringLiteral("help")};
    QCommandLineOption helpAll{QStringLiteral("help-all")}; // added with the help option
    QCommandLineOption version{QStringLiteral("version")};
};

// The toolkit's own options (-platform offscreen, -style windows, ...), which
// the window consumes; accepted here so that they are not unknown, and
// hidden from the help.
void addToolkitOptions(QCommandLineParser& parser) {
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin",
                             "qwindowgeometry", "qwindowicon", "qwindowtitle", "session", "display",
                             "style", "stylesheet", "qmljsdebugger"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

void describe(QCommandLineParser& parser, Options& options) {
    parser.setApplicationDescription(QStringLiteral(
        "Corvala: bar quantities, lifting of precast members, beam bar lengths and "
        "a formula calculator.\nWithout options it opens its window; given a cutting-list "
        "file, that list as well."));
    // Single-dash words are the toolkit's long options (-platform).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    options.help = parser.addHelpOption();
    options.version = parser.addVersionOption();
    parser.addOption(options.eval);
    parser.addOption(options.list);
    parser.addOption(options.nonSeismic);
    parser.addOption(options.cut);
    parser.addOption(options.stock);
    parser.addOption(options.pricing);
    parser.addOption(options.onHand);
    parser.addOption(options.offcuts);
    parser.addOption(options.kerf);
    parser.addOption(options.keepOffcut);
    parser.addOption(options.splice);
    parser.addOption(options.beam);
    parser.addOption(options.column);
    parser.addOption(options.bvbs);
    parser.addOption(options.output);
    parser.addOption(options.pinyin);
    parser.addOption(options.cuttingSheet);
    parser.addOption(options.pdf);
    parser.addOption(options.xlsx);
    parser.addOption(options.tags);
    parser.addOption(options.layout);
    parser.addOption(options.bundle);
    parser.addOption(options.json);
    addAnchorageOptions(parser);
    addToolkitOptions(parser);
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A cutting list (.cvl) to open in its window."),
                                 QStringLiteral("[FILE]"));
}

#ifdef Q_OS_WIN
// A windowed program starts without a console of its own: the answers to
// --help, --version and --eval go to the console it was started from, unless
// they are redirected to a file or pipe already.
void answerOnStartingConsole() {
    const auto unconnected = [](DWORD handle) {
        return GetFileType(GetStdHandle(handle)) == FILE_TYPE_UNKNOWN;
    };
    const bool out = unconnected(STD_OUTPUT_HANDLE);
    const bool err = unconnected(STD_ERROR_HANDLE);
    if ((!out && !err) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (out)
        std::freopen("CONOUT$", "w", stdout);
    if (err)
        std::freopen("CONOUT$", "w", stderr);
}
#endif

} // namespace

QString fileToOpen(const QStringList& arguments) {
    QCommandLineParser parser;
    Options options;
    describe(parser, options);
    if (!parser.parse(arguments))
        return {};
    return parser.positionalArguments().value(0);
}

// The options of the bending shop's commands (bender file, cutting sheet,
// tags), any of which asks for no window.
bool shopAsked(const QCommandLineParser& parser, const Options& options) {
    for (const QCommandLineOption* option :
         {&options.bvbs, &options.output, &options.pinyin, &options.cuttingSheet, &options.pdf,
          &options.xlsx, &options.tags, &options.layout, &options.bundle})
        if (parser.isSet(*option))
            return true;
    return false;
}

std::optional<int> runWithoutWindow(int argc, char* argv[], const ListCommandsSource& listCommands,
                                    const PaintingApplication& paintingApplication) {
    // The usual start, without arguments, opens the window at once.
    if (argc < 2)
        return std::nullopt;
#ifdef Q_OS_WIN
    answerOnStartingConsole();
#endif
    // A first look without any application object: the window's start-up
    // pays for nothing more than this.
    bool painting = false;
    {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        QCommandLineParser parser;
        Options options;
        describe(parser, options);
        if (parser.parse(arguments) && !parser.isSet(options.help) &&
            !parser.isSet(options.helpAll) && !parser.isSet(options.version) &&
            !parser.isSet(options.eval) && !parser.isSet(options.list) &&
            !parser.isSet(options.beam) && !parser.isSet(options.column) &&
            !parser.isSet(options.json) && !parser.isSet(options.nonSeismic) &&
            !anchorageAsked(parser) && !parser.isSet(options.cut) && !parser.isSet(options.stock) &&
            !parser.isSet(options.kerf) && !parser.isSet(options.keepOffcut) &&
            !parser.isSet(options.splice) && !parser.isSet(options.pricing) &&
            !parser.isSet(options.onHand) && !parser.isSet(options.offcuts) &&
            !shopAsked(parser, options) && parser.positionalArguments().size() <= 1)
            return std::nullopt;
        painting = (parser.isSet(options.cuttingSheet) && parser.isSet(options.pdf)) ||
                   parser.isSet(options.tags);
    }

    const std::unique_ptr<QCoreApplication> app =
        painting && paintingApplication ? paintingApplication(argc, argv)
                                        : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvala"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVALA_VERSION));
    QCommandLineParser parser;
    Options options;
    describe(parser, options);
    // Answered here rather than by the parser's own process(), which on
    // Windows shows them in a message box when nobody reads a console.
    if (!parser.parse(QCoreApplication::arguments())) {
        print(stderr, QStringLiteral("%1: %2").arg(QCoreApplication::applicationName(),
                                                   parser.errorText()));
        return 1;
    }
    if (parser.isSet(options.help) || parser.isSet(options.helpAll)) {
        write(stdout, parser.helpText());
        return 0;
    }
    if (parser.isSet(options.version)) {
        print(stdout, QStringLiteral("%1 %2").arg(QCoreApplication::applicationName(),
                                                  QCoreApplication::applicationVersion()));
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        print(stderr, QStringLiteral("corvala: unexpected argument '%1'")
                          .arg(parser.positionalArguments().first()));
        return 1;
    }
    const bool shop = parser.isSet(options.bvbs) || parser.isSet(options.cuttingSheet) ||
                      parser.isSet(options.tags);
    if (int(parser.isSet(options.bvbs)) + int(parser.isSet(options.cuttingSheet)) +
            int(parser.isSet(options.tags)) >
        1) {
        print(stderr, QStringLiteral("corvala: --bvbs, --cutting-sheet and --tags are separate "
                                     "commands; give one"));
        return 1;
    }
    if (parser.isSet(options.output) && !parser.isSet(options.bvbs)) {
        print(stderr, QStringLiteral("corvala: -o goes with --bvbs"));
        return 1;
    }
    if (parser.isSet(options.pinyin) && !parser.isSet(options.bvbs) &&
        !parser.isSet(options.tags)) {
        print(stderr, QStringLiteral("corvala: --pinyin goes with --bvbs or --tags"));
        return 1;
    }
    if (parser.isSet(options.xlsx) && !parser.isSet(options.cuttingSheet)) {
        print(stderr, QStringLiteral("corvala: --xlsx goes with --cutting-sheet"));
        return 1;
    }
    if (parser.isSet(options.pdf) && !parser.isSet(options.cuttingSheet) &&
        !parser.isSet(options.tags)) {
        print(stderr, QStringLiteral("corvala: --pdf goes with --cutting-sheet or --tags"));
        return 1;
    }
    if ((parser.isSet(options.layout) || parser.isSet(options.bundle)) &&
        !parser.isSet(options.tags)) {
        print(stderr, QStringLiteral("corvala: --layout and --bundle go with --tags"));
        return 1;
    }
    if (parser.isSet(options.cuttingSheet) &&
        parser.isSet(options.pdf) == parser.isSet(options.xlsx)) {
        print(stderr, QStringLiteral("corvala: --cutting-sheet writes either --pdf FILE or "
                                     "--xlsx FILE"));
        return 1;
    }
    if (shop && (parser.isSet(options.list) || parser.isSet(options.cut) ||
                 parser.isSet(options.beam) || parser.isSet(options.column))) {
        print(stderr, QStringLiteral("corvala: give one of --list, --cut, --beam, --column, "
                                     "--bvbs, --cutting-sheet and --tags"));
        return 1;
    }
    if (parser.isSet(options.list) || parser.isSet(options.cut) || parser.isSet(options.beam) ||
        parser.isSet(options.column) || shop) {
        QString error;
        const ListCommands* commands = listCommands ? listCommands(error) : nullptr;
        if (!commands) {
            print(stderr, QStringLiteral("corvala: %1").arg(error));
            return 1;
        }
        const ListOutput output =
            parser.isSet(options.bvbs)
                ? commands->bvbs({parser.value(options.bvbs), parser.value(options.output),
                                  parser.isSet(options.pinyin)})
            : parser.isSet(options.cuttingSheet)
                ? commands->cuttingSheet({parser.value(options.cuttingSheet),
                                          parser.value(options.pdf), parser.value(options.xlsx)})
            : parser.isSet(options.tags)
                ? commands->tags({parser.value(options.tags), parser.value(options.pdf),
                                  parser.value(options.layout), parser.value(options.bundle),
                                  parser.isSet(options.pinyin)})
            : parser.isSet(options.list)
                ? commands->list(parser.value(options.list), parser.isSet(options.nonSeismic),
                                 parser.isSet(options.json))
            : parser.isSet(options.cut)
                ? commands->cut({parser.value(options.cut),
                                 parser.isSet(options.stock)
                                     ? std::optional(parser.value(options.stock))
                                     : std::nullopt,
                                 parser.value(options.kerf), parser.value(options.keepOffcut),
                                 parser.value(options.splice), parser.value(options.pricing),
                                 parser.value(options.onHand), parser.value(options.offcuts),
                                 parser.isSet(options.json)})
            : parser.isSet(options.beam)
                ? commands->beam(parser.value(options.beam), parser.isSet(options.json))
                : commands->column(parser.value(options.column), parser.isSet(options.json));
        write(stdout, output.out);
        writeUtf8(stdout, output.outUtf8);
        for (const QString& line : output.errors)
            print(stderr, line);
        return output.status;
    }
    if (anchorageAsked(parser)) {
        const AnchorageReply reply = answerAnchorage(parser);
        write(stdout, reply.out);
        write(stderr, reply.err);
        return reply.status;
    }
    if (parser.isSet(options.json) || parser.isSet(options.nonSeismic)) {
        print(stderr, QStringLiteral(
                          "corvala: --json goes with --list, --cut, --anchor, --beam or --column, "
                          "--non-seismic with --list"));
        return 1;
    }
    if (parser.isSet(options.stock) || parser.isSet(options.kerf) ||
        parser.isSet(options.keepOffcut) || parser.isSet(options.splice) ||
        parser.isSet(options.pricing) || parser.isSet(options.onHand) ||
        parser.isSet(options.offcuts)) {
        print(stderr, QStringLiteral("corvala: --stock, --pricing, --on-hand, --offcuts, --kerf, "
                                     "--keep-offcut and --splice go with --cut"));
        return 1;
    }
    int status = 0;
    for (const Answer& answer : evaluateFormulas(parser.values(options.eval))) {
        if (answer.ok) {
            print(stdout, answer.text);
            continue;
        }
        for (const QString& message : answer.messages)
            print(stderr, message);
        status = 1;
    }
    return status;
}

} // namespace cli

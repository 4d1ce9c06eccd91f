#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// --list and --cut: what they are asked and what they answer. They need the
// list's files and the cutting-plan solver, which live with the cutting list
// in a module of their own (list_module/): a start that asks neither loads
// neither.
namespace cli {

struct ListOutput {
    int status = 0;
    QString out;
    // A long answer (--list --json) as UTF-8 already, written after `out`:
    // a list of a hundred thousand rows is not turned into UTF-16 and back.
    QByteArray outUtf8;
    QStringList errors; // one line each, for standard error
};

struct CutOptions {
    QString path;
    std::optional<QString>
        stock;          // "12000@4.35,9000:40@4.40"; none: 9000 and 12000 as many as needed
    QString kerf;       // mm; empty: 0
    QString keepOffcut; // mm; empty: 0
    QString splice;     // empty: none
    QString pricing;    // none, metre or bar; empty: none
    QString onHand;     // "12000:20,9000:5": bars in the yard, free
    QString offcuts;    // the offcut store's file; empty: none
    bool json = false;
};

// corvala --bvbs FILE [-o OUT.abs] [--pinyin]
struct BvbsOptions {
    QString path;
    QString output;      // empty: standard output
    bool pinyin = false; // Chinese in pinyin; dropped (marked "~") otherwise
};

// corvala --cutting-sheet FILE.cvl --pdf OUT.pdf | --xlsx OUT.xlsx
struct CuttingSheetOptions {
    QString path;
    QString pdf; // one of the two
    QString xlsx;
};

// corvala --tags FILE --pdf OUT.pdf [--layout 3x7|2x4|100x70|80x50] [--bundle N] [--pinyin]
struct TagOptions {
    QString path;
    QString pdf;
    QString layout;      // empty: 3x7
    QString bundle;      // at most so many bars to a tag; empty: one tag per row
    bool pinyin = false; // the QR code's bender line as --bvbs --pinyin writes it
};

struct ListCommands {
    // corvala --list FILE [--non-seismic] [--json]
    ListOutput (*list)(const QString& path, bool nonSeismic, bool json) = nullptr;
    // corvala --cut FILE [--stock ...] [--pricing ...] [--on-hand ...] [--offcuts STORE]
    // [--kerf MM] [--keep-offcut MM] [--splice ...] [--json]
    ListOutput (*cut)(const CutOptions& options) = nullptr;
    // corvala --beam FILE [--json]: a beam's rows for the cutting list
    ListOutput (*beam)(const QString& path, bool json) = nullptr;
    // corvala --column FILE [--json]: a column's rows, floor by floor
    ListOutput (*column)(const QString& path, bool json) = nullptr;
    // corvala --bvbs FILE: the list as a bender file (BVBS BF2D)
    ListOutput (*bvbs)(const BvbsOptions& options) = nullptr;
    // corvala --cutting-sheet FILE: the cutting sheet of the plan saved with the list
    ListOutput (*cuttingSheet)(const CuttingSheetOptions& options) = nullptr;
    // corvala --tags FILE --pdf OUT.pdf ...: the list's bundle tags as a PDF
    ListOutput (*tags)(const TagOptions& options) = nullptr;
};

} // namespace cli

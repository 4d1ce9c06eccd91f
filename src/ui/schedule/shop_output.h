#pragma once

#include "output/cutting_sheet_pages.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class ListDocument;
class QAction;
class QMenu;
class QPrinter;
class QWidget;

// The cutting-list window's 加工 menu, the bending shop's side of a list:
// the list as a bender file (BVBS, .abs) and the cutting sheet of its plan
// by stock bar (下料单（按原料）), previewed, printed, or exported to PDF
// and Excel on the paper the 文件 menu's 纸张 chose. Without a plan the
// sheet is refused with what to do first.
//
// Actions by object name:
//   exportBvbs, bvbsPinyin (checkable: Chinese in pinyin, dropped otherwise)
//   cuttingSheetPreview, printCuttingSheet, exportCuttingSheetPdf,
//   exportCuttingSheetExcel
// Menu: shopMenu. Dialogs: cuttingSheetPreviewDialog, cuttingSheetPrintDialog
class ShopOutput : public QObject {
    Q_OBJECT
public:
    // `suggestedPath` gives the folder and name (without suffix) a file
    // dialog starts from; `pageChoice` the paper chosen for the list.
    ShopOutput(QWidget* window, ListDocument* document, std::function<QString()> suggestedPath,
               std::function<output::PageChoice()> pageChoice);

    QMenu* menu() const { return m_menu; }
    QAction* bvbsAction() const { return m_bvbs; }
    // Chinese in the bender file in pinyin (the menu's choice); dropped otherwise.
    bool pinyin() const;

    // The cutting sheet of the plan kept with the list, dated today; none
    // without a plan.
    std::optional<output::SheetPrintout> sheetPrintout() const;

    void exportBvbs();
    void previewSheet();
    void printSheet();
    void exportSheetPdf();
    void exportSheetExcel();

Q_SIGNALS:
    // What was written or sent, or what failed: for the window's status line.
    void statusMessage(const QString& text);

private:
    // The sheet, or nothing after telling the user why there is none.
    std::optional<output::SheetPrintout> sheetOrRefusal();
    // `nameEnd` follows the list's name in the name offered.
    QString chooseTarget(const QString& caption, const QString& suffix, const QString& filter,
                         const QString& nameEnd = {});
    bool paintOn(QPrinter* printer, const output::SheetPrintout& printout);

    QWidget* m_window;
    ListDocument* m_document;
    std::function<QString()> m_suggestedPath;
    std::function<output::PageChoice()> m_pageChoice;
    QMenu* m_menu = nullptr;
    QAction* m_bvbs = nullptr;
    QAction* m_pinyin = nullptr;
};

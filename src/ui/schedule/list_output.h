#pragma once

#include "output/printed_pages.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class ListDocument;
class QAction;
class QActionGroup;
class QMenu;
class QPrinter;
class QWidget;

// The cutting-list window's output: print preview, print, PDF and Excel,
// and the paper they use; the list's plan (下料优化) with the list where it
// has one. The pages come from output/printed_pages, so the
// preview, the printer and the PDF show the same.
//
// Actions by object name:
//   printPreview, printList, exportPdf, exportExcel
//   paperA4Portrait, paperA4Landscape, paperA3Portrait, paperA3Landscape
// Dialogs by object name: printPreviewDialog, printDialog
class ListOutput : public QObject {
    Q_OBJECT
public:
    // `suggestedPath` gives the folder and name (without suffix) a file
    // dialog starts from.
    ListOutput(QWidget* window, ListDocument* document, std::function<QString()> suggestedPath);

    QAction* previewAction() const { return m_preview; }
    QAction* printAction() const { return m_print; }
    QAction* pdfAction() const { return m_pdf; }
    QAction* excelAction() const { return m_excel; }
    // 纸张: A4 or A3, upright or across, for the preview, the printer and the PDF.
    QMenu* paperMenu() const { return m_paperMenu; }

    output::PageChoice pageChoice() const { return m_choice; }
    void setPageChoice(const output::PageChoice& choice);
    // The printout of the document as it is now, with the plan kept with
    // it (marked where out of date), dated today.
    output::Printout printout() const;

    void preview();
    void print();
    void exportPdf();
    void exportExcel();

Q_SIGNALS:
    // What was written or sent, or what failed: for the window's status line.
    void statusMessage(const QString& text);

private:
    // The pages the printer's range asks for; false when they could not be drawn.
    bool paintOn(QPrinter* printer);
    QString chooseTarget(const QString& caption, const QString& suffix, const QString& filter);
    void reportWritten(const QString& path);

    QWidget* m_window;
    ListDocument* m_document;
    std::function<QString()> m_suggestedPath;
    output::PageChoice m_choice;
    QAction* m_preview = nullptr;
    QAction* m_print = nullptr;
    QAction* m_pdf = nullptr;
    QAction* m_excel = nullptr;
    QMenu* m_paperMenu = nullptr;
    QActionGroup* m_papers = nullptr;
};

#pragma once

#include "core/tags/bundle_tags.h"
#include "core/tags/tag_sheets.h"
#include "output/tag_pages.h"

#include <QDialog>
#include <QObject>
#include <QString>

#include <functional>

class ListDocument;
class QAction;
class QComboBox;
class QLabel;
class QPrinter;
class QSpinBox;
class QWidget;

// The bundle tags (料牌) of the list, chosen in a dialog: the label sheet or
// label printer's tag, and how many bars at most go to a bundle.
//
// Widgets by object name: tagDialog, tagLayout (combo box), tagBundleSize
// (spin box; 0: one tag per row), tagSummary (how many tags and pages),
// tagPreviewButton, tagPrintButton, tagPdfButton, tagCancelButton.
class TagDialog : public QDialog {
    Q_OBJECT
public:
    enum class Purpose { Print, Pdf };

    TagDialog(QWidget* parent, Purpose purpose, tags::TagLayout layout, int barsPerBundle);

    tags::TagLayout layout() const;
    int barsPerBundle() const;
    // Tells how many tags and pages the choice gives, `leftOut` rows without a tag.
    void setCount(int tags, int leftOut);

    // The button the dialog was left by.
    enum class Choice { None, Preview, Print, Pdf };
    Choice choice() const { return m_choice; }

Q_SIGNALS:
    void choiceChanged();

private:
    void leaveBy(Choice choice);

    QComboBox* m_layout = nullptr;
    QSpinBox* m_bundle = nullptr;
    QLabel* m_summary = nullptr;
    Choice m_choice = Choice::None;
};

// The list window's tag commands: print (through the print preview, or the
// printer at once) and PDF; the pages come from output/tag_pages, so the
// preview, the printer and the PDF show the same.
//
// Actions by object name (in the window's 加工 menu): printTags (打印料牌…),
// exportTagsPdf (导出料牌 PDF…)
// Dialogs by object name: tagDialog, tagPreviewDialog, tagPrintDialog
class TagOutput : public QObject {
    Q_OBJECT
public:
    // `suggestedPath` gives the folder and name (without suffix) the file
    // dialog starts from; `bvbsSettings` how the QR code's bender line is
    // written, as the list's BVBS file is.
    TagOutput(QWidget* window, ListDocument* document, std::function<QString()> suggestedPath,
              std::function<shop::BvbsSettings()> bvbsSettings);

    QAction* printAction() const { return m_print; }
    QAction* pdfAction() const { return m_pdf; }

    tags::TagLayout layout() const { return m_layout; }
    int barsPerBundle() const { return m_barsPerBundle; }
    // The tags of the list as it is now, in the chosen layout.
    output::TagPrintout printout() const;

    // The dialog of the layout and bundles, then what its button asks for.
    void chooseAndPrint();
    void chooseAndExport();

    void preview();
    void print();
    void exportPdf();

Q_SIGNALS:
    void statusMessage(const QString& text);

private:
    void openDialog(TagDialog::Purpose purpose);
    QPrinter* newPrinter() const;
    bool paintOn(QPrinter* printer);
    // A message instead of pages where the list has no row to tag.
    bool haveTags();

    QWidget* m_window;
    ListDocument* m_document;
    std::function<QString()> m_suggestedPath;
    std::function<shop::BvbsSettings()> m_bvbsSettings;
    tags::TagLayout m_layout = tags::TagLayout::Sheet3x7;
    int m_barsPerBundle = 0;
    QAction* m_print = nullptr;
    QAction* m_pdf = nullptr;
};

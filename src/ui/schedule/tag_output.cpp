#include "ui/schedule/tag_output.h"

#include "ui/form/feedback.h"
#include "ui/schedule/list_document.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TagDialog::TagDialog(QWidget* parent, Purpose purpose, tags::TagLayout layout, int barsPerBundle)
    : QDialog(parent) {
    setObjectName(QStringLiteral("tagDialog"));
    setWindowTitle(purpose == Purpose::Print ? QStringLiteral("打印料牌")
                                             : QStringLiteral("导出料牌 PDF"));
    auto* form = new QFormLayout;
    m_layout = new QComboBox(this);
    m_layout->setObjectName(QStringLiteral("tagLayout"));
    m_layout->setAccessibleName(QStringLiteral("版式"));
    for (tags::TagLayout l : tags::tagLayouts())
        m_layout->addItem(tags::layoutCaption(l), static_cast<int>(l));
    m_layout->setCurrentIndex(m_layout->findData(static_cast<int>(layout)));
    form->addRow(QStringLiteral("版式(&L)："), m_layout);

    m_bundle = new QSpinBox(this);
    m_bundle->setObjectName(QStringLiteral("tagBundleSize"));
    m_bundle->setAccessibleName(QStringLiteral("每捆最多根数"));
    m_bundle->setRange(0, 9999);
    m_bundle->setSpecialValueText(QStringLiteral("不分捆，每行一个料牌"));
    m_bundle->setSuffix(QStringLiteral(" 根"));
    m_bundle->setValue(barsPerBundle);
    form->addRow(QStringLiteral("每捆最多(&B)："), m_bundle);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("tagSummary"));
    m_summary->setWordWrap(true);
    form->addRow(m_summary);

    auto* buttons = new QDialogButtonBox(this);
    const auto add = [&](const char* name, const QString& text, Choice choice) {
        QPushButton* button = buttons->addButton(text, QDialogButtonBox::AcceptRole);
        button->setObjectName(QLatin1String(name));
        connect(button, &QPushButton::clicked, this, [this, choice] { leaveBy(choice); });
        return button;
    };
    if (purpose == Purpose::Print) {
        add("tagPreviewButton", QStringLiteral("打印预览(&V)…"), Choice::Preview)->setDefault(true);
        add("tagPrintButton", QStringLiteral("打印(&P)…"), Choice::Print);
    } else {
        add("tagPdfButton", QStringLiteral("导出(&E)…"), Choice::Pdf)->setDefault(true);
    }
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("tagCancelButton"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layoutBox = new QVBoxLayout(this);
    layoutBox->addLayout(form);
    layoutBox->addWidget(buttons);

    connect(m_layout, &QComboBox::currentIndexChanged, this, &TagDialog::choiceChanged);
    connect(m_bundle, &QSpinBox::valueChanged, this, &TagDialog::choiceChanged);
}

tags::TagLayout TagDialog::layout() const {
    return static_cast<tags::TagLayout>(m_layout->currentData().toInt());
}

int TagDialog::barsPerBundle() const {
    return m_bundle->value();
}

void TagDialog::setCount(int count, int leftOut) {
    QString text = count == 0 ? QStringLiteral("下料单中没有可以打印料牌的行。")
                              : QStringLiteral("共 %1 个料牌，%2 页。")
                                    .arg(count)
                                    .arg(tags::pageCount(layout(), count));
    if (leftOut > 0)
        text += QStringLiteral("另有 %1 行无法计算，没有料牌。").arg(leftOut);
    m_summary->setText(text);
}

void TagDialog::leaveBy(Choice choice) {
    m_choice = choice;
    accept();
}

TagOutput::TagOutput(QWidget* window, ListDocument* document,
                     std::function<QString()> suggestedPath,
                     std::function<shop::BvbsSettings()> bvbsSettings)
    : QObject(window), m_window(window), m_document(document),
      m_suggestedPath(std::move(suggestedPath)), m_bvbsSettings(std::move(bvbsSettings)) {
    const auto make = [this](const char* name, const QString& text, auto&& slot) {
        auto* action = new QAction(text, this);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        m_window->addAction(action);
        return action;
    };
    m_print = make("printTags", QStringLiteral("打印料牌(&T)…"), [this] { chooseAndPrint(); });
    m_pdf =
        make("exportTagsPdf", QStringLiteral("导出料牌 PDF(&G)…"), [this] { chooseAndExport(); });
}

output::TagPrintout TagOutput::printout() const {
    const tags::TagSet set = tags::bundleTags(m_document->list(), m_document->computed(),
                                              tags::TagSettings{m_barsPerBundle, m_bvbsSettings()});
    return {set.tags, m_layout, m_document->list().project};
}

void TagOutput::chooseAndPrint() {
    openDialog(TagDialog::Purpose::Print);
}

void TagOutput::chooseAndExport() {
    openDialog(TagDialog::Purpose::Pdf);
}

void TagOutput::openDialog(TagDialog::Purpose purpose) {
    auto* dialog = new TagDialog(m_window, purpose, m_layout, m_barsPerBundle);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const auto count = [this, dialog] {
        const tags::TagSet set = tags::bundleTags(m_document->list(), m_document->computed(),
                                                  tags::TagSettings{dialog->barsPerBundle()},
                                                  [](const tags::TagRow&) { return QString(); });
        dialog->setCount(static_cast<int>(set.tags.size()), static_cast<int>(set.leftOut.size()));
    };
    count();
    connect(dialog, &TagDialog::choiceChanged, dialog, count);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        m_layout = dialog->layout();
        m_barsPerBundle = dialog->barsPerBundle();
        switch (dialog->choice()) {
        case TagDialog::Choice::Preview:
            preview();
            break;
        case TagDialog::Choice::Print:
            print();
            break;
        case TagDialog::Choice::Pdf:
            exportPdf();
            break;
        case TagDialog::Choice::None:
            break;
        }
    });
    dialog->open();
}

bool TagOutput::haveTags() {
    if (!printout().tags.isEmpty())
        return true;
    feedback::message(m_window, QStringLiteral("下料单中没有可以打印料牌的行：每行须能算出下料长度"
                                               "，且有根数。"));
    return false;
}

QPrinter* TagOutput::newPrinter() const {
    auto* printer = new QPrinter(QPrinter::HighResolution);
    printer->setPageLayout(output::tagPageLayoutOf(m_layout));
    // Labels are placed from the sheet's edge, not from the printer's margins.
    printer->setFullPage(true);
    printer->setDocName(QStringLiteral("钢筋料牌"));
    return printer;
}

bool TagOutput::paintOn(QPrinter* printer) {
    int first = 0;
    int last = -1;
    if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
        first = printer->fromPage() - 1;
        last = printer->toPage() > 0 ? printer->toPage() - 1 : -1;
    }
    return output::paintTagPages(*printer, printout(), first, last);
}

void TagOutput::preview() {
    if (!haveTags())
        return;
    QPrinter* printer = newPrinter();
    auto* dialog = new QPrintPreviewDialog(printer, m_window);
    dialog->setObjectName(QStringLiteral("tagPreviewDialog"));
    dialog->setWindowTitle(QStringLiteral("打印预览 - 钢筋料牌"));
    dialog->setAccessibleName(QStringLiteral("料牌打印预览"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* p) { paintOn(p); });
    connect(dialog, &QObject::destroyed, this, [printer] { delete printer; });
    dialog->resize(std::max(900, m_window->width() * 4 / 5), std::max(700, m_window->height()));
    dialog->open();
}

void TagOutput::print() {
    if (!haveTags())
        return;
    QPrinter* printer = newPrinter();
    auto* dialog = new QPrintDialog(printer, m_window);
    dialog->setObjectName(QStringLiteral("tagPrintDialog"));
    dialog->setWindowTitle(QStringLiteral("打印钢筋料牌"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOption(QAbstractPrintDialog::PrintPageRange, true);
    connect(dialog, &QDialog::accepted, this, [this, printer] {
        const QString where = printer->outputFileName().isEmpty()
                                  ? printer->printerName()
                                  : QDir::toNativeSeparators(printer->outputFileName());
        if (paintOn(printer))
            Q_EMIT statusMessage(QStringLiteral("料牌已打印到 %1").arg(where));
        else
            feedback::message(m_window, QStringLiteral("无法打印到“%1”。").arg(where));
    });
    connect(dialog, &QObject::destroyed, this, [printer] { delete printer; });
    dialog->open();
}

void TagOutput::exportPdf() {
    if (!haveTags())
        return;
    QString path =
        feedback::chooseFile(m_window, feedback::FileChoice::Save, QStringLiteral("导出料牌 PDF"),
                             m_suggestedPath() + QStringLiteral(".pdf"),
                             QStringLiteral("PDF 文件 (*.pdf);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    if (const std::optional<QString> error = output::writeTagsPdf(path, printout())) {
        feedback::message(
            m_window,
            QStringLiteral("无法写入“%1”：\n%2").arg(QDir::toNativeSeparators(path), *error));
        return;
    }
    Q_EMIT statusMessage(QStringLiteral("已导出料牌 %1").arg(QDir::toNativeSeparators(path)));
}

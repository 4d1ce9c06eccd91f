#include "output/xlsx_book.h"

#include "core/schedule/whole_file.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <clocale>
#include <cmath>

#if defined(__linux__)
#include <locale.h>
#endif

namespace output::xlsx {

namespace {

// Debian's libxlsxwriter writes numbers with printf, which follows the
// numeric locale the application runs under: a German desktop would write
// "161,64" into the file, and Excel would ask to repair it. The C locale
// holds for this thread while the workbook is written.
class CNumericLocale {
public:
    CNumericLocale() {
#if defined(__linux__)
        m_c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
        if (m_c)
            m_before = uselocale(m_c);
#endif
    }
    ~CNumericLocale() {
#if defined(__linux__)
        if (m_c) {
            uselocale(m_before);
            freelocale(m_c);
        }
#endif
    }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

private:
#if defined(__linux__)
    locale_t m_c = static_cast<locale_t>(nullptr);
    locale_t m_before = static_cast<locale_t>(nullptr);
#endif
};

Formats makeFormats(lxw_workbook* book) {
    const auto number = [book](const char* pattern, bool bold = false) {
        lxw_format* f = workbook_add_format(book);
        format_set_num_format(f, pattern);
        if (bold)
            format_set_bold(f);
        return f;
    };
    Formats f;
    f.header = workbook_add_format(book);
    format_set_bold(f.header);
    format_set_bg_color(f.header, 0xE8E8E8);
    format_set_text_wrap(f.header);
    format_set_align(f.header, LXW_ALIGN_CENTER);
    format_set_align(f.header, LXW_ALIGN_VERTICAL_CENTER);
    format_set_bottom(f.header, LXW_BORDER_THIN);
    f.text = workbook_add_format(book);
    f.whole = number("0");
    f.kg3 = number("0.000");
    f.m3 = number("0.000");
    f.kg2 = number("0.00");
    f.percent = number("0.00%");
    f.bold = workbook_add_format(book);
    format_set_bold(f.bold);
    f.boldWhole = number("0", true);
    f.boldM3 = number("0.000", true);
    f.boldKg2 = number("0.00", true);
    f.problem = workbook_add_format(book);
    format_set_font_color(f.problem, 0xC00000);
    return f;
}

} // namespace

QByteArray cellText(const QString& text) {
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text)
        if (c.unicode() >= 0x20 || c == QLatin1Char('\t') || c == QLatin1Char('\n'))
            clean += c;
    if (clean.size() > 32767)
        clean.truncate(32767);
    return clean.toUtf8();
}

void Widths::note(int column, const QString& text) {
    if (column >= m_widths.size())
        m_widths.resize(column + 1, 0);
    double w = 0;
    for (const QChar c : text)
        w += c.unicode() >= 0x2E80 ? 2.1 : 1.1;
    m_widths[column] = std::max(m_widths[column], w);
}

void Widths::apply(lxw_worksheet* sheet) const {
    for (int c = 0; c < m_widths.size(); ++c)
        worksheet_set_column(sheet, c, c, std::clamp(m_widths[c] + 2, 7.0, 60.0), nullptr);
}

void Sheet::text(int row, int column, const QString& value, lxw_format* format) {
    worksheet_write_string(sheet, row, column, cellText(value).constData(), format);
    widths.note(column, value);
}

void Sheet::number(int row, int column, double value, lxw_format* format, const QString& shown) {
    if (!std::isfinite(value)) {
        text(row, column, QStringLiteral("—"));
        return;
    }
    worksheet_write_number(sheet, row, column, value, format);
    widths.note(column, shown);
}

void Sheet::header(const QStringList& titles, lxw_format* format) {
    for (int c = 0; c < titles.size(); ++c) {
        worksheet_write_string(sheet, 0, c, cellText(titles[c]).constData(), format);
        widths.note(c, titles[c]);
    }
    worksheet_set_row(sheet, 0, 30, nullptr);
    worksheet_freeze_panes(sheet, 1, 0);
    worksheet_repeat_rows(sheet, 0, 0);
    worksheet_set_paper(sheet, 9); // A4
    worksheet_fit_to_pages(sheet, 1, 0);
}

std::optional<QString> writeBook(const QString& path, const QString& title,
                                 const std::function<void(Book&)>& fill) {
    // libxlsxwriter writes to a file name; it writes into a folder of its
    // own, and the result is copied into place whole.
    QTemporaryDir work;
    if (!work.isValid())
        return QStringLiteral("无法建立临时文件夹：%1").arg(work.errorString());
    const QString scratch = work.filePath(QStringLiteral("book.xlsx"));
    const QByteArray scratchName = QFile::encodeName(scratch);
    QByteArray tmpdir = QFile::encodeName(work.path());
    {
        const CNumericLocale cLocale;
        lxw_workbook_options options{};
        options.constant_memory = LXW_FALSE;
        options.tmpdir = tmpdir.data();
        lxw_workbook* workbook = workbook_new_opt(scratchName.constData(), &options);
        if (!workbook)
            return QStringLiteral("无法建立 Excel 文件");
        const QByteArray titleText = cellText(title);
        lxw_doc_properties properties{};
        properties.title = const_cast<char*>(titleText.constData());
        char creator[] = "Corvala";
        properties.author = creator;
        workbook_set_properties(workbook, &properties);
        Book book{workbook, makeFormats(workbook)};
        fill(book);
        const lxw_error error = workbook_close(workbook);
        if (error != LXW_NO_ERROR)
            return QStringLiteral("无法写入 Excel 文件（%1）")
                .arg(QString::fromUtf8(lxw_strerror(error)));
    }
    QFile written(scratch);
    if (!written.open(QIODevice::ReadOnly))
        return written.errorString();
    return schedule::writeWholeFile(path, written.readAll());
}

QString fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

} // namespace output::xlsx

#include "output/pdf_export.h"

#include "core/schedule/whole_file.h"
#include "output/pdf_text_map.h"

#include <QBuffer>
#include <QPdfWriter>

namespace output {

std::optional<QString> writePdf(const QString& path, const Printout& printout,
                                const PageChoice& choice) {
    QBuffer pages;
    pages.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pages);
        writer.setPageLayout(pageLayoutOf(choice));
        writer.setResolution(600);
        writer.setCreator(QStringLiteral("Corvala"));
        writer.setTitle(printout.list.project.isEmpty()
                            ? QStringLiteral("钢筋下料单")
                            : QStringLiteral("%1 钢筋下料单").arg(printout.list.project));
        if (!paintPages(writer, printout))
            return QStringLiteral("无法生成 PDF 页面");
    }
    return schedule::writeWholeFile(path, withSearchableText(pages.data()));
}

} // namespace output

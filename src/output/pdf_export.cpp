#include "output/pdf_export.h"

#include <QPdfWriter>
#include <QSaveFile>

namespace output {

std::optional<QString> writePdf(const QString& path, const Printout& printout,
                                const PageChoice& choice) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(pageLayoutOf(choice));
        writer.setResolution(600);
        writer.setCreator(QStringLiteral("Corvala"));
        writer.setTitle(printout.list.project.isEmpty()
                            ? QStringLiteral("钢筋下料单")
                            : QStringLiteral("%1 钢筋下料单").arg(printout.list.project));
        if (!paintPages(writer, printout)) {
            file.cancelWriting();
            return QStringLiteral("无法生成 PDF 页面");
        }
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace output

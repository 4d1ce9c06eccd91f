#include "ui/members/member_window_parts.h"

#include <QHeaderView>

namespace member_window {

QTableWidget* rowsTable(const char* name) {
    auto* table = named(new QTableWidget(0, 9), name, QStringLiteral("生成的钢筋"));
    table->setHorizontalHeaderLabels(
        {QStringLiteral("编号"), QStringLiteral("名称与位置"), QStringLiteral("钢筋"),
         QStringLiteral("形状"), QStringLiteral("外包尺寸"), QStringLiteral("每构件根数"),
         QStringLiteral("下料长度"), QStringLiteral("预算长度"), QStringLiteral("计算过程")});
    table->horizontalHeader()->setStretchLastSection(true);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    return table;
}

} // namespace member_window

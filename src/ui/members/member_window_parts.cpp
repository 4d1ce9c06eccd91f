#include "ui/members/member_window_parts.h"

#include "core/codes/steel_grades.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>

namespace member_window {

QStringList concreteNames() {
    QStringList names;
    for (int c : kConcreteGrades)
        names << QStringLiteral("C%1").arg(c);
    return names;
}

QStringList seismicNames() {
    QStringList names;
    for (codes::SeismicGrade g : kSeismicGrades)
        names << codes::seismicGradeName(g);
    return names;
}

QStringList phiGradeNames() {
    QStringList names;
    for (codes::SteelGrade g : kPhiGrades)
        names << codes::gradeName(g);
    return names;
}

QPushButton* addAcceptButtons(QDialog* dialog, QBoxLayout* layout, const QString& prefix) {
    auto* buttons = new QDialogButtonBox;
    QPushButton* accept =
        buttons->addButton(QStringLiteral("放入下料单(&L)"), QDialogButtonBox::AcceptRole);
    accept->setObjectName(prefix + QStringLiteral("Accept"));
    accept->setAccessibleName(QStringLiteral("放入下料单"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(prefix + QStringLiteral("Cancel"));
    accept->setAutoDefault(false);
    cancel->setAutoDefault(false);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return accept;
}

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

#include "ui/schedule/list_help.h"

#include "core/codes/bar_masses.h"
#include "core/codes/bending.h"
#include "core/numbers/number_text.h"
#include "core/schedule/row_columns.h"
#include "core/schedule/shapes.h"

#include <cmath>

using namespace schedule;

namespace {

QString times(double multiple) {
    return numbers::generalNumberText(std::round(multiple * 100) / 100) + QStringLiteral("d");
}

QString letterName(const QString& letter) {
    if (letter == QLatin1String("angle"))
        return QStringLiteral("角度");
    if (letter == QLatin1String("lap"))
        return QStringLiteral("搭接");
    return letter;
}

} // namespace

QString listHelpHtml() {
    QString html;
    html += QStringLiteral(
        "<h2>钢筋下料规则</h2>"
        "<p><b>下料长度，不是预算长度。</b>表中的长度是下料长度：按图纸给出的外包尺寸，"
        "扣除每个弯的弯曲调整值、加上弯钩增加长度，得到钢筋中心线的长度（弯曲不使中心线伸长），"
        "即钢筋切断的长度。预算长度（工程量计算用）按外包尺寸加 11.9d 弯钩、不扣弯曲调整值，"
        "箍筋约比下料长度长 5d，两者不可混用。</p>");

    html += QStringLiteral("<h3>形状与下料长度</h3><table border='1' cellpadding='3' "
                           "cellspacing='0'><tr><th>代码</th><th>名称</th><th>尺寸</th>"
                           "<th>下料长度</th></tr>");
    for (const ShapeInfo& shape : shapes()) {
        QStringList letters;
        for (const QString& letter : shape.letters)
            letters << letterName(letter) + (shape.optionalLetters.contains(letter)
                                                 ? QStringLiteral("（可空）")
                                                 : QString());
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td></tr>")
                    .arg(shape.code, shape.name, letters.join(QStringLiteral("、")),
                         shape.formula.toHtmlEscaped());
    }
    html += QStringLiteral("</table><p>尺寸均为外包尺寸（mm）。d 为钢筋直径；弯曲调整值中的 D "
                           "为弯曲（弯弧内）直径，"
                           "圆形箍筋、螺旋箍公式中的 D 则是尺寸 D（外径）。"
                           "弯起钢筋的斜段 B、D 沿斜向量取，角度 30、45 或 60 度，空则 45 度。"
                           "螺旋箍两端各加 N 圈平圈（空则 %1 圈）。</p>")
                .arg(numbers::generalNumberText(kDefaultSpiralEndTurns));

    // The familiar figures, worked out by the rules themselves for d = 10.
    const double d = 10;
    const double hook180 = codes::hookAddition(180, 2.5 * d, d, codes::hook180StraightEnd(d)) / d;
    const double hook135 =
        codes::hookAddition(135, 2.5 * d, d, codes::stirrupHookStraightEnd(d, true)) / d;
    const double bend90 = codes::bendDeduction(90, 4 * d, d) / d;
    html +=
        QStringLiteral(
            "<h3>弯曲调整值与弯钩增加长度（外包尺寸法）</h3>"
            "<p>弯折角度 α 的一个弯，外包尺寸之和减去<br>"
            "&nbsp;&nbsp;δα = 2·(D/2 + d)·tan(α/2) − π·(D + d)·α/360</p>"
            "<p>弯折角度 β、平直段 s 的弯钩，从弯起处的外皮起加上<br>"
            "&nbsp;&nbsp;hβ = π·(D + d)·β/360 + s − (D/2 + d)</p>"
            "<p>由此得到图集中的常用值：D = 2.5d 的 180° 弯钩加 %1；D = 2.5d、平直段 10d 的 "
            "135° 弯钩加 %2（图集取 11.9d）；D = 4d 的 90° 弯扣 %3。</p>"
            "<p>有的施工手册把调整值取整（如 90° 弯取 2d）或按中心线法算箍筋；Corvala "
            "一律按上面的几何公式计算，所用弯曲直径不同时结果随之变化，取整只在最后做一次。</p>")
            .arg(times(hook180), times(hook135), times(bend90));

    html += QStringLiteral("<h3>弯曲直径（GB 50204-2015 第 5.3.1 条）</h3>"
                           "<table border='1' cellpadding='3' cellspacing='0'>"
                           "<tr><th>牌号</th><th>d &lt; 28 mm</th><th>d ≥ 28 mm</th></tr>");
    QList<codes::SteelGrade> grades = codes::offeredGrades();
    grades.insert(1, codes::SteelGrade::HRB335);
    for (const codes::SteelGrade grade : grades) {
        const bool plain = codes::isPlain(grade);
        html +=
            QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>")
                .arg(codes::gradeName(grade), times(codes::smallestMandrel(grade, 25) / 25),
                     plain ? QStringLiteral("—") : times(codes::smallestMandrel(grade, 28) / 28));
    }
    html += QStringLiteral(
        "</table><p>弯曲直径一栏空着时取上表的最小值（灰色显示）。需要更大时逐行填写，例如箍筋"
        "弯折处不应小于所箍纵向钢筋的直径（第 5.3.1 条第 4 款），框架顶层端节点的钢筋取 12d 或 "
        "16d。</p>");

    html += QStringLiteral(
                "<h3>弯钩平直段</h3>"
                "<p>光圆钢筋末端 180° 弯钩：平直段 3d（GB 50204-2015 第 5.3.2 条）。</p>"
                "<p>箍筋、拉筋末端 135° 弯钩：勾选“抗震”时平直段取 10d 与 75 mm 的较大值"
                "（d = 6 mm 时为 %1 mm），依据 GB 50666-2011 第 5.3.6 条和 22G101-1 的箍筋构造；"
                "GB 50204-2015 第 5.3.3 条只要求 10d，取两者较大值即同时满足。不勾选时取 5d"
                "（GB 50204-2015 第 5.3.3 条）。新建的下料单默认按抗震。</p>")
                .arg(numbers::generalNumberText(codes::stirrupHookStraightEnd(6, true)));

    html += QStringLiteral("<h3>取整</h3><p>下料长度按所选步长（1、5 或 10 mm）四舍五入，"
                           "一半进位，只取整一次；单根质量、总长和总质量都按取整后的下料长度计算。"
                           "</p>");

    html += QStringLiteral("<h3>每米质量（GB/T 1499.1-2017、GB/T 1499.2-2018）</h3>"
                           "<p>按标准表中的公称质量，不按 0.00617·d² 计算。</p>"
                           "<table border='1' cellpadding='3' cellspacing='0'>"
                           "<tr><th>直径 mm</th><th>带肋钢筋 kg/m</th><th>光圆钢筋 kg/m</th></tr>");
    for (const int diameter : codes::nominalDiameters()) {
        const auto ribbed = codes::nominalMassPerMetre(codes::SteelGrade::HRB400, diameter);
        const auto plain = codes::nominalMassPerMetre(codes::SteelGrade::HPB300, diameter);
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>")
                    .arg(diameter)
                    .arg(ribbed ? codes::massPerMetreText(*ribbed) : QStringLiteral("—"),
                         plain ? codes::massPerMetreText(*plain) : QStringLiteral("—"));
    }
    html += QStringLiteral("</table>");

    html += QStringLiteral(
        "<h3>有问题的行</h3><p>缺直径、尺寸为 0 或负数、弯不出来的尺寸（如 U 形比弯曲直径还窄、"
        "箍筋小于弯钩所需）等，该单元格标红并在提示中说明原因；这样的行不计入合计，汇总下方"
        "注明未计入的行数。</p>"
        "<h3>键盘</h3><p>Tab、Enter 移到下一个要填的单元格，最后一行之后进入“新”行，"
        "在其中输入即新增一行；Shift+Tab、Shift+Enter 后退。Ctrl+Z 撤销，Ctrl+Y 重做；"
        "Ctrl+C、Ctrl+V 与 Excel、WPS 互相复制粘贴；Delete 清除所选单元格。</p>");
    return html;
}

ListHelpWindow::ListHelpWindow(QWidget* parent) : QTextBrowser(parent) {
    setWindowFlag(Qt::Window);
    setObjectName(QStringLiteral("listHelp"));
    setAccessibleName(QStringLiteral("下料规则说明"));
    setWindowTitle(QStringLiteral("下料规则 - Corvala"));
    setHtml(listHelpHtml());
    resize(720, 640);
}

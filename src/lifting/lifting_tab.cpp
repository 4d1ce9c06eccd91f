#include "lifting/lifting_tab.h"

#include "form/field_rules.h"
#include "form/form_builder.h"
#include "form/twips.h"
#include "lifting/lifting_calc.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>

using form::FieldKind;

namespace {
const QString kMillimetre = QStringLiteral("毫米");

} // namespace

LiftingTab::LiftingTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Tab1"));
    using twips::pageTop;

    // Member data: inputs on the left, cover and the member's volume and
    // weight on the right; the section options below.
    QGroupBox* f4 =
        form::frame(this, "Frame4", QStringLiteral("构件基本数据"), 120, pageTop(480), 3735, 4140);
    struct Input {
        int field;
        const char* label;
        const char* unitLabel;
        const char* caption;
        const char* initial;
        int top;
    };
    const Input inputs[] = {
        {13, "Label22", "Label23", "长", "1500", 390},
        {14, "Label24", "Label25", "宽", "1000", 750},
        {15, "Label26", "Label27", "高", "160", 1110},
    };
    for (const Input& in : inputs) {
        const QString caption = QString::fromUtf8(in.caption);
        form::label(f4, in.label, caption, 120, in.top, 375, 255);
        m_text[in.field] = form::field(f4, qPrintable(QStringLiteral("Text%1").arg(in.field)),
                                       QString::fromUtf8(in.initial), FieldKind::Input, caption,
                                       480, in.top, 855, 270);
        form::label(f4, in.unitLabel, kMillimetre, 1380, in.top, 420, 255);
    }
    form::label(f4, "Label28", QStringLiteral("保护层"), 1920, 390, 615, 255);
    m_text[18] = form::field(f4, "Text18", QStringLiteral("25"), FieldKind::Input,
                             QStringLiteral("保护层"), 2580, 390, 855, 270);
    m_text[18]->setToolTip(kMillimetre);
    form::label(f4, "Label29", QStringLiteral("体  积"), 1920, 750, 615, 255);
    m_text[23] = form::field(f4, "Text23", QString(), FieldKind::Result, QStringLiteral("体  积"),
                             2580, 750, 855, 270);
    m_text[23]->setToolTip(QStringLiteral("立方米"));
    form::label(f4, "Label30", QStringLiteral("重  量"), 1920, 1110, 615, 255);
    m_text[22] = form::field(f4, "Text22", QString(), FieldKind::Result, QStringLiteral("重  量"),
                             2580, 1110, 855, 270);
    m_text[22]->setToolTip(QStringLiteral("千克"));

    QGroupBox* f5 = form::frame(f4, "Frame5", QStringLiteral("截面"), 60, 1500, 3615, 2520);
    QGroupBox* f11 = form::frame(f5, "Frame11", QString(), 60, 330, 3495, 780);
    m_option[4] =
        form::option(f11, "Option4", QStringLiteral("截面的上下钢筋配置不同"), 120, 90, 3255, 300);
    m_option[5] =
        form::option(f11, "Option5", QStringLiteral("截面的上下钢筋配置相同"), 120, 420, 3255, 300);
    QGroupBox* f10 =
        form::frame(f5, "Frame10", QStringLiteral("截面的上下钢筋配置相同"), 60, 1230, 3495, 1140);
    m_option[6] = form::option(f10, "Option6", QStringLiteral("等截面构件"), 90, 360, 1620, 300);
    m_option[7] =
        form::option(f10, "Option7", QStringLiteral("变截面短臂构件"), 1770, 360, 1650, 300);
    m_option[14] =
        form::option(f10, "Option14", QStringLiteral("变截面长臂构件"), 90, 720, 1620, 300);
    m_option[15] =
        form::option(f10, "Option15", QStringLiteral("具有附加重量"), 1770, 720, 1650, 300);
    // Only members of constant section are worked out.
    for (int i : {7, 14, 15})
        m_option[i]->setEnabled(false);

    // Lifting points.
    QGroupBox* f6 =
        form::frame(this, "Frame6", QStringLiteral("起吊位置"), 3960, pageTop(480), 3615, 1140);
    form::label(f6, "Label31", QStringLiteral("最小"), 240, 390, 555, 255);
    m_text[16] = form::field(f6, "Text16", QString(), FieldKind::Result, QStringLiteral("最小"),
                             840, 390, 1215, 270);
    form::label(f6, "Label32", kMillimetre, 2160, 390, 495, 255);
    form::label(f6, "Label33", QStringLiteral("最大"), 240, 750, 555, 255);
    m_text[17] = form::field(f6, "Text17", QString(), FieldKind::Result, QStringLiteral("最大"),
                             840, 750, 1215, 270);
    form::label(f6, "Label34", kMillimetre, 2160, 750, 495, 255);

    // Lifting ring: angle and count, then the ring itself.
    QGroupBox* f7 =
        form::frame(this, "Frame7", QStringLiteral("吊环选用"), 3960, pageTop(1740), 3615, 2880);
    QGroupBox* f8 = form::frame(f7, "Frame8", QStringLiteral("角度"), 120, 330, 1620, 1290);
    m_option[8] = form::option(f8, "Option8", QStringLiteral("90度"), 240, 300, 1200, 300);
    m_option[9] = form::option(f8, "Option9", QStringLiteral("60度"), 240, 600, 1200, 300);
    m_option[10] = form::option(f8, "Option10", QStringLiteral("45度"), 240, 900, 1200, 300);
    QGroupBox* f9 = form::frame(f7, "Frame9", QStringLiteral("根数"), 1875, 330, 1620, 1290);
    m_option[11] = form::option(f9, "Option11", QStringLiteral("1根"), 240, 300, 1200, 300);
    m_option[12] = form::option(f9, "Option12", QStringLiteral("2根"), 240, 600, 1200, 300);
    m_option[13] = form::option(f9, "Option13", QStringLiteral("4根"), 240, 900, 1200, 300);

    struct Ring {
        int field;
        const char* label;
        const char* unitLabel;
        const char* caption;
        const char* unit;
        const char* tip;
        int top;
    };
    const Ring rings[] = {
        {19, "Label35", "Label36", "吊环直径", "毫米", nullptr, 1740},
        {20, "Label37", "Label43", "吊环长度", "毫米", "单根长度包括弯起.", 2100},
        {21, "Label44", "Label45", "吊环质量", "千克", "单根质量", 2460},
    };
    for (const Ring& r : rings) {
        const QString caption = QString::fromUtf8(r.caption);
        form::label(f7, r.label, caption, 120, r.top, 855, 255);
        m_text[r.field] = form::field(f7, qPrintable(QStringLiteral("Text%1").arg(r.field)),
                                      QString(), FieldKind::Result, caption, 1020, r.top, 855, 270);
        if (r.tip)
            m_text[r.field]->setToolTip(QString::fromUtf8(r.tip));
        form::label(f7, r.unitLabel, QString::fromUtf8(r.unit), 1935, r.top, 450, 255);
    }
    m_command1 = form::button(f7, "Command1", QStringLiteral("Tessaro"), 2520, 1740, 975, 990);

    // Field rules: every input recomputes when it takes the focus; Enter
    // walks length, width, height, cover and round again.
    m_rules = new FieldRules(this);
    const auto recompute = [this] { aaa(); };
    m_rules->add({m_text[13], keysets::kDigits, {}, true, recompute, m_text[14], {}});
    m_rules->add({m_text[14], keysets::kDecimal, {}, true, recompute, m_text[15], {}});
    m_rules->add({m_text[15], keysets::kDecimal, {}, true, recompute, m_text[18], {}});
    m_rules->add({m_text[18], keysets::kDecimal, {}, true, recompute, m_text[13], {}});

    // The cover enters no formula, but its change recomputes like the others.
    for (int i : {13, 14, 15, 18})
        connect(m_text[i], &QLineEdit::textChanged, this, recompute);

    // A click runs the option's rule when it selects the option: clicking the
    // angle already chosen must not reset the ring count. Code that selects
    // an option runs the rule itself (see select()).
    for (int i : {4, 5, 6, 8, 9, 10, 11, 12, 13}) {
        connect(m_option[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked && !m_selectingByCode)
                clickRule(i);
        });
    }
    connect(m_command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void LiftingTab::aaa() {
    lifting::LiftingFields f;
    f.text13 = m_text[13]->text();
    f.text14 = m_text[14]->text();
    f.text15 = m_text[15]->text();
    f.option4 = m_option[4]->isChecked();
    f.option5 = m_option[5]->isChecked();
    f.option6 = m_option[6]->isChecked();
    f.option8 = m_option[8]->isChecked();
    f.option9 = m_option[9]->isChecked();
    f.option10 = m_option[10]->isChecked();
    f.option11 = m_option[11]->isChecked();
    f.option12 = m_option[12]->isChecked();
    f.option13 = m_option[13]->isChecked();
    const struct {
        int field;
        QString* text;
    } results[] = {{23, &f.text23}, {22, &f.text22}, {16, &f.text16}, {17, &f.text17},
                   {19, &f.text19}, {20, &f.text20}, {21, &f.text21}};
    for (const auto& r : results)
        *r.text = m_text[r.field]->text();
    lifting::aaa(f);
    for (const auto& r : results)
        form::write(m_text[r.field], *r.text);
}

void LiftingTab::startUp() {
    select(m_option[4]);
    select(m_option[6]);
    select(m_option[9]);
    select(m_option[12]);
}

void LiftingTab::select(QRadioButton* option) {
    {
        const QScopedValueRollback guard(m_selectingByCode, true);
        option->setChecked(true);
    }
    for (int i = 4; i <= 15; ++i) {
        if (m_option[i] == option)
            clickRule(i);
    }
}

void LiftingTab::deselect(QRadioButton* option) {
    // An exclusive option can only be cleared with its group's exclusiveness
    // lifted for the moment.
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(true);
}

void LiftingTab::clickRule(int option) {
    switch (option) {
    case 4:
        Option4_Click();
        break;
    case 5:
        Option5_Click();
        break;
    case 8:
        Option8_Click();
        break;
    case 9:
    case 10:
        angle60or45_Click();
        break;
    case 6:
    case 11:
    case 12:
    case 13:
        aaa();
        break;
    default:
        break; // the always-disabled options have no rule
    }
}

void LiftingTab::Option4_Click() {
    m_option[6]->setEnabled(false);
    aaa();
}

void LiftingTab::Option5_Click() {
    m_option[6]->setEnabled(true);
    aaa();
}

// A single ring takes a vertical sling.
void LiftingTab::Option8_Click() {
    if (m_option[8]->isChecked()) {
        m_option[11]->setEnabled(true);
        select(m_option[11]);
        m_option[12]->setEnabled(false);
        m_option[13]->setEnabled(false);
    }
    aaa();
}

// A slanted sling needs rings in pairs; a change of angle starts at two.
void LiftingTab::angle60or45_Click() {
    if (!m_option[8]->isChecked()) {
        deselect(m_option[11]);
        m_option[11]->setEnabled(false);
        m_option[12]->setEnabled(true);
        m_option[13]->setEnabled(true);
        select(m_option[12]);
    }
    aaa();
}

void LiftingTab::Command1_Click() {
    BarHandover bar;
    bar.diameter = m_text[19]->text();
    bar.length = m_text[20]->text();
    // One of the counts is always selected once the window has started.
    if (m_option[11]->isChecked())
        bar.count = QStringLiteral("1");
    if (m_option[12]->isChecked())
        bar.count = QStringLiteral("2");
    if (m_option[13]->isChecked())
        bar.count = QStringLiteral("4");
    bar.bendCoefficient = QStringLiteral("0");
    bar.bend = BarHandover::Bend::None;
    Q_EMIT handover(bar);
}

#include "rebar/rebar_tab.h"

#include "form/feedback.h"
#include "form/field_rules.h"
#include "form/form_builder.h"
#include "form/twips.h"
#include "numbers/number_reading.h"
#include "numbers/number_text.h"
#include "rebar/bar_length_calculator.h"
#include "rebar/bar_quantity.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using form::FieldKind;

namespace {
const QString kMillimetre = QStringLiteral("毫米");
const QString kCentimetre = QStringLiteral("厘米");

} // namespace

RebarTab::RebarTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Tab0"));
    using twips::pageTop;

    // Inputs.
    QGroupBox* f1 =
        form::frame(this, "Frame1", QStringLiteral("原始数据"), 240, pageTop(480), 3615, 2535);
    form::label(f1, "Label1", QStringLiteral("钢筋直径"), 240, 240, 735, 255);
    m_text[1] = form::field(f1, "Text1", QStringLiteral("14"), FieldKind::Input,
                            QStringLiteral("钢筋直径"), 1080, 240, 495, 270);
    m_check2 = form::toggle(f1, "Check2", QStringLiteral("不启用"), 1800, 240, 735, 375);
    m_check2->setToolTip(QStringLiteral("可以开启钢筋长度计算器功能"));
    m_check3 = form::toggle(f1, "Check3", kMillimetre, 2640, 240, 735, 375);
    m_check3->setToolTip(QStringLiteral("计算单位"));
    form::label(f1, "Label2", QStringLiteral("钢筋长度"), 240, 720, 735, 255);
    m_text[2] = form::field(f1, "Text2", QString(), FieldKind::Input, QStringLiteral("钢筋长度"),
                            1080, 720, 1935, 270);
    m_text[2]->setToolTip(QStringLiteral("可以进行简单的四则运算"));
    m_label18 = form::label(f1, "Label18", kMillimetre, 3120, 720, 375, 255);
    form::label(f1, "Label3", QStringLiteral("钢筋数量"), 240, 1200, 735, 255);
    m_text[3] = form::field(f1, "Text3", QStringLiteral("10"), FieldKind::Input,
                            QStringLiteral("钢筋数量"), 1080, 1200, 975, 270);
    form::label(f1, "Label19", QStringLiteral("根"), 3120, 1200, 375, 255);
    form::label(f1, "Label4", QStringLiteral("钢筋弯起系数"), 240, 1680, 1095, 255);
    m_text[4] = form::field(f1, "Text4", QStringLiteral("4.5"), FieldKind::Input,
                            QStringLiteral("钢筋弯起系数"), 1440, 1680, 975, 270);
    m_option[1] = form::option(f1, "Option1", QStringLiteral("两头弯起"), 240, 2040, 975, 375);
    m_option[2] = form::option(f1, "Option2", QStringLiteral("一侧弯起"), 1320, 2040, 1095, 375);
    m_option[3] = form::option(f1, "Option3", QStringLiteral("无弯起"), 2520, 2040, 975, 375);

    // Results: label, field, unit label per row.
    QGroupBox* f2 =
        form::frame(this, "Frame2", QStringLiteral("计算结果"), 3960, pageTop(480), 3615, 3615);
    struct Row {
        int field;
        const char* label;
        const char* unitLabel;
        const char* caption;
        const char* unit;
        const char* initial;
    };
    const Row rows[] = {
        {7, "Label5", "Label51", "钢筋直径", "毫米", "0"},
        {8, "Label6", "Label7", "钢筋数量", "根", "0"},
        {9, "Label8", "Label15", "钢筋单根长度", "毫米", "0"},
        {10, "Label9", "Label10", "钢筋总长", "米", "0"},
        {11, "Label11", "Label12", "钢筋总质量", "千克", "0"},
        {12, "Label13", "Label14", "钢筋总截面面积", "平方毫米", "0"},
    };
    int top = 360;
    for (const Row& r : rows) {
        const QString caption = QString::fromUtf8(r.caption);
        form::label(f2, r.label, caption, 240, top, 1545, 255);
        m_text[r.field] = form::field(f2, qPrintable(QStringLiteral("Text%1").arg(r.field)),
                                      QString::fromUtf8(r.initial), FieldKind::Result, caption,
                                      1800, top, 855, 270);
        QLabel* unit = form::label(f2, r.unitLabel, QString::fromUtf8(r.unit), 2760, top, 840, 255);
        if (r.field == 9)
            m_label15 = unit;
        top += 480;
    }

    QGroupBox* f3 =
        form::frame(this, "Frame3", QStringLiteral("钢筋参数"), 240, pageTop(3120), 3615, 975);
    form::label(f3, "Label16", QStringLiteral("钢筋截面积"), 240, 240, 975, 255);
    m_text[5] = form::field(f3, "Text5", QStringLiteral("5"), FieldKind::Result,
                            QStringLiteral("钢筋截面积"), 1320, 240, 855, 270);
    form::label(f3, "Label17", QStringLiteral("平方毫米"), 2280, 240, 855, 255);
    form::label(f3, "Label20", QStringLiteral("钢筋线质量"), 240, 600, 975, 255);
    m_text[6] = form::field(f3, "Text6", QStringLiteral("6"), FieldKind::Result,
                            QStringLiteral("钢筋线质量"), 1320, 600, 855, 270);
    form::label(f3, "Label21", QStringLiteral("千克每延米"), 2280, 600, 1215, 255);

    // Field rules.
    m_rules = new FieldRules(this);
    m_rules->add({m_text[1], keysets::kDigits, {}, true, {}, nullptr, [this](int key) {
                      enterMoves(key, m_text[2]);
                  }});
    m_rules->add(
        {m_text[2],
         {},
         [this] { return m_check2->isChecked() ? keysets::kArithmetic : keysets::kDecimal; },
         true,
         {},
         nullptr,
         [this](int key) { Text2_KeyDown(key); }});
    m_rules->add({m_text[3], keysets::kDigits, {}, true, {}, nullptr, [this](int key) {
                      enterMoves(key, m_text[4]);
                  }});
    m_rules->add({m_text[4], keysets::kDecimal, {}, true, {}, nullptr, [this](int key) {
                      enterMoves(key, m_text[1]);
                  }});
    for (int i = 5; i <= 12; ++i)
        m_rules->add({m_text[i], {}, {}, true, {}, nullptr, {}});

    connect(m_text[1], &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    for (int i = 2; i <= 4; ++i)
        connect(m_text[i], &QLineEdit::textChanged, this, [this, i] { inputChanged(m_text[i]); });
    for (int i = 1; i <= 3; ++i)
        connect(m_option[i], &QRadioButton::clicked, this, [this] { add(); });
    connect(m_check3, &QCheckBox::clicked, this, [this] { Check3_Click(); });
    connect(m_check2, &QCheckBox::clicked, this, [this] { Check2_Click(); });
}

void RebarTab::add() {
    rebar::BarQuantityFields f;
    f.text1 = m_text[1]->text();
    f.text2 = m_text[2]->text();
    f.text3 = m_text[3]->text();
    f.text4 = m_text[4]->text();
    f.centimetres = m_check3->isChecked();
    f.bend = m_option[1]->isChecked()   ? rebar::Bend::Both
             : m_option[2]->isChecked() ? rebar::Bend::One
             : m_option[3]->isChecked() ? rebar::Bend::None
                                        : rebar::Bend::Unselected;
    QString* results[] = {&f.text5, &f.text6,  &f.text7,  &f.text8,
                          &f.text9, &f.text10, &f.text11, &f.text12};
    for (int i = 5; i <= 12; ++i)
        *results[i - 5] = m_text[i]->text();
    rebar::add(f);
    for (int i = 5; i <= 12; ++i)
        form::write(m_text[i], *results[i - 5]);
}

void RebarTab::Text1_Change() {
    form::write(m_text[4], rebar::bendCoefficientFor(m_text[1]->text(), m_text[4]->text()));
    if (!m_text[1]->text().isEmpty())
        add();
}

void RebarTab::inputChanged(QLineEdit* field) {
    if (!field->text().isEmpty())
        add();
}

void RebarTab::Check3_Click() {
    const QString unit = m_check3->isChecked() ? kCentimetre : kMillimetre;
    m_check3->setText(unit);
    m_label15->setText(unit);
    m_label18->setText(unit);
    add();
}

void RebarTab::Check2_Click() {
    m_check2->setText(m_check2->isChecked() ? QStringLiteral("启用") : QStringLiteral("不启用"));
    m_text[2]->setFocus(Qt::OtherFocusReason);
}

void RebarTab::enterMoves(int key, QLineEdit* next) {
    if (!FieldRules::isEnter(key))
        return;
    add();
    next->setFocus(Qt::OtherFocusReason);
}

void RebarTab::selectOption(BarHandover::Bend bend) {
    QRadioButton* option = bend == BarHandover::Bend::Both  ? m_option[1]
                           : bend == BarHandover::Bend::One ? m_option[2]
                                                            : m_option[3];
    option->setChecked(true);
    add();
}

void RebarTab::receive(const BarHandover& bar) {
    form::write(m_text[1], bar.diameter);
    form::write(m_text[2], bar.length);
    form::write(m_text[3], bar.count);
    if (bar.bendCoefficient)
        form::write(m_text[4], *bar.bendCoefficient);
    if (bar.bend)
        selectOption(*bar.bend);
}

void RebarTab::Text2_KeyDown(int key) {
    QLineEdit* text2 = m_text[2];
    const bool enter = FieldRules::isEnter(key);
    if (!m_check2->isChecked() || !m_calculator) {
        if (enter)
            enterMoves(key, m_text[3]);
        return;
    }

    const double last = m_calculator->lastResult();
    if (text2->text().isEmpty() && last == 0) {
        text2->setFocus(Qt::OtherFocusReason);
        return;
    }
    // An operator typed first continues from the calculator's last result.
    const QString t = text2->text();
    if (t.size() == 1 && QStringLiteral("+-*/").contains(t[0])) {
        if (last != 0) {
            text2->setText(numbers::generalNumberText(last) + t);
            text2->setCursorPosition(static_cast<int>(text2->text().size()));
        } else {
            text2->clear();
        }
    }
    if (enter) {
        if (!m_calculator->checkFormula(text2->text())) {
            feedback::message(window(), QStringLiteral("钢筋长度计算错误"));
        } else {
            bool calcOk = true;
            const double value = m_calculator->calc(calcOk);
            if (!calcOk) {
                // No value to show: the expression stays for correcting, and
                // the calculator records the failure as its "＝" key does.
                m_calculator->pressEquals();
                feedback::message(window(), QStringLiteral("钢筋长度计算错误"));
            } else {
                text2->setText(numbers::generalNumberText(value));
                m_calculator->pressEquals();
                add();
                if (!(numbers::leadingNumber(text2->text()) > 0))
                    feedback::message(window(), QStringLiteral("钢筋长度错误"));
            }
        }
    }
    text2->setFocus(Qt::OtherFocusReason);
}

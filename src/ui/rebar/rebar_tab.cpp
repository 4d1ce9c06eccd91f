#include "ui/rebar/rebar_tab.h"

#include "core/numbers/number_reading.h"
#include "core/numbers/number_text.h"
#include "core/rebar/bar_length_calculator.h"
#include "core/rebar/bar_quantity.h"
#include "ui/form/feedback.h"
#include "ui/form/field_rules.h"
#include "ui/form/form_builder.h"
#include "ui/form/twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <utility>

using form::FieldKind;
using Texts = rebar::BarQuantityFields;

namespace {
const QString kMillimetre = QStringLiteral("毫米");
const QString kCentimetre = QStringLiteral("厘米");
const QString kLengthError = QStringLiteral("钢筋长度计算错误");
} // namespace

RebarTab::RebarTab(QWidget* parent) : TabPage(parent, "Tab0") {
    buildInputs();
    buildResults();

    // Field rules: Enter recomputes and walks diameter, length, count, bend
    // coefficient and round again; the length takes operators while formula
    // entry is on.
    auto* rules = new FieldRules(this);
    rules->addField({.edit = m_diameter, .keys = keysets::kDigits, .keyDown = [this](int key) {
                         enterMoves(key, m_length);
                     }});
    rules->addField({.edit = m_length,
                     .keysNow =
                         [this] {
                             return m_formulaEntry->isChecked() ? keysets::kArithmetic
                                                                : keysets::kDecimal;
                         },
                     .keyDown = [this](int key) { onLengthKeyDown(key); }});
    rules->addField({.edit = m_count, .keys = keysets::kDigits, .keyDown = [this](int key) {
                         enterMoves(key, m_bendCoefficient);
                     }});
    rules->addField({.edit = m_bendCoefficient,
                     .keys = keysets::kDecimal,
                     .keyDown = [this](int key) { enterMoves(key, m_diameter); }});
    for (QLineEdit* result : {m_section, m_massPerMetre, m_diameterShown, m_countShown, m_cutLength,
                              m_totalLength, m_totalMass, m_totalSection})
        rules->addField({.edit = result});

    connect(m_diameter, &QLineEdit::textChanged, this, [this] { onDiameterChanged(); });
    for (QLineEdit* input : {m_length, m_count, m_bendCoefficient})
        connect(input, &QLineEdit::textChanged, this, [this, input] { onInputChanged(input); });
    for (QRadioButton* option : {m_bothEnds, m_oneEnd, m_noBend})
        connect(option, &QRadioButton::clicked, this, [this] { recompute(); });
    // On every change of state, not only a click's: an assistive tool's
    // toggle action changes the state without a click.
    connect(m_centimetres, &QCheckBox::toggled, this, [this] { onUnitSwitched(); });
    connect(m_formulaEntry, &QCheckBox::toggled, this, [this] { onFormulaEntrySwitched(); });

    // The diameter and the count are labelled alike as input and as result.
    const std::pair<QLineEdit*, const char*> spokenNames[] = {
        {m_diameter, "钢筋直径（输入）"},
        {m_count, "钢筋数量（输入）"},
        {m_diameterShown, "钢筋直径（结果）"},
        {m_countShown, "钢筋数量（结果）"},
    };
    for (const auto& [field, name] : spokenNames)
        field->setAccessibleName(QString::fromUtf8(name));
}

void RebarTab::buildInputs() {
    QGroupBox* f1 = form::frame(this, "Frame1", QStringLiteral("原始数据"), 240,
                                twips::pageTop(480), 3615, 2535);
    m_diameter = m_texts.bind(
        &Texts::diameter,
        form::labelledField(f1, "Label1", QStringLiteral("钢筋直径"), {240, 240, 735, 255}, "Text1",
                            QStringLiteral("14"), FieldKind::Input, {1080, 240, 495, 270}));
    setEntryField(m_diameter);
    m_formulaEntry =
        form::toggle(f1, "Check2", QStringLiteral("钢筋长度公式输入"), QStringLiteral("不启用"),
                     QStringLiteral("启用"), 1800, 240, 735, 375);
    m_formulaEntry->setToolTip(QStringLiteral("可以开启钢筋长度计算器功能"));
    m_centimetres = form::toggle(f1, "Check3", QStringLiteral("长度单位"), kMillimetre, kCentimetre,
                                 2640, 240, 735, 375);
    m_centimetres->setToolTip(QStringLiteral("计算单位"));
    m_length =
        m_texts.bind(&Texts::length, form::labelledField(f1, "Label2", QStringLiteral("钢筋长度"),
                                                         {240, 720, 735, 255}, "Text2", QString(),
                                                         FieldKind::Input, {1080, 720, 1935, 270}));
    m_length->setToolTip(QStringLiteral("可以进行简单的四则运算"));
    m_lengthUnit = form::label(f1, "Label18", kMillimetre, 3120, 720, 375, 255);
    m_count = m_texts.bind(&Texts::count,
                           form::labelledField(f1, "Label3", QStringLiteral("钢筋数量"),
                                               {240, 1200, 735, 255}, "Text3", QStringLiteral("10"),
                                               FieldKind::Input, {1080, 1200, 975, 270}));
    form::label(f1, "Label19", QStringLiteral("根"), 3120, 1200, 375, 255);
    m_bendCoefficient =
        m_texts.bind(&Texts::bendCoefficient,
                     form::labelledField(f1, "Label4", QStringLiteral("钢筋弯起系数"),
                                         {240, 1680, 1095, 255}, "Text4", QStringLiteral("4.5"),
                                         FieldKind::Input, {1440, 1680, 975, 270}));
    m_bothEnds = form::option(f1, "Option1", QStringLiteral("两头弯起"), 240, 2040, 975, 375);
    m_oneEnd = form::option(f1, "Option2", QStringLiteral("一侧弯起"), 1320, 2040, 1095, 375);
    m_noBend = form::option(f1, "Option3", QStringLiteral("无弯起"), 2520, 2040, 975, 375);
}

void RebarTab::buildResults() {
    // Results: label, field, unit label per row.
    QGroupBox* f2 = form::frame(this, "Frame2", QStringLiteral("计算结果"), 3960,
                                twips::pageTop(480), 3615, 3615);
    using L = form::Line<RebarTab, Texts>;
    const L lines[] = {
        {&RebarTab::m_diameterShown, &Texts::diameterShown, "Text7", "Label5", "Label51",
         "钢筋直径", "毫米", "0", nullptr, 360},
        {&RebarTab::m_countShown, &Texts::countShown, "Text8", "Label6", "Label7", "钢筋数量", "根",
         "0", nullptr, 840},
        {&RebarTab::m_cutLength, &Texts::cutLength, "Text9", "Label8", "Label15", "钢筋单根长度",
         "毫米", "0", nullptr, 1320},
        {&RebarTab::m_totalLength, &Texts::totalLength, "Text10", "Label9", "Label10", "钢筋总长",
         "米", "0", nullptr, 1800},
        {&RebarTab::m_totalMass, &Texts::totalMass, "Text11", "Label11", "Label12", "钢筋总质量",
         "千克", "0", nullptr, 2280},
        {&RebarTab::m_totalSection, &Texts::totalSection, "Text12", "Label13", "Label14",
         "钢筋总截面面积", "平方毫米", "0", nullptr, 2760},
    };
    for (const L& l : lines) {
        QLabel* unit = form::placeLine(this, m_texts, f2, {240, 1545, 1800, 855, 2760, 840},
                                       FieldKind::Result, l);
        if (l.field == &RebarTab::m_cutLength)
            m_cutLengthUnit = unit;
    }

    QGroupBox* f3 = form::frame(this, "Frame3", QStringLiteral("钢筋参数"), 240,
                                twips::pageTop(3120), 3615, 975);
    // One bar's parameters; the second unit label is wider.
    const L section = {&RebarTab::m_section, &Texts::section, "Text5", "Label16", "Label17",
                       "钢筋截面积",         "平方毫米",      "5",     nullptr,   240};
    const L massPerMetre = {&RebarTab::m_massPerMetre,
                            &Texts::massPerMetre,
                            "Text6",
                            "Label20",
                            "Label21",
                            "钢筋线质量",
                            "千克每延米",
                            "6",
                            nullptr,
                            600};
    form::placeLine(this, m_texts, f3, {240, 975, 1320, 855, 2280, 855}, FieldKind::Result,
                    section);
    form::placeLine(this, m_texts, f3, {240, 975, 1320, 855, 2280, 1215}, FieldKind::Result,
                    massPerMetre);
}

void RebarTab::recompute() {
    Texts f;
    f.centimetres = m_centimetres->isChecked();
    if (m_bothEnds->isChecked())
        f.bendEnds = BendEnds::Both;
    else if (m_oneEnd->isChecked())
        f.bendEnds = BendEnds::One;
    else if (m_noBend->isChecked())
        f.bendEnds = BendEnds::None;
    m_texts.read(f);
    rebar::recomputeQuantities(f);
    // The inputs come back unchanged.
    m_texts.write(f);
}

void RebarTab::onDiameterChanged() {
    form::write(m_bendCoefficient,
                rebar::bendCoefficientFor(m_diameter->text(), m_bendCoefficient->text()));
    if (!m_diameter->text().isEmpty())
        recompute();
}

void RebarTab::onInputChanged(QLineEdit* field) {
    if (!field->text().isEmpty())
        recompute();
}

void RebarTab::onUnitSwitched() {
    // The toggle has shown its new caption already.
    const QString unit = m_centimetres->text();
    m_cutLengthUnit->setText(unit);
    m_lengthUnit->setText(unit);
    recompute();
}

void RebarTab::onFormulaEntrySwitched() {
    m_length->setFocus(Qt::OtherFocusReason);
}

void RebarTab::enterMoves(int key, QLineEdit* next) {
    if (!FieldRules::isEnter(key))
        return;
    recompute();
    next->setFocus(Qt::OtherFocusReason);
}

void RebarTab::selectBendEnds(BendEnds ends) {
    QRadioButton* option = ends == BendEnds::Both  ? m_bothEnds
                           : ends == BendEnds::One ? m_oneEnd
                                                   : m_noBend;
    option->setChecked(true);
    recompute();
}

void RebarTab::receive(const BarHandover& bar) {
    form::write(m_diameter, bar.diameter);
    form::write(m_length, bar.length);
    form::write(m_count, bar.count);
    if (bar.bendCoefficient)
        form::write(m_bendCoefficient, *bar.bendCoefficient);
    if (bar.bendEnds)
        selectBendEnds(*bar.bendEnds);
}

void RebarTab::onLengthKeyDown(int key) {
    const bool enter = FieldRules::isEnter(key);
    if (!m_formulaEntry->isChecked() || !m_calculator) {
        if (enter)
            enterMoves(key, m_count);
        return;
    }

    const double last = m_calculator->lastResult();
    if (m_length->text().isEmpty() && last == 0) {
        m_length->setFocus(Qt::OtherFocusReason);
        return;
    }
    // An operator typed first continues from the calculator's last result.
    const QString t = m_length->text();
    if (t.size() == 1 && QStringLiteral("+-*/").contains(t[0])) {
        if (last != 0) {
            m_length->setText(numbers::generalNumberText(last) + t);
            m_length->setCursorPosition(static_cast<int>(m_length->text().size()));
        } else {
            m_length->clear();
        }
    }
    if (enter)
        evaluateLength();
    m_length->setFocus(Qt::OtherFocusReason);
}

void RebarTab::evaluateLength() {
    if (!m_calculator->mayEvaluate(m_length->text())) {
        feedback::message(window(), kLengthError);
        return;
    }
    const formula::Evaluation result = m_calculator->evaluate();
    if (!result.valid) {
        // No value to show: the expression stays for correcting, and the
        // calculator records the failure as its "＝" key does.
        m_calculator->pressEquals();
        feedback::message(window(), kLengthError);
        return;
    }
    m_length->setText(numbers::generalNumberText(result.value));
    m_calculator->pressEquals();
    recompute();
    if (!(numbers::leadingNumber(m_length->text()) > 0))
        feedback::message(window(), QStringLiteral("钢筋长度错误"));
}

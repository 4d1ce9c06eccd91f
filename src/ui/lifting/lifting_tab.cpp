#include "ui/lifting/lifting_tab.h"

#include "core/lifting/lifting_calc.h"
#include "ui/form/field_rules.h"
#include "ui/form/form_builder.h"
#include "ui/form/twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <initializer_list>
#include <optional>
#include <utility>

using form::FieldKind;
using Texts = lifting::LiftingFields;

namespace {
const QString kMillimetre = QStringLiteral("毫米");

// The selected option of a group, if any.
template <typename Value>
std::optional<Value> selected(std::initializer_list<std::pair<QRadioButton*, Value>> group) {
    for (const auto& [option, value] : group) {
        if (option->isChecked())
            return value;
    }
    return std::nullopt;
}
} // namespace

LiftingTab::LiftingTab(QWidget* parent) : TabPage(parent, "Tab1") {
    buildMember();
    buildRing();

    // Field rules: every input recomputes when it takes the focus; Enter
    // walks length, width, height, cover and round again.
    auto* rules = new FieldRules(this);
    const auto recomputeNow = [this] { recompute(); };
    const struct {
        QLineEdit* field;
        const QString& keys;
        QLineEdit* next;
    } chain[] = {
        {m_length, keysets::kDigits, m_width},
        {m_width, keysets::kDecimal, m_height},
        {m_height, keysets::kDecimal, m_cover},
        {m_cover, keysets::kDecimal, m_length},
    };
    for (const auto& c : chain)
        rules->addField(
            {.edit = c.field, .keys = c.keys, .afterFocus = recomputeNow, .next = c.next});

    // The cover enters no formula, but its change recomputes like the others.
    for (QLineEdit* input : {m_length, m_width, m_height, m_cover})
        connect(input, &QLineEdit::textChanged, this, recomputeNow);

    // A click runs the option's rule when it selects the option: clicking the
    // angle already chosen must not reset the ring count. Code that selects
    // an option runs the rule itself (see select()).
    for (QRadioButton* option :
         {m_reinforcementDiffers, m_reinforcementSame, m_constantSection, m_angle90, m_angle60,
          m_angle45, m_oneRing, m_twoRings, m_fourRings}) {
        connect(option, &QRadioButton::toggled, this, [this, option](bool checked) {
            if (checked && !m_selectingByCode)
                clickRule(option);
        });
    }
    connect(m_sendRing, &QPushButton::clicked, this, [this] { onSendRingClicked(); });
}

void LiftingTab::buildMember() {
    using twips::pageTop;
    // Member data: inputs on the left, cover and the member's volume and
    // weight on the right; the section options below.
    QGroupBox* f4 =
        form::frame(this, "Frame4", QStringLiteral("构件基本数据"), 120, pageTop(480), 3735, 4140);
    using L = form::Line<LiftingTab, Texts>;
    const L inputs[] = {
        {&LiftingTab::m_length, &Texts::length, "Text13", "Label22", "Label23", "长", "毫米",
         "1500", nullptr, 390},
        {&LiftingTab::m_width, &Texts::width, "Text14", "Label24", "Label25", "宽", "毫米", "1000",
         nullptr, 750},
        {&LiftingTab::m_height, &Texts::height, "Text15", "Label26", "Label27", "高", "毫米", "160",
         nullptr, 1110},
    };
    for (const L& in : inputs)
        form::placeLine(this, m_texts, f4, {120, 375, 480, 855, 1380, 420}, FieldKind::Input, in);
    setEntryField(m_length);
    m_cover = form::labelledField(f4, "Label28", QStringLiteral("保护层"), {1920, 390, 615, 255},
                                  "Text18", QStringLiteral("25"), FieldKind::Input,
                                  {2580, 390, 855, 270});
    m_cover->setToolTip(kMillimetre);
    m_volume =
        m_texts.bind(&Texts::volume, form::labelledField(f4, "Label29", QStringLiteral("体  积"),
                                                         {1920, 750, 615, 255}, "Text23", QString(),
                                                         FieldKind::Result, {2580, 750, 855, 270}));
    form::setFieldTip(m_volume, QStringLiteral("立方米"));
    m_weight = m_texts.bind(&Texts::weight,
                            form::labelledField(f4, "Label30", QStringLiteral("重  量"),
                                                {1920, 1110, 615, 255}, "Text22", QString(),
                                                FieldKind::Result, {2580, 1110, 855, 270}));
    form::setFieldTip(m_weight, QStringLiteral("千克"));

    QGroupBox* f5 = form::frame(f4, "Frame5", QStringLiteral("截面"), 60, 1500, 3615, 2520);
    QGroupBox* f11 = form::frame(f5, "Frame11", QString(), 60, 330, 3495, 780);
    m_reinforcementDiffers =
        form::option(f11, "Option4", QStringLiteral("截面的上下钢筋配置不同"), 120, 90, 3255, 300);
    m_reinforcementSame =
        form::option(f11, "Option5", QStringLiteral("截面的上下钢筋配置相同"), 120, 420, 3255, 300);
    QGroupBox* f10 =
        form::frame(f5, "Frame10", QStringLiteral("截面的上下钢筋配置相同"), 60, 1230, 3495, 1140);
    m_constantSection =
        form::option(f10, "Option6", QStringLiteral("等截面构件"), 90, 360, 1620, 300);
    // Only members of constant section are worked out.
    for (QRadioButton* other :
         {form::option(f10, "Option7", QStringLiteral("变截面短臂构件"), 1770, 360, 1650, 300),
          form::option(f10, "Option14", QStringLiteral("变截面长臂构件"), 90, 720, 1620, 300),
          form::option(f10, "Option15", QStringLiteral("具有附加重量"), 1770, 720, 1650, 300)})
        other->setEnabled(false);
}

void LiftingTab::buildRing() {
    using twips::pageTop;
    // Lifting points.
    QGroupBox* f6 =
        form::frame(this, "Frame6", QStringLiteral("起吊位置"), 3960, pageTop(480), 3615, 1140);
    m_liftingPointMin = m_texts.bind(&Texts::liftingPointMin,
                                     form::labelledField(f6, "Label31", QStringLiteral("最小"),
                                                         {240, 390, 555, 255}, "Text16", QString(),
                                                         FieldKind::Result, {840, 390, 1215, 270}));
    form::label(f6, "Label32", kMillimetre, 2160, 390, 495, 255);
    m_liftingPointMax = m_texts.bind(&Texts::liftingPointMax,
                                     form::labelledField(f6, "Label33", QStringLiteral("最大"),
                                                         {240, 750, 555, 255}, "Text17", QString(),
                                                         FieldKind::Result, {840, 750, 1215, 270}));
    form::label(f6, "Label34", kMillimetre, 2160, 750, 495, 255);

    // Lifting ring: angle and count, then the ring itself.
    QGroupBox* f7 =
        form::frame(this, "Frame7", QStringLiteral("吊环选用"), 3960, pageTop(1740), 3615, 2880);
    QGroupBox* f8 = form::frame(f7, "Frame8", QStringLiteral("角度"), 120, 330, 1620, 1290);
    m_angle90 = form::option(f8, "Option8", QStringLiteral("90度"), 240, 300, 1200, 300);
    m_angle60 = form::option(f8, "Option9", QStringLiteral("60度"), 240, 600, 1200, 300);
    m_angle45 = form::option(f8, "Option10", QStringLiteral("45度"), 240, 900, 1200, 300);
    QGroupBox* f9 = form::frame(f7, "Frame9", QStringLiteral("根数"), 1875, 330, 1620, 1290);
    m_oneRing = form::option(f9, "Option11", QStringLiteral("1根"), 240, 300, 1200, 300);
    m_twoRings = form::option(f9, "Option12", QStringLiteral("2根"), 240, 600, 1200, 300);
    m_fourRings = form::option(f9, "Option13", QStringLiteral("4根"), 240, 900, 1200, 300);

    using L = form::Line<LiftingTab, Texts>;
    const L rings[] = {
        {&LiftingTab::m_ringDiameter, &Texts::ringDiameter, "Text19", "Label35", "Label36",
         "吊环直径", "毫米", "", nullptr, 1740},
        {&LiftingTab::m_ringLength, &Texts::ringLength, "Text20", "Label37", "Label43", "吊环长度",
         "毫米", "", "单根长度包括弯起.", 2100},
        {&LiftingTab::m_ringMass, &Texts::ringMass, "Text21", "Label44", "Label45", "吊环质量",
         "千克", "", "单根质量", 2460},
    };
    for (const L& r : rings)
        form::placeLine(this, m_texts, f7, {120, 855, 1020, 855, 1935, 450}, FieldKind::Result, r);
    m_sendRing = form::button(f7, "Command1", QStringLiteral("Tessaro"), 2520, 1740, 975, 990);
}

void LiftingTab::recompute() {
    using lifting::Reinforcement;
    using lifting::RingCount;
    using lifting::SlingAngle;
    Texts f;
    f.reinforcement = selected<Reinforcement>({{m_reinforcementDiffers, Reinforcement::Differs},
                                               {m_reinforcementSame, Reinforcement::Same}});
    // The other sections are never enabled, so never selected.
    if (m_constantSection->isChecked())
        f.section = lifting::Section::Constant;
    f.slingAngle = selected<SlingAngle>({{m_angle90, SlingAngle::Deg90},
                                         {m_angle60, SlingAngle::Deg60},
                                         {m_angle45, SlingAngle::Deg45}});
    f.ringCount = selected<RingCount>({{m_oneRing, RingCount::One},
                                       {m_twoRings, RingCount::Two},
                                       {m_fourRings, RingCount::Four}});
    m_texts.read(f);
    lifting::recomputeMemberAndRing(f);
    m_texts.write(f);
}

void LiftingTab::startUp() {
    select(m_reinforcementDiffers);
    select(m_constantSection);
    select(m_angle60);
    select(m_twoRings);
}

void LiftingTab::select(QRadioButton* option) {
    {
        const QScopedValueRollback guard(m_selectingByCode, true);
        option->setChecked(true);
    }
    clickRule(option);
}

void LiftingTab::deselect(QRadioButton* option) {
    // An exclusive option can only be cleared with its group's exclusiveness
    // lifted for the moment.
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(true);
}

void LiftingTab::clickRule(QRadioButton* option) {
    if (option == m_reinforcementDiffers)
        onReinforcementDiffersClicked();
    else if (option == m_reinforcementSame)
        onReinforcementSameClicked();
    else if (option == m_angle90)
        onVerticalSlingClicked();
    else if (option == m_angle60 || option == m_angle45)
        onSlantedSlingClicked();
    else
        recompute(); // the section and the ring counts have no rule of their own
}

void LiftingTab::onReinforcementDiffersClicked() {
    m_constantSection->setEnabled(false);
    recompute();
}

void LiftingTab::onReinforcementSameClicked() {
    m_constantSection->setEnabled(true);
    recompute();
}

// A single ring takes a vertical sling.
void LiftingTab::onVerticalSlingClicked() {
    if (m_angle90->isChecked()) {
        m_oneRing->setEnabled(true);
        select(m_oneRing);
        m_twoRings->setEnabled(false);
        m_fourRings->setEnabled(false);
    }
    recompute();
}

// A slanted sling needs rings in pairs; a change of angle starts at two.
void LiftingTab::onSlantedSlingClicked() {
    if (!m_angle90->isChecked()) {
        deselect(m_oneRing);
        m_oneRing->setEnabled(false);
        m_twoRings->setEnabled(true);
        m_fourRings->setEnabled(true);
        select(m_twoRings);
    }
    recompute();
}

void LiftingTab::onSendRingClicked() {
    BarHandover bar;
    bar.diameter = m_ringDiameter->text();
    bar.length = m_ringLength->text();
    // One of the counts is always selected once the window has started.
    if (m_oneRing->isChecked())
        bar.count = QStringLiteral("1");
    if (m_twoRings->isChecked())
        bar.count = QStringLiteral("2");
    if (m_fourRings->isChecked())
        bar.count = QStringLiteral("4");
    bar.bendCoefficient = QStringLiteral("0");
    bar.bendEnds = BendEnds::None;
    Q_EMIT handover(bar);
}

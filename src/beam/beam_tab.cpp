#include "beam/beam_tab.h"

#include "form/feedback.h"
#include "form/field_rules.h"
#include "form/form_builder.h"
#include "form/twips.h"
#include "beam/beam_calc.h"
#include "beam/sketch_line.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

using form::FieldKind;

namespace {
const QString kCalculate = QStringLiteral("计算");

const char* textName(int number) {
    static const char* const names[] = {"Text24", "Text25", "Text26", "Text27", "Text28", "Text29",
                                        "Text30", "Text31", "Text32", "Text33", "Text34", "Text35",
                                        "Text36", "Text37", "Text38", "Text39", "Text40", "Text41",
                                        "Text42", "Text43", "Text44"};
    return names[number - 24];
}
} // namespace

BeamTab::BeamTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Tab2"));
    buildBeamData();
    buildBarData();
    buildResults();

    // Field rules: every field but the volume selects its text on focus; the
    // beam's length, width and height then recompute; Enter walks the chain
    // Text24 .. Text43 and back to Text24.
    m_rules = new FieldRules(this);
    for (int i = 24; i <= 43; ++i) {
        FieldRules::Field rule;
        rule.edit = m_text[i];
        rule.keys = (i >= 28 && i <= 35) ? keysets::kDigits : keysets::kDecimal;
        if (i <= 26)
            rule.afterFocus = [this] { aab(); };
        rule.next = m_text[i == 43 ? 24 : i + 1];
        m_rules->add(std::move(rule));
    }

    for (int i : {24, 25, 26, 27, 36})
        connect(m_text[i], &QLineEdit::textChanged, this, [this] { aab(); });
}

void BeamTab::buildBeamData() {
    using twips::pageTop;
    QGroupBox* f12 =
        form::frame(this, "Frame12", QStringLiteral("构件基本参数"), 240, pageTop(480), 3495, 1335);
    form::label(f12, "Label38", QStringLiteral("长"), 120, 240, 255, 255);
    m_text[24] = form::field(f12, "Text24", QStringLiteral("2400"), FieldKind::Input,
                             QStringLiteral("长"), 360, 240, 1335, 270);
    form::label(f12, "Label39", QStringLiteral("宽"), 1800, 240, 270, 180);
    m_text[25] = form::field(f12, "Text25", QStringLiteral("250"), FieldKind::Input,
                             QStringLiteral("宽"), 2040, 240, 1335, 270);
    form::label(f12, "Label40", QStringLiteral("高"), 120, 600, 180, 180);
    m_text[26] = form::field(f12, "Text26", QStringLiteral("400"), FieldKind::Input,
                             QStringLiteral("高"), 360, 600, 1335, 270);
    form::label(f12, "Label47", QStringLiteral("体积"), 1800, 600, 450, 180);
    m_text[44] = form::field(f12, "Text44", QStringLiteral("0"), FieldKind::Result,
                             QStringLiteral("体积"), 2280, 600, 495, 270);
    form::label(f12, "Label52", QStringLiteral("立方米"), 2880, 600, 540, 180);
    form::label(f12, "Label42", QStringLiteral("梁与侧墙搭接"), 480, 960, 1080, 180);
    m_text[27] = form::field(f12, "Text27", QStringLiteral("370"), FieldKind::Input,
                             QStringLiteral("梁与侧墙搭接"), 2040, 960, 1335, 270);
}

void BeamTab::buildBarData() {
    QGroupBox* f13 = form::frame(this, "Frame13", QStringLiteral("配筋基本参数"), 240,
                                 twips::pageTop(1920), 3495, 3495);
    struct Bar {
        const char* frame;
        const char* caption;
        int diameter;
        const char* diameterText;
        const char* countText;
    };
    const Bar bars[] = {
        {"Frame14_0", "上层钢筋", 28, "12", "2"},
        {"Frame14_1", "下层钢筋", 30, "16", "2"},
        {"Frame14_2", "弯起筋", 32, "16", "2"},
        {"Frame19", "箍筋", 34, "8", "17"},
    };
    const QString diameter = QStringLiteral("直径");
    const QString count = QStringLiteral("数量");
    int top = 240;
    for (const Bar& b : bars) {
        QGroupBox* f = form::frame(f13, b.frame, QString::fromUtf8(b.caption), 120, top, 3255, 615);
        form::label(f, "diameterLabel", diameter, 240, 240, 480, 255);
        m_text[b.diameter] = form::field(f, textName(b.diameter), QString::fromUtf8(b.diameterText),
                                         FieldKind::Input, diameter, 720, 240, 855, 270);
        form::label(f, "countLabel", count, 1680, 240, 480, 255);
        m_text[b.diameter + 1] =
            form::field(f, textName(b.diameter + 1), QString::fromUtf8(b.countText),
                        FieldKind::Input, count, 2160, 240, 735, 270);
        top += 720;
    }
    form::label(f13, "Label41", QStringLiteral("保护层厚度"), 240, 3120, 900, 180);
    m_text[36] = form::field(f13, "Text36", QStringLiteral("30"), FieldKind::Input,
                             QStringLiteral("保护层厚度"), 1440, 3120, 495, 270);
}

void BeamTab::buildResults() {
    QGroupBox* f15 = form::frame(this, "Frame15", QStringLiteral("计算结果"), 3960,
                                 twips::pageTop(480), 3615, 4935);
    const QString zero = QStringLiteral("0");
    auto segment = [&](QGroupBox* frame, int number, const QString& name, int left, int top,
                       int width, int height) {
        m_text[number] = form::field(frame, textName(number), zero, FieldKind::Segment, name, left,
                                     top, width, height);
        // A field this low has no room for the usual frame: a thin border,
        // and the text raised into the line, keep its digits whole.
        if (height < 270) {
            m_text[number]->setStyleSheet(
                QStringLiteral("QLineEdit { border: 1px solid palette(mid); padding: 0px; "
                               "background: palette(window); }"));
            m_text[number]->setTextMargins(0, -1, 0, 1);
        }
        return m_text[number];
    };

    // Top and bottom bars: one straight line each, its length above it.
    const QString topCaption = QStringLiteral("上层配筋");
    QGroupBox* f16 = form::frame(f15, "Frame16", topCaption, 120, 240, 3375, 855);
    new SketchLine(f16, "Line1", {360, 600}, {2280, 600});
    segment(f16, 37, topCaption, 960, 360, 735, 180);
    auto* c2 = form::button(f16, "Command2", kCalculate, 2520, 360, 615, 375);

    const QString bottomCaption = QStringLiteral("下层配筋");
    QGroupBox* f17 = form::frame(f15, "Frame17", bottomCaption, 120, 1200, 3375, 855);
    new SketchLine(f17, "Line2", {360, 600}, {2280, 600});
    segment(f17, 38, bottomCaption, 840, 360, 975, 180);
    auto* c3 = form::button(f17, "Command3", kCalculate, 2640, 360, 615, 375);

    // Bent-up bar: upper piece, slope down, lower piece, slope up, upper piece.
    QGroupBox* f18 = form::frame(f15, "Frame18", QStringLiteral("弯起筋"), 120, 2160, 3375, 1215);
    new SketchLine(f18, "Line3", {360, 600}, {840, 600});
    new SketchLine(f18, "Line4", {840, 600}, {1200, 960});
    new SketchLine(f18, "Line5", {1200, 960}, {2040, 960});
    new SketchLine(f18, "Line6", {2040, 960}, {2400, 600});
    new SketchLine(f18, "Line7", {2400, 600}, {2880, 600});
    const QString upper = QStringLiteral("上部直线段");
    const QString lower = QStringLiteral("下部直线段");
    const QString sloped = QStringLiteral("斜边");
    segment(f18, 39, upper, 2280, 360, 735, 180)->setToolTip(upper);
    segment(f18, 40, lower, 1200, 600, 735, 270)->setToolTip(lower);
    segment(f18, 41, sloped, 240, 720, 615, 270)->setToolTip(sloped);
    auto* c4 = form::button(f18, "Command4", kCalculate, 2400, 720, 615, 375);

    // Stirrup: its inner rectangle, the horizontal side inside, the vertical
    // side beside the right edge.
    const QString stirrupCaption = QStringLiteral("箍筋");
    QGroupBox* f20 = form::frame(f15, "Frame20", stirrupCaption, 120, 3480, 3375, 975);
    new SketchLine(f20, "Line8", {480, 360}, {1320, 360});
    new SketchLine(f20, "Line9", {1320, 360}, {1320, 840});
    new SketchLine(f20, "Line10", {1320, 840}, {480, 840});
    new SketchLine(f20, "Line11", {480, 840}, {480, 360});
    segment(f20, 43, stirrupCaption, 600, 600, 615, 180);
    segment(f20, 42, stirrupCaption, 1440, 480, 615, 270);
    auto* c5 = form::button(f20, "Command5", kCalculate, 2400, 360, 615, 375);

    connect(c2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(c3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(c4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(c5, &QPushButton::clicked, this, [this] { Command5_Click(); });
}

void BeamTab::aab() {
    beam::BeamFields f;
    f.text24 = m_text[24]->text();
    f.text25 = m_text[25]->text();
    f.text26 = m_text[26]->text();
    f.text27 = m_text[27]->text();
    f.text36 = m_text[36]->text();
    f.text44 = m_text[44]->text();
    f.text37 = m_text[37]->text();
    f.text38 = m_text[38]->text();
    f.text39 = m_text[39]->text();
    f.text40 = m_text[40]->text();
    f.text41 = m_text[41]->text();
    f.text42 = m_text[42]->text();
    f.text43 = m_text[43]->text();
    beam::aab(f);
    form::write(m_text[44], f.text44);
    form::write(m_text[37], f.text37);
    form::write(m_text[38], f.text38);
    form::write(m_text[39], f.text39);
    form::write(m_text[40], f.text40);
    form::write(m_text[41], f.text41);
    form::write(m_text[42], f.text42);
    form::write(m_text[43], f.text43);
}

void BeamTab::Command2_Click() {
    Q_EMIT handover({m_text[28]->text(), m_text[37]->text(), m_text[29]->text(), {}, {}});
}

void BeamTab::Command3_Click() {
    Q_EMIT handover({m_text[30]->text(), m_text[38]->text(), m_text[31]->text(), {}, {}});
}

void BeamTab::Command4_Click() {
    const auto length =
        beam::bentBarLength(m_text[39]->text(), m_text[40]->text(), m_text[41]->text());
    if (!length.ok()) {
        refuse(m_text[39 + length.unreadable]);
        return;
    }
    Q_EMIT handover({m_text[32]->text(), length.length, m_text[33]->text(), {}, {}});
}

void BeamTab::Command5_Click() {
    const auto length = beam::stirrupLength(m_text[42]->text(), m_text[43]->text());
    if (!length.ok()) {
        refuse(m_text[42 + length.unreadable]);
        return;
    }
    // Stirrups take the coefficient 13.5 whatever their diameter; it is
    // written last, after the diameter has set its own.
    Q_EMIT handover(
        {m_text[34]->text(), length.length, m_text[35]->text(), QStringLiteral("13.5"), {}});
}

void BeamTab::refuse(QLineEdit* segment) {
    feedback::beep();
    segment->setFocus(Qt::OtherFocusReason);
    // Select again: the field may have had the focus already.
    segment->setSelection(0, static_cast<int>(segment->text().size()));
}

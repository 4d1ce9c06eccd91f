#include "ui/beam/beam_tab.h"

#include "core/beam/beam_calc.h"
#include "ui/beam/sketch_line.h"
#include "ui/form/feedback.h"
#include "ui/form/field_rules.h"
#include "ui/form/form_builder.h"
#include "ui/form/twips.h"

#include <QFontMetricsF>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <initializer_list>
#include <iterator>

using form::FieldKind;
using Texts = beam::BeamFields;

namespace {
// A top-aligned line edit starts its line one pixel into its text area,
// which the thin border puts one pixel below the field's top. The border
// is a style sheet, and a style sheet brings its own style along; the
// field gets it when the tab first shows, so that start-up does not pay
// for it while the tab is hidden.
void fitDigitsInLowField(QLineEdit* field) {
    form::whenFirstShown(field, [](QWidget* shown) {
        shown->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid palette(mid); "
                                            "padding: 0px; background: palette(window); }"));
    });
    field->setAlignment((field->alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop);
    const QFontMetricsF metrics(field->font());
    const QRectF digits = metrics.tightBoundingRect(QStringLiteral("0123456789.-"));
    const qreal baseline = (field->height() - digits.top() - digits.bottom()) / 2;
    const int lineTop = qRound(baseline - metrics.ascent());
    field->setTextMargins(0, lineTop - 2, 0, -1);
}
} // namespace

BeamTab::BeamTab(QWidget* parent) : TabPage(parent, "Tab2") {
    buildInputs();
    buildResults();

    // Field rules: every field but the volume selects its text on focus; the
    // beam's length, width and height then recompute; Enter walks the chain
    // Text24 .. Text43 and back to Text24. Diameters and counts are whole.
    auto* rules = new FieldRules(this);
    QLineEdit* const chain[] = {
        m_length,        m_width,      m_height,           m_bearing,
        m_top.diameter,  m_top.count,  m_bottom.diameter,  m_bottom.count,
        m_bent.diameter, m_bent.count, m_stirrup.diameter, m_stirrup.count,
        m_cover,         m_topBar,     m_bottomBar,        m_bentUpper,
        m_bentLower,     m_bentSloped, m_stirrupVertical,  m_stirrupHorizontal,
    };
    const auto recomputeNow = [this] { recompute(); };
    constexpr int n = static_cast<int>(std::size(chain));
    for (int i = 0; i < n; ++i) {
        const bool wholeNumber = i >= 4 && i < 12;
        const bool beamSize = i < 3;
        rules->addField({.edit = chain[i],
                         .keys = wholeNumber ? keysets::kDigits : keysets::kDecimal,
                         .afterFocus = beamSize ? std::function<void()>(recomputeNow) : nullptr,
                         .next = chain[(i + 1) % n]});
    }

    for (QLineEdit* input : {m_length, m_width, m_height, m_bearing, m_cover})
        connect(input, &QLineEdit::textChanged, this, recomputeNow);
}

void BeamTab::buildInputs() {
    using twips::pageTop;
    QGroupBox* f12 =
        form::frame(this, "Frame12", QStringLiteral("构件基本参数"), 240, pageTop(480), 3495, 1335);
    m_length = m_texts.bind(
        &Texts::length,
        form::labelledField(f12, "Label38", QStringLiteral("长"), {120, 240, 255, 255}, "Text24",
                            QStringLiteral("2400"), FieldKind::Input, {360, 240, 1335, 270}));
    setEntryField(m_length);
    m_width = m_texts.bind(
        &Texts::width,
        form::labelledField(f12, "Label39", QStringLiteral("宽"), {1800, 240, 270, 180}, "Text25",
                            QStringLiteral("250"), FieldKind::Input, {2040, 240, 1335, 270}));
    m_height = m_texts.bind(
        &Texts::height,
        form::labelledField(f12, "Label40", QStringLiteral("高"), {120, 600, 180, 180}, "Text26",
                            QStringLiteral("400"), FieldKind::Input, {360, 600, 1335, 270}));
    m_volume = m_texts.bind(
        &Texts::volume,
        form::labelledField(f12, "Label47", QStringLiteral("体积"), {1800, 600, 450, 180}, "Text44",
                            QStringLiteral("0"), FieldKind::Result, {2280, 600, 495, 270}));
    form::label(f12, "Label52", QStringLiteral("立方米"), 2880, 600, 540, 180);
    m_bearing = m_texts.bind(
        &Texts::bearing, form::labelledField(f12, "Label42", QStringLiteral("梁与侧墙搭接"),
                                             {480, 960, 1080, 180}, "Text27", QStringLiteral("370"),
                                             FieldKind::Input, {2040, 960, 1335, 270}));

    // Bars: diameter and count of each, and the cover.
    QGroupBox* f13 = form::frame(this, "Frame13", QStringLiteral("配筋基本参数"), 240,
                                 twips::pageTop(1920), 3495, 3495);
    // Each bar's frame, and the names and initial texts of its diameter and count.
    struct BarRow {
        Bar BeamTab::*bar;
        const char *frame, *caption;
        const char* names[2];
        const char* texts[2];
    };
    const BarRow bars[] = {
        {&BeamTab::m_top, "Frame14_0", "上层钢筋", {"Text28", "Text29"}, {"12", "2"}},
        {&BeamTab::m_bottom, "Frame14_1", "下层钢筋", {"Text30", "Text31"}, {"16", "2"}},
        {&BeamTab::m_bent, "Frame14_2", "弯起筋", {"Text32", "Text33"}, {"16", "2"}},
        {&BeamTab::m_stirrup, "Frame19", "箍筋", {"Text34", "Text35"}, {"8", "17"}},
    };
    const QString diameter = QStringLiteral("直径");
    const QString count = QStringLiteral("数量");
    int top = 240;
    for (const BarRow& b : bars) {
        const QString caption = QString::fromUtf8(b.caption);
        QGroupBox* f = form::frame(f13, b.frame, caption, 120, top, 3255, 615);
        Bar& bar = this->*b.bar;
        bar.diameter = form::labelledField(f, "diameterLabel", diameter, {240, 240, 480, 255},
                                           b.names[0], QString::fromUtf8(b.texts[0]),
                                           FieldKind::Input, {720, 240, 855, 270});
        bar.count = form::labelledField(f, "countLabel", count, {1680, 240, 480, 255}, b.names[1],
                                        QString::fromUtf8(b.texts[1]), FieldKind::Input,
                                        {2160, 240, 735, 270});
        // Every bar has its "直径" and "数量": a screen reader names the bar too.
        bar.diameter->setAccessibleName(caption + diameter);
        bar.count->setAccessibleName(caption + count);
        top += 720;
    }
    m_cover = m_texts.bind(
        &Texts::cover, form::labelledField(f13, "Label41", QStringLiteral("保护层厚度"),
                                           {240, 3120, 900, 180}, "Text36", QStringLiteral("30"),
                                           FieldKind::Input, {1440, 3120, 495, 270}));
}

void BeamTab::buildResults() {
    QGroupBox* f15 = form::frame(this, "Frame15", QStringLiteral("计算结果"), 3960,
                                 twips::pageTop(480), 3615, 4935);
    const QString zero = QStringLiteral("0");
    const QString calculate = QStringLiteral("计算");
    const QString length = QStringLiteral("长度");
    // Each frame's "计算" is named for a screen reader by the bar it hands over.
    auto sendButton = [&](QGroupBox* frame, const char* objectName, int left, int top) {
        QPushButton* button = form::button(frame, objectName, calculate, left, top, 615, 375);
        button->setAccessibleName(calculate + frame->title());
        return button;
    };
    auto segment = [&](QGroupBox* frame, const char* objectName, const QString& name, int left,
                       int top, int width, int height) {
        QLineEdit* field = form::field(frame, objectName, zero, FieldKind::Segment, name, left, top,
                                       width, height);
        // A field this low has no room for the usual frame or for a whole
        // line of this font: a thin border, and the digits centred by their
        // own height with the text area reaching over the border, keep them
        // whole at every display scale.
        if (height < 270)
            fitDigitsInLowField(field);
        return field;
    };

    // Top and bottom bars: one straight line each, its length above it.
    const QString topCaption = QStringLiteral("上层配筋");
    QGroupBox* f16 = form::frame(f15, "Frame16", topCaption, 120, 240, 3375, 855);
    new SketchLine(f16, "Line1", {360, 600}, {2280, 600});
    m_topBar = m_texts.bind(&Texts::topBar,
                            segment(f16, "Text37", topCaption + length, 960, 360, 735, 180));
    auto* c2 = sendButton(f16, "Command2", 2520, 360);

    const QString bottomCaption = QStringLiteral("下层配筋");
    QGroupBox* f17 = form::frame(f15, "Frame17", bottomCaption, 120, 1200, 3375, 855);
    new SketchLine(f17, "Line2", {360, 600}, {2280, 600});
    m_bottomBar = m_texts.bind(&Texts::bottomBar,
                               segment(f17, "Text38", bottomCaption + length, 840, 360, 975, 180));
    auto* c3 = sendButton(f17, "Command3", 2640, 360);

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
    m_bentUpper =
        m_texts.bind(&Texts::bentUpper, segment(f18, "Text39", upper, 2280, 360, 735, 180));
    m_bentUpper->setToolTip(upper);
    m_bentLower =
        m_texts.bind(&Texts::bentLower, segment(f18, "Text40", lower, 1200, 600, 735, 270));
    m_bentLower->setToolTip(lower);
    m_bentSloped =
        m_texts.bind(&Texts::bentSloped, segment(f18, "Text41", sloped, 240, 720, 615, 270));
    m_bentSloped->setToolTip(sloped);
    auto* c4 = sendButton(f18, "Command4", 2400, 720);

    // Stirrup: its inner rectangle, the horizontal side inside, the vertical
    // side beside the right edge.
    const QString stirrupCaption = QStringLiteral("箍筋");
    QGroupBox* f20 = form::frame(f15, "Frame20", stirrupCaption, 120, 3480, 3375, 975);
    new SketchLine(f20, "Line8", {480, 360}, {1320, 360});
    new SketchLine(f20, "Line9", {1320, 360}, {1320, 840});
    new SketchLine(f20, "Line10", {1320, 840}, {480, 840});
    new SketchLine(f20, "Line11", {480, 840}, {480, 360});
    m_stirrupHorizontal = m_texts.bind(
        &Texts::stirrupHorizontal,
        segment(f20, "Text43", stirrupCaption + QStringLiteral("水平边长"), 600, 600, 615, 180));
    m_stirrupVertical = m_texts.bind(
        &Texts::stirrupVertical,
        segment(f20, "Text42", stirrupCaption + QStringLiteral("竖向边长"), 1440, 480, 615, 270));
    auto* c5 = sendButton(f20, "Command5", 2400, 360);

    connect(c2, &QPushButton::clicked, this, [this] { onSendTopBarClicked(); });
    connect(c3, &QPushButton::clicked, this, [this] { onSendBottomBarClicked(); });
    connect(c4, &QPushButton::clicked, this, [this] { onSendBentBarClicked(); });
    connect(c5, &QPushButton::clicked, this, [this] { onSendStirrupClicked(); });
}

void BeamTab::recompute() {
    Texts f;
    m_texts.read(f);
    beam::recomputeVolumeAndSegments(f);
    m_texts.write(f);
}

void BeamTab::onSendTopBarClicked() {
    Q_EMIT handover({.diameter = m_top.diameter->text(),
                     .length = m_topBar->text(),
                     .count = m_top.count->text()});
}

void BeamTab::onSendBottomBarClicked() {
    Q_EMIT handover({.diameter = m_bottom.diameter->text(),
                     .length = m_bottomBar->text(),
                     .count = m_bottom.count->text()});
}

void BeamTab::onSendBentBarClicked() {
    QLineEdit* const segments[] = {m_bentUpper, m_bentLower, m_bentSloped};
    const auto length =
        beam::bentBarLength(m_bentUpper->text(), m_bentLower->text(), m_bentSloped->text());
    if (!length.ok()) {
        refuse(segments[length.unreadable]);
        return;
    }
    Q_EMIT handover({.diameter = m_bent.diameter->text(),
                     .length = length.length,
                     .count = m_bent.count->text()});
}

void BeamTab::onSendStirrupClicked() {
    QLineEdit* const sides[] = {m_stirrupVertical, m_stirrupHorizontal};
    const auto length = beam::stirrupLength(m_stirrupVertical->text(), m_stirrupHorizontal->text());
    if (!length.ok()) {
        refuse(sides[length.unreadable]);
        return;
    }
    // Stirrups take the coefficient 13.5 whatever their diameter; it is
    // written last, after the diameter has set its own.
    Q_EMIT handover({.diameter = m_stirrup.diameter->text(),
                     .length = length.length,
                     .count = m_stirrup.count->text(),
                     .bendCoefficient = QStringLiteral("13.5")});
}

void BeamTab::refuse(QLineEdit* segment) {
    feedback::beep();
    segment->setFocus(Qt::OtherFocusReason);
    // Select again: the field may have had the focus already.
    segment->setSelection(0, static_cast<int>(segment->text().size()));
}

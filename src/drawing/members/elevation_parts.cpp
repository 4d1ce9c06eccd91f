#include "drawing/members/elevation_parts.h"

#include <QPainter>
#include <QPen>

namespace members::elevation_parts {

QString gradeSymbol(codes::SteelGrade grade) {
    using G = codes::SteelGrade;
    switch (grade) {
    case G::HPB300:
        return QStringLiteral("A");
    case G::HRB335:
        return QStringLiteral("B");
    case G::HRB400:
        return QStringLiteral("C");
    case G::HRB400E:
        return QStringLiteral("CE");
    case G::HRBF400:
        return QStringLiteral("CF");
    case G::RRB400:
        return QStringLiteral("CR");
    case G::HRB500:
        return QStringLiteral("D");
    case G::HRB500E:
        return QStringLiteral("DE");
    case G::HRBF500:
        return QStringLiteral("DF");
    }
    return QStringLiteral("C");
}

void drawLabel(QPainter& p, const QRectF& box, const QRectF& markBox, const QLineF& leader,
               const QString& mark, const QString& text, const LabelLook& look) {
    if (!leader.isNull()) {
        p.setPen(QPen(look.leader, look.pen * 0.5));
        p.drawLine(leader);
        p.setPen(Qt::NoPen);
        p.setBrush(look.leader);
        p.drawEllipse(leader.p2(), look.pen * 1.1, look.pen * 1.1);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawRect(box);
    p.setBrush(Qt::white);
    p.setPen(QPen(look.colour, look.pen * (look.emphasized ? 1.0 : 0.6)));
    const double r = markBox.height() / 2;
    p.drawRoundedRect(markBox.adjusted(0.5, 0.5, -0.5, -0.5), r, r);
    p.setFont(look.markFont);
    p.setPen(look.colour);
    p.drawText(markBox, Qt::AlignCenter, mark);
    if (text.isEmpty())
        return;
    p.setFont(look.font);
    p.setPen(look.textColour);
    p.drawText(box.adjusted(markBox.width() + box.height() * 0.25, 0, 0, 0),
               Qt::AlignLeft | Qt::AlignVCenter, text);
}

} // namespace members::elevation_parts

#include "drawing/qr/qr_code.h"

#include <QPainter>
#include <QPainterPath>

#include <qrencode.h>

#include <algorithm>
#include <memory>

namespace qr {

std::optional<QrSymbol> encodeQr(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    if (bytes.contains('\0'))
        return std::nullopt;
    using Code = std::unique_ptr<QRcode, decltype(&QRcode_free)>;
    Code code(nullptr, &QRcode_free);
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        // Version 0: the smallest that holds the text. The runs of digits
        // and capitals go in their denser modes, the rest as bytes.
        code.reset(QRcode_encodeString(bytes.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1));
    } else {
        // Chinese as UTF-8 bytes, marked so (ECI 26): without the mark a
        // reader guesses, and many guess Shift JIS.
        const std::unique_ptr<QRinput, decltype(&QRinput_free)> input(QRinput_new2(0, QR_ECLEVEL_M),
                                                                      &QRinput_free);
        if (input && QRinput_appendECIheader(input.get(), 26) == 0 &&
            QRinput_append(input.get(), QR_MODE_8, static_cast<int>(bytes.size()),
                           reinterpret_cast<const unsigned char*>(bytes.constData())) == 0)
            code.reset(QRcode_encodeInput(input.get()));
    }
    if (!code)
        return std::nullopt;
    QrSymbol symbol;
    symbol.width = code->width;
    symbol.modules.resize(code->width * code->width);
    for (int i = 0; i < symbol.modules.size(); ++i)
        symbol.modules[i] = (code->data[i] & 1) != 0;
    return symbol;
}

void drawQr(QPainter& painter, const QRectF& area, const QrSymbol& symbol) {
    const double side = std::min(area.width(), area.height());
    const int modulesAcross = symbol.width + 2 * kQuietZone;
    const double module = side / modulesAcross;
    const QPointF origin = area.topLeft() + QPointF(kQuietZone * module, kQuietZone * module) +
                           QPointF((area.width() - side) / 2, (area.height() - side) / 2);
    painter.save();
    painter.fillRect(
        QRectF(origin - QPointF(kQuietZone * module, kQuietZone * module), QSizeF(side, side)),
        Qt::white);
    // The runs of dark modules in each row, as one path filled at once, so
    // that a PDF reader that smooths edges leaves no hairlines between
    // modules. Each grid line is worked out once, so that neighbours share
    // their edges exactly.
    const auto at = [&](int k) { return k * module; };
    QPainterPath dark;
    dark.setFillRule(Qt::WindingFill);
    for (int y = 0; y < symbol.width; ++y) {
        for (int x = 0; x < symbol.width;) {
            if (!symbol.dark(x, y)) {
                ++x;
                continue;
            }
            int end = x;
            while (end < symbol.width && symbol.dark(end, y))
                ++end;
            dark.addRect(QRectF(QPointF(at(x), at(y)), QPointF(at(end), at(y + 1))));
            x = end;
        }
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.translate(origin);
    painter.fillPath(dark, Qt::black);
    painter.restore();
}

} // namespace qr

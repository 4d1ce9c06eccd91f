#pragma once

#include <QByteArray>
#include <QRectF>
#include <QString>
#include <QVector>

#include <optional>

class QPainter;

// QR codes: a text encoded (libqrencode, error correction level M, which
// restores 15 % of a smudged or torn code) and drawn on any painter.
namespace qr {

struct QrSymbol {
    int width = 0;         // modules across and down
    QVector<bool> modules; // dark or not, row by row

    bool dark(int x, int y) const { return modules[y * width + x]; }
};

// Modules of light margin the symbol needs on every side to be found.
inline constexpr int kQuietZone = 4;

// The symbol of the text as UTF-8, in the fewest modules the text allows,
// marked as UTF-8 where it is not plain ASCII; nothing where the text is too
// long for any QR code or holds a NUL.
std::optional<QrSymbol> encodeQr(const QString& text);

// Draws the symbol with its quiet zone filling the square `area` (its
// smaller side), dark modules black on white.
void drawQr(QPainter& painter, const QRectF& area, const QrSymbol& symbol);

} // namespace qr

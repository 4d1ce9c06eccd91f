#include "ui/form/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace twips {

double dpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double value = screen ? screen->logicalDotsPerInchY() : 96.0;
    return value > 0 ? value : 96.0;
}

int toPixels(int twips) {
    return static_cast<int>(std::lround(twips * dpi() / 1440.0));
}

QRect rect(int left, int top, int width, int height) {
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace twips

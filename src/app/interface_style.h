#pragma once

#include <QProxyStyle>

// Qt's "Windows" style, the look the form's tight frames were laid out for,
// with one difference no pixel shows: the menu bar's overflow button reads
// its icon when it is first drawn, not when the bar is made. Reading it
// means decoding three PNG images, which the window at its own width never
// shows.
class InterfaceStyle : public QProxyStyle {
    Q_OBJECT
public:
    InterfaceStyle();

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

#include "app/interface_style.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOption>

namespace {

// The style's own icon, read on first use. Everything an icon is asked is
// answered by that icon. Should the style be gone by then (the application
// given another style), the application's style answers.
class IconOnFirstUse final : public QIconEngine {
public:
    IconOnFirstUse(QStyle* style, QStyle::StandardPixmap which, Qt::LayoutDirection direction)
        : m_style(style), m_which(which), m_direction(direction) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return icon().pixmap(size / scale, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    bool isNull() override { return m_loaded && m_icon.isNull(); }
    QString key() const override { return QStringLiteral("IconOnFirstUse"); }
    QIconEngine* clone() const override { return new IconOnFirstUse(*this); }

private:
    const QIcon& icon() {
        if (!m_loaded) {
            QStyleOption option;
            option.direction = m_direction;
            const QStyle* style = m_style ? m_style.data() : QApplication::style();
            m_icon = style->standardIcon(m_which, &option);
            m_loaded = true;
        }
        return m_icon;
    }

    QPointer<QStyle> m_style;
    QStyle::StandardPixmap m_which;
    Qt::LayoutDirection m_direction;
    QIcon m_icon;
    bool m_loaded = false;
};

} // namespace

InterfaceStyle::InterfaceStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows"))) {}

QIcon InterfaceStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                   const QWidget* widget) const {
    if (icon == SP_ToolBarHorizontalExtensionButton) {
        const Qt::LayoutDirection direction =
            option ? option->direction : QApplication::layoutDirection();
        return QIcon(new IconOnFirstUse(baseStyle(), icon, direction));
    }
    return QProxyStyle::standardIcon(icon, option, widget);
}

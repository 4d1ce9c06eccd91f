#include "app/about_window.h"

#include "ui/form/twips.h"

#include <QEvent>
#include <QPlainTextEdit>

AboutWindow::AboutWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("关于"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, true);
    setFixedSize(twips::toPixels(4545), twips::toPixels(3015));
    move(twips::toPixels(4230), twips::toPixels(4665));

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setGeometry(twips::rect(120, 120, 4335, 2775));
    m_text->setReadOnly(true);
    m_text->setPlainText(
        aboutText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")).trimmed());
    m_text->setAccessibleName(QStringLiteral("关于"));
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSizeF(10.5);
    m_text->setFont(font);
    QPalette pal = m_text->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Window));
    m_text->setPalette(pal);
    m_text->installEventFilter(this);
    m_text->viewport()->installEventFilter(this);
}

QString AboutWindow::aboutText() {
    // Each line fits the box's width in its font, so nothing wraps and no
    // scroll bar hides the last line.
    return QStringLiteral("作者：Corvala 项目\r\n"
                          "电子邮件：无\r\n"
                          "即时通讯：无\r\n"
                          "本软件免费，可自由使用和传播。\r\n"
                          "软件可能有错误，结果仅供参考。\r\n"
                          "下料、起吊前请自行核对结果。\r\n"
                          "作者不对使用本软件计算结果\r\n"
                          "所造成的任何后果承担责任。\r\n");
}

void AboutWindow::mousePressEvent(QMouseEvent*) {
    close();
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    const bool inText = watched == m_text || watched == m_text->viewport();
    if (inText && (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick ||
                   (type == QEvent::KeyPress && watched == m_text))) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

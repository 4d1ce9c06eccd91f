#include "app/main_window.h"

#include "app/about_window.h"
#include "app/accessible_on_demand.h"
#include "app/calculator_link.h"
#include "app/list_module.h"
#include "ui/anchorage/anchorage_window.h"
#include "ui/beam/beam_tab.h"
#include "ui/calculator/calculator_tab.h"
#include "ui/form/feedback.h"
#include "ui/form/twips.h"
#include "ui/lifting/lifting_tab.h"
#include "ui/rebar/rebar_tab.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QResizeEvent>
#include <QTabWidget>
#include <QWindow>

namespace {
const QString kOnTop = QStringLiteral("窗口置顶(&T)");
const QString kNotOnTop = QStringLiteral("取消置顶(&T)");
} // namespace

MainWindow::MainWindow() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Corvala"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    QMenuBar* const bar = menuBar();
    m_alwaysOnTop = bar->addAction(kOnTop);
    m_alwaysOnTop->setObjectName(QStringLiteral("allontop"));
    m_changeHeight = bar->addAction(QStringLiteral("窗口切换(&C)"));
    m_changeHeight->setObjectName(QStringLiteral("changewindow"));
    QAction* cuttingList = bar->addAction(QStringLiteral("下料单(&L)"));
    cuttingList->setObjectName(QStringLiteral("cuttinglist"));
    // The anchorage window is built on first use, so start-up pays only for its command.
    QAction* anchorage = bar->addAction(QStringLiteral("锚固搭接(&M)"));
    anchorage->setObjectName(QStringLiteral("anchorage"));
    QAction* about = bar->addAction(QStringLiteral("关于(&A)"));
    about->setObjectName(QStringLiteral("about"));
    QAction* exit = bar->addAction(QStringLiteral("退出(&X)"));
    exit->setObjectName(QStringLiteral("exit"));
    connect(m_alwaysOnTop, &QAction::triggered, this, [this] { onAlwaysOnTopTriggered(); });
    connect(m_changeHeight, &QAction::triggered, this, [this] { onChangeHeightTriggered(); });
    connect(cuttingList, &QAction::triggered, this, [this] { openCuttingList(); });
    connect(anchorage, &QAction::triggered, this, [this] { onAnchorageTriggered(); });
    connect(about, &QAction::triggered, this, [this] { onAboutTriggered(); });
    connect(exit, &QAction::triggered, this, [this] { close(); });

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    m_tabs = new QTabWidget(client);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_tabs->setGeometry(twips::rect(0, 0, 7815, 6495));
    m_tabs->setUsesScrollButtons(false);
    m_rebar = new RebarTab;
    m_lifting = new LiftingTab;
    m_beam = new BeamTab;
    m_calculator = new CalculatorTab;
    m_tabs->addTab(m_rebar, QStringLiteral("Tessaro"));
    m_tabs->addTab(m_lifting, QStringLiteral("构件起吊"));
    m_tabs->addTab(m_beam, QStringLiteral("梁钢筋长度计算"));
    m_tabs->addTab(m_calculator, QStringLiteral("计算器"));
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int tab) { onTabChanged(tab); });

    // A bar sent from another tab lands in the bar-quantity tab, which is then shown.
    auto route = [this](const BarHandover& bar) {
        m_rebar->receive(bar);
        m_tabs->setCurrentIndex(0);
    };
    connect(m_lifting, &TabPage::handover, this, route);
    connect(m_beam, &TabPage::handover, this, route);
    m_link = std::make_unique<CalculatorLink>(*m_calculator);
    m_rebar->setBarLengthCalculator(m_link.get());

    setMinimumSize(1, 1);
    resize(twips::toPixels(kMaxWidth), twips::toPixels(kTabHeights[0]));
}

MainWindow::~MainWindow() {
    delete m_cuttingList;
}

std::unique_ptr<MainWindow> openMainWindow() {
    // One quiet stretch for all of it: each control is asked about once.
    const AccessibleOnDemand quiet;
    auto window = std::make_unique<MainWindow>();
    window->startUp();
    window->show();
    return window;
}

void MainWindow::startUp() {
    setOuterHeight(kTabHeights[0]);
    m_rebar->selectBendEnds(BendEnds::Both);
    m_lifting->startUp();
}

QSize MainWindow::frameExtra() const {
    if (!isVisible())
        return m_knownFrame;
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    return QSize(outer.width() - inner.width(), outer.height() - inner.height());
}

void MainWindow::applyFrameMargins() {
    const QSize extra = frameExtra();
    m_knownFrame = extra;
    setMaximumSize(twips::toPixels(kMaxWidth) - extra.width(),
                   twips::toPixels(kMaxHeight) - extra.height());
    if (m_wantedHeightTwips > 0)
        resize(width(), twips::toPixels(m_wantedHeightTwips) - extra.height());
}

void MainWindow::setOuterHeight(int twipsHeight) {
    m_wantedHeightTwips = twipsHeight;
    resize(width(), twips::toPixels(twipsHeight) - frameExtra().height());
}

int MainWindow::outerHeightPixels() const {
    return height() + frameExtra().height();
}
int MainWindow::outerWidthPixels() const {
    return width() + frameExtra().width();
}

bool MainWindow::event(QEvent* e) {
    // The frame the window manager adds is known only once it has framed the
    // window; outer sizes are applied again from then on.
    if (e->type() == QEvent::Move || e->type() == QEvent::Show) {
        if (isVisible() && frameExtra() != m_knownFrame)
            applyFrameMargins();
    }
    return QMainWindow::event(e);
}

void MainWindow::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    const QSize extra = frameExtra();
    const int maxW = twips::toPixels(kMaxWidth) - extra.width();
    const int maxH = twips::toPixels(kMaxHeight) - extra.height();
    if (width() > maxW || height() > maxH)
        resize(qMin(width(), maxW), qMin(height(), maxH));
}

void MainWindow::onTabChanged(int tab) {
    if (tab < 0 || tab > 3)
        return;
    if (QLineEdit* field = static_cast<TabPage*>(m_tabs->widget(tab))->entryField())
        field->setFocus(Qt::OtherFocusReason);
    setOuterHeight(kTabHeights[static_cast<std::size_t>(tab)]);
    m_changeHeight->setVisible(tab == 3);
}

void MainWindow::onAlwaysOnTopTriggered() {
    // Changing the flag on the native window keeps it, its place and its size;
    // QWidget::setWindowFlag would hide and re-create it.
    QWindow* window = windowHandle();
    if (m_alwaysOnTop->text() == kOnTop) {
        if (window)
            window->setFlag(Qt::WindowStaysOnTopHint, true);
        m_alwaysOnTop->setText(kNotOnTop);
    } else {
        m_alwaysOnTop->setText(kOnTop);
        if (window)
            window->setFlag(Qt::WindowStaysOnTopHint, false);
    }
}

void MainWindow::onChangeHeightTriggered() {
    if (outerHeightPixels() == twips::toPixels(kCompactHeight))
        setOuterHeight(kFullHeight);
    else
        setOuterHeight(kCompactHeight);
}

void MainWindow::onAnchorageTriggered() {
    if (!m_anchorage)
        m_anchorage = std::make_unique<AnchorageWindow>();
    m_anchorage->show();
    m_anchorage->raise();
    m_anchorage->activateWindow();
}

void MainWindow::onAboutTriggered() {
    if (!m_about)
        m_about = new AboutWindow;
    m_about->show();
    m_about->raise();
}

QMainWindow* MainWindow::cuttingListWindow() const {
    return m_cuttingList;
}

void MainWindow::openCuttingList(const QString& file) {
    QString error;
    const ListModule* list = listModule(&error);
    if (!list) {
        feedback::message(this, error);
        return;
    }
    const bool first = !m_cuttingList;
    if (first) {
        // The bar-quantity tab's inputs as they stand, read, not changed.
        m_cuttingList = list->newWindow([this] {
            const auto text = [this](const char* name) {
                const auto* field = m_rebar->findChild<QLineEdit*>(QLatin1String(name));
                return field ? field->text() : QString();
            };
            const auto* unit = m_rebar->findChild<QCheckBox*>(QStringLiteral("Check3"));
            return BarQuantityInputs{text("Text1"), text("Text2"), text("Text3"),
                                     unit && unit->isChecked()};
        });
    }
    m_cuttingList->show();
    m_cuttingList->raise();
    m_cuttingList->activateWindow();
    if (first)
        list->offerRecovery(m_cuttingList);
    if (!file.isEmpty())
        list->openFile(m_cuttingList, file);
}

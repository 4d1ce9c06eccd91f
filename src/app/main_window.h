#pragma once

#include "app/about_window.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>

class QAction;
class QLineEdit;
class QTabWidget;
class RebarTab;
class LiftingTab;
class BeamTab;
class CalculatorTab;
class QMainWindow;

class CalculatorLink;
class AnchorageWindow;

// Form1: the four tabs, their window heights, the menu and always-on-top.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow();
    ~MainWindow() override;

    // The start-up sequence; runs once, before the window is first shown.
    void startUp();

    // Outer height (frame included) in twips, as set by the tab and switch rules.
    void setOuterHeight(int twips);
    int outerHeightPixels() const;
    int outerWidthPixels() const;

    RebarTab* rebarTab() const { return m_rebar; }
    LiftingTab* liftingTab() const { return m_lifting; }
    BeamTab* beamTab() const { return m_beam; }
    CalculatorTab* calculatorTab() const { return m_calculator; }
    AboutWindow* aboutWindow() const { return m_about; }
    // The cutting-list window, once the menu has opened it.
    QMainWindow* cuttingListWindow() const;
    // Shows the cutting-list window, made on first use, with the list in
    // `file` when one is given (a .cvl named on the command line).
    void openCuttingList(const QString& file = {});
    // The anchorage window, once the menu has opened it.
    AnchorageWindow* anchorageWindow() const { return m_anchorage.get(); }

    static constexpr int kCompactHeight = 3970;
    static constexpr int kFullHeight = 7305;
    static constexpr int kMaxWidth = 7920;
    static constexpr int kMaxHeight = 7306;
    static constexpr std::array<int, 4> kTabHeights{5100, 5730, 6330, 7305};

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void onTabChanged(int tab);
    void onAlwaysOnTopTriggered();
    void onChangeHeightTriggered();
    void onAnchorageTriggered();
    void onAboutTriggered();
    void applyFrameMargins();
    QSize frameExtra() const;

    QTabWidget* m_tabs = nullptr;
    RebarTab* m_rebar = nullptr;
    LiftingTab* m_lifting = nullptr;
    BeamTab* m_beam = nullptr;
    CalculatorTab* m_calculator = nullptr;
    std::unique_ptr<CalculatorLink> m_link;
    QAction* m_alwaysOnTop = nullptr;
    QAction* m_changeHeight = nullptr;
    QPointer<AboutWindow> m_about;
    // Made when first asked for, so that start-up does not grow; its own
    // window, which outlives this one's closing.
    QPointer<QMainWindow> m_cuttingList;
    // Owned here, so that it goes with the main window; closing it only hides it.
    std::unique_ptr<AnchorageWindow> m_anchorage;
    int m_wantedHeightTwips = 0;
    QSize m_knownFrame;
};

// The window as the program opens it: made, started up and shown.
std::unique_ptr<MainWindow> openMainWindow();

// Typing into the bar-quantity tab through the real window: every key runs the
// key filter, the change rules and a full recompute.
#include "app/application_setup.h"
#include "app/main_window.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

struct Key {
    QLineEdit* field;
    Qt::Key key;
};

std::vector<Key> script(MainWindow& w) {
    auto f = [&w](const char* name) { return w.findChild<QLineEdit*>(QLatin1String(name)); };
    const struct {
        const char* field;
        std::vector<Qt::Key> keys;
    } words[] = {
        {"Text2",
         {Qt::Key_6, Qt::Key_0, Qt::Key_0, Qt::Key_0, Qt::Key_Backspace, Qt::Key_Backspace,
          Qt::Key_Backspace, Qt::Key_Backspace}},
        {"Text1",
         {Qt::Key_End, Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_1, Qt::Key_0,
          Qt::Key_Backspace, Qt::Key_2}},
        {"Text3", {Qt::Key_End, Qt::Key_2, Qt::Key_5, Qt::Key_Backspace, Qt::Key_Backspace}},
        {"Text4", {Qt::Key_End, Qt::Key_Period, Qt::Key_2, Qt::Key_Backspace, Qt::Key_Backspace}},
    };
    std::vector<Key> keys;
    while (keys.size() < 1000) {
        for (const auto& w : words) {
            for (Qt::Key k : w.keys) {
                if (keys.size() < 1000)
                    keys.push_back({f(w.field), k});
            }
        }
    }
    return keys;
}

void BM_TypeIntoBarQuantityTab(benchmark::State& state) {
    MainWindow window;
    window.startUp();
    window.show();
    window.activateWindow();
    QTest::qWaitForWindowActive(&window);
    window.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("14"));
    const std::vector<Key> keys = script(window);
    for (auto _ : state) {
        QLineEdit* focused = nullptr;
        for (const Key& k : keys) {
            if (k.field != focused) {
                k.field->setFocus();
                focused = k.field;
            }
            QTest::keyClick(k.field, k.key);
        }
    }
    // Seconds per key, shown with an SI prefix (u = microseconds).
    state.counters["per_key"] =
        benchmark::Counter(static_cast<double>(state.iterations() * keys.size()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TypeIntoBarQuantityTab)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setUpApplication(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

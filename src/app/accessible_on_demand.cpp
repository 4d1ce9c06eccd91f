#include "app/accessible_on_demand.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QRect>
#include <algorithm>
#include <vector>

namespace {

class Placeholder;

struct Quiet {
    int depth = 0;
    std::vector<Placeholder*> placeholders;
};
Quiet& quiet() {
    static Quiet state;
    return state;
}

// Stands in for an object's interface while quiet. It is not valid, so the
// notice that asked for it reaches nobody, as with no tool listening.
class Placeholder final : public QAccessibleInterface {
public:
    explicit Placeholder(QObject* object) : m_object(object) {
        quiet().placeholders.push_back(this);
    }
    ~Placeholder() override {
        // An object destroyed while quiet takes its placeholder with it.
        std::vector<Placeholder*>& all = quiet().placeholders;
        all.erase(std::remove(all.begin(), all.end(), this), all.end());
    }
    Placeholder(const Placeholder&) = delete;
    Placeholder& operator=(const Placeholder&) = delete;

    bool isValid() const override { return false; }
    QObject* object() const override { return m_object; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return nullptr; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text) const override { return {}; }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::NoRole; }
    QAccessible::State state() const override { return {}; }

private:
    QObject* m_object;
};

// Asked before Qt's own factories, for the most derived class first.
QAccessibleInterface* placeholderWhileQuiet(const QString&, QObject* object) {
    if (quiet().depth == 0 || !object || QAccessible::isActive())
        return nullptr;
    return new Placeholder(object);
}

} // namespace

AccessibleOnDemand::AccessibleOnDemand() {
    if (quiet().depth++ == 0)
        QAccessible::installFactory(&placeholderWhileQuiet);
}

AccessibleOnDemand::~AccessibleOnDemand() {
    if (--quiet().depth > 0)
        return;
    QAccessible::removeFactory(&placeholderWhileQuiet);
    // Out of Qt's cache, so that the next question makes a real interface.
    const std::vector<Placeholder*> placeholders = std::move(quiet().placeholders);
    quiet().placeholders.clear();
    for (Placeholder* placeholder : placeholders)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(placeholder));
}

#include "app/accessible_on_demand.h"
#include "support/window_fixture.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>

namespace {

class AccessibilityTest : public WindowTest {};

QString accessibleName(QWidget* w) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name).trimmed() : QString();
}

// A screen reader must be able to read every field, key and option by name.
TEST_F(AccessibilityTest, EveryFieldKeyAndOptionHasAName) {
    auto* tabs = find<QTabWidget>("SSTab1");
    for (int tab = 0; tab < tabs->count(); ++tab) {
        QWidget* page = tabs->widget(tab);
        int checked = 0;
        const auto widgets = page->findChildren<QWidget*>();
        for (QWidget* w : widgets) {
            if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QPlainTextEdit*>(w) &&
                !qobject_cast<QAbstractButton*>(w))
                continue;
            ++checked;
            EXPECT_FALSE(accessibleName(w).isEmpty())
                << "tab " << tab << ": " << w->metaObject()->className() << " "
                << w->objectName().toStdString() << " has no accessible name";
        }
        EXPECT_GT(checked, 3) << "tab " << tab;
    }
}

TEST_F(AccessibilityTest, FieldsAreNamedByTheirLabels) {
    EXPECT_EQ(accessibleName(find("Text1")), "钢筋直径（输入）");
    EXPECT_EQ(accessibleName(find("Text5")), "钢筋截面积");
    EXPECT_EQ(accessibleName(find("Text9")), "钢筋单根长度");
    EXPECT_EQ(accessibleName(find("Text13")), "长");
    EXPECT_EQ(accessibleName(find<QWidget>("Option1")), "两头弯起");
}

// Controls made while quiet have no interface then, and the usual one once
// anybody asks afterwards; nested scopes and controls gone meanwhile included.
TEST(AccessibleOnDemandTest, ControlsMadeWhileQuietAreReadAsUsualAfterwards) {
    QWidget page;
    QLineEdit* field = nullptr;
    {
        const AccessibleOnDemand outer;
        field = new QLineEdit(&page);
        {
            const AccessibleOnDemand inner;
            field->setAccessibleName(QStringLiteral("钢筋直径"));
            delete new QLabel(QStringLiteral("直径"), &page);
        }
        QAccessibleInterface* whileQuiet = QAccessible::queryAccessibleInterface(field);
        ASSERT_NE(whileQuiet, nullptr);
        EXPECT_FALSE(whileQuiet->isValid());
    }
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(field);
    ASSERT_NE(iface, nullptr);
    EXPECT_TRUE(iface->isValid());
    EXPECT_EQ(iface->role(), QAccessible::EditableText);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("钢筋直径"));
}
} // namespace

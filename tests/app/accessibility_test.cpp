#include "app/accessible_on_demand.h"
#include "support/window_fixture.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <map>
#include <vector>

namespace {

class AccessibilityTest : public WindowTest {};

QString accessibleText(QWidget* w, QAccessible::Text which) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(which).trimmed() : QString();
}
QString accessibleName(QWidget* w) {
    return accessibleText(w, QAccessible::Name);
}

// What a listener operates or reads on a tab: fields, keys, options, toggles.
std::vector<QWidget*> controlsOf(QWidget* page) {
    std::vector<QWidget*> controls;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
            qobject_cast<QAbstractButton*>(w))
            controls.push_back(w);
    }
    return controls;
}

// A listener tells every control of a tab from the others by its name alone.
TEST_F(AccessibilityTest, EveryControlOfATabHasANameOfItsOwn) {
    auto* tabs = find<QTabWidget>("SSTab1");
    for (int tab = 0; tab < tabs->count(); ++tab) {
        const std::vector<QWidget*> controls = controlsOf(tabs->widget(tab));
        EXPECT_GT(controls.size(), 3u) << "tab " << tab;
        std::map<QString, QStringList> byName;
        for (QWidget* w : controls)
            byName[accessibleName(w)] << w->objectName();
        for (const auto& [name, owners] : byName) {
            EXPECT_FALSE(name.isEmpty()) << "tab " << tab << ": no accessible name for "
                                         << owners.join(QLatin1Char(' ')).toStdString();
            EXPECT_EQ(owners.size(), 1)
                << "tab " << tab << ": " << owners.join(QLatin1Char(' ')).toStdString()
                << " are all called " << name.toStdString();
        }
    }
}

// The names the bar-quantity and beam tabs are heard by, and the captions
// that stay as they were.
TEST_F(AccessibilityTest, NamesSayWhatAControlIsWhereItsCaptionDoesNot) {
    const struct {
        const char* control;
        const char* name;
    } rows[] = {
        {"Text1", "钢筋直径（输入）"},
        {"Text7", "钢筋直径（结果）"},
        {"Text28", "上层钢筋直径"},
        {"Text31", "下层钢筋数量"},
        {"Text34", "箍筋直径"},
        {"Text43", "箍筋水平边长"},
        {"Command2", "计算上层配筋"},
        {"Check2", "钢筋长度公式输入：不启用"},
        {"Check3", "长度单位：毫米"},
        {"Text5", "钢筋截面积"},
        {"Text13", "长"},
        {"Option1", "两头弯起"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(accessibleName(find<QWidget>(row.control)), QString::fromUtf8(row.name))
            << row.control;
    EXPECT_EQ(find<QAbstractButton>("Command2")->text(), "计算");
    EXPECT_EQ(find<QAbstractButton>("Check2")->text(), "不启用");
}

// A result says it is read-only and keeps its tooltip; an input says neither.
TEST_F(AccessibilityTest, ResultsAreDescribedAsReadOnly) {
    const QString readOnly = QStringLiteral("只读计算结果");
    int results = 0;
    for (QLineEdit* field : window->findChildren<QLineEdit*>()) {
        const QString description = accessibleText(field, QAccessible::Description);
        if (field->isReadOnly()) {
            ++results;
            EXPECT_TRUE(description.startsWith(readOnly)) << field->objectName().toStdString();
            EXPECT_TRUE(description.endsWith(field->toolTip()))
                << field->objectName().toStdString();
        } else {
            EXPECT_FALSE(description.contains(readOnly)) << field->objectName().toStdString();
        }
    }
    EXPECT_EQ(results, 8 + 7 + 1); // the bar-quantity, lifting and beam tabs' results
}

// A toggle is heard by what it switches and its state. That the new name is
// announced is checked on the accessibility bus (tests/accessibility): here,
// with no assistive tool listening, Qt hands its notices to no handler.
TEST_F(AccessibilityTest, ToggleNamesFollowTheirState) {
    const struct {
        const char* control;
        const char* off;
        const char* on;
    } toggles[] = {
        {"Check2", "钢筋长度公式输入：不启用", "钢筋长度公式输入：启用"},
        {"Check3", "长度单位：毫米", "长度单位：厘米"},
    };
    for (const auto& t : toggles) {
        auto* toggle = find<QCheckBox>(t.control);
        for (const char* expected : {t.on, t.off}) {
            clickAtLeft(toggle);
            EXPECT_EQ(accessibleName(toggle), QString::fromUtf8(expected)) << t.control;
        }
    }
}

// An assistive tool's toggle action sets the state without a click; the
// unit switch runs all the same.
TEST_F(AccessibilityTest, AToggleActionSwitchesTheUnitAsAClickDoes) {
    type("Text2", QStringLiteral("600"));
    auto* check3 = find<QCheckBox>("Check3");
    QAccessibleActionInterface* actions =
        QAccessible::queryAccessibleInterface(check3)->actionInterface();
    ASSERT_NE(actions, nullptr);
    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(check3->isChecked());
    EXPECT_EQ(check3->text(), "厘米");
    EXPECT_EQ(accessibleName(check3), "长度单位：厘米");
    EXPECT_EQ(find<QLabel>("Label15")->text(), "厘米");
    EXPECT_EQ(find<QLabel>("Label18")->text(), "厘米");
    EXPECT_EQ(text("Text9"), "612.6");
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

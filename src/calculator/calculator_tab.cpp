#include "calculator/calculator_tab.h"

#include "app/form_builder.h"
#include "app/twips.h"

#include <QLineEdit>

CalculatorTab::CalculatorTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Tab3"));
    m_entry = form::field(this, "Text45", QString(), form::FieldKind::Input, QStringLiteral("公式"),
                          240, twips::pageTop(2760), 7335, 420);
}

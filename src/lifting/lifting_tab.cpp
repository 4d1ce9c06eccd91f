#include "lifting/lifting_tab.h"

#include "app/form_builder.h"
#include "app/twips.h"

#include <QLineEdit>

LiftingTab::LiftingTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Tab1"));
    m_entry = form::field(this, "Text13", QStringLiteral("1500"), form::FieldKind::Input,
                          QStringLiteral("长"), 1000, twips::pageTop(720), 855, 270);
}

void LiftingTab::startUp() {}

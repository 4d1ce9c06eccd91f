#include "beam/beam_tab.h"

#include "app/form_builder.h"
#include "app/twips.h"

#include <QLineEdit>

BeamTab::BeamTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Tab2"));
    m_entry = form::field(this, "Text24", QStringLiteral("2400"), form::FieldKind::Input,
                          QStringLiteral("长"), 600, twips::pageTop(720), 1335, 270);
}

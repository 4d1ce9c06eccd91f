#include "ui/form/tab_page.h"

TabPage::TabPage(QWidget* parent, const char* objectName) : QWidget(parent) {
    setObjectName(QLatin1String(objectName));
}

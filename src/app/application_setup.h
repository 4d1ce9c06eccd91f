#pragma once

class QApplication;

// Qt's own Chinese texts for standard buttons and menus, and an interface font
// with Simplified-Chinese glyph forms whatever the desktop locale.
void setUpApplication(QApplication& app);

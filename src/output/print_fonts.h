#pragma once

#include <QFont>
#include <QStringList>

// The faces printed Chinese text is set in. Linux has Noto Sans CJK SC
// (fonts-noto-cjk); Windows has Microsoft YaHei, and SimSun on older
// systems. Qt takes the first family of the list that the system has, so
// the glyphs are the Simplified-Chinese forms wherever the program runs.
namespace output {

QStringList printFamilies();

// A print face `pixelSize` units high, in the page's own units; outlines
// unhinted, so that what is measured is what a PDF or a printer shows.
QFont printFont(int pixelSize, bool bold = false);

} // namespace output

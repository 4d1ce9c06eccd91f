#pragma once

#include <QByteArray>

// The text a PDF reader copies and searches comes from each font's map of
// glyphs to characters (ToUnicode). Qt 6.4 gives a glyph the lowest
// character that the font draws with it, and CJK fonts draw many radicals
// with the glyph of their ideograph: "工程" would copy as "⼯程" and "长度"
// as "⻓度", and neither would be found by a search. The space glyph is
// likewise given the tab. These maps are rewritten with the ideograph and
// the space.
namespace output {

// The PDF with its ToUnicode maps mended; the bytes as they were when the
// file is not laid out as Qt writes it (objects by the cross-reference
// table, the maps as plain streams).
QByteArray withSearchableText(const QByteArray& pdf);

// The character a reader should get for one a map gives: the ideograph for
// a Kangxi or supplementary radical, a space for a control character.
char32_t readableCharacter(char32_t c);

} // namespace output

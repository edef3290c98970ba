// Plain functions of the document window: the colour of a syntax token, the separator that
// joins lines, the largest font size that fits a box, and a range test.
#ifndef NUMBERA_APP_NB_INTERFACE_HELPERS_H
#define NUMBERA_APP_NB_INTERFACE_HELPERS_H

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QSizeF>
#include <QString>
#include <cstdint>
#include <string>

// Named colours come from the shared colour manager; unknown types are black.
QColor NBSyntaxColorForTokenType(int32_t type, int32_t subtype);
// The light grey of the "@" that marks a heading.
QColor NBSyntaxHeadingMarkerColor();
// "\n": lines are joined with it when the text is built from the lines or copied.
const std::u16string& NBLineSeparatorString();
// 0 for a box wider than 10000 or taller than 4000. The font gives the family (the system
// font at 14 points without one); `measured` (may be null) receives the size of the text at
// the answered font size.
double NBLargestFittingFontSize(const QString& string, const QFont* font, QSizeF* measured,
                                double maxWidth, double maxHeight);
// A colour of the window chrome (answer column, line numbers, bars) as drawn on a light
// desktop. On a light palette it is answered as it is; on a dark one the same hue with its
// lightness turned over, so that the chrome follows the desktop's theme.
QColor NBChromeColor(const QColor& light, const QPalette& palette);
// Whether location + length is not beyond the string's length.
bool NBRangeFitsString(uint64_t location, uint64_t length, const std::u16string& string);

#endif

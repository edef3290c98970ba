// What the answer column shows and where, without a toolkit: the text of a row, the two text
// attribute sets it draws with, the answers as they are copied, the drawing rectangle of a
// cell and which redraw requests are honoured.
#ifndef NUMBERA_APP_RULES_NB_ANSWER_COLUMN_RULES_H
#define NUMBERA_APP_RULES_NB_ANSWER_COLUMN_RULES_H

#include <cstdint>
#include <string>

#include "NSAttributedString.h"
#include "NSGeometry.h"

class NCLine;
class NCLineCollection;

// Keys of the two attribute sets in the shared NBAttributesController (values: NSAttributes).
inline constexpr const char* kAnswerColumnNormalAttributesKey = "NBAnsColNormal";
inline constexpr const char* kAnswerColumnSelectedAttributesKey = "NBAnsColSelected";
// Attribute names the answer column adds to the font name and size.
inline constexpr const char* NBForegroundColorAttributeName = "NSForegroundColor";  // "#rrggbb"
inline constexpr const char* NBBoldFontAttributeName = "NSFontBold";                // bool
inline constexpr const char* NBLineBreakModeAttributeName = "NSLineBreakMode";      // int64
inline constexpr int64_t NBLineBreakByTruncatingTail = 4;
// The answer palette's "no line" marker; redrawing it is a caller's fault worth a warning.
inline constexpr uint64_t kAnswerColumnNoLineIndex = 999999999;

// Black in the font as given, or white in its bold variant; both truncate at the tail.
NSAttributes answerColumnAttributes(const std::u16string& fontName, double fontSize, bool selected);
// Stores both sets in the shared attributes controller.
void registerAnswerColumnAttributes(const std::u16string& fontName, double fontSize);
// The stored set; empty before registration.
NSAttributes registeredAnswerColumnAttributes(bool selected);

// The row's content: empty while answers are hidden, past the last line, and for a line
// without a value or error; otherwise the kit's text of the answer in the registered set.
NSAttributedString answerColumnRowContent(NCLineCollection* lines, uint64_t row,
                                          bool answersVisible, bool selected);
// As copied and dragged: the line's own options with "×10^" before exponents. Empty for a
// line without a value.
std::u16string answerColumnFormattedResult(NCLine& line);
// Raw: no thousands separator, 50 decimal places, no unit, otherwise the line's options.
std::u16string answerColumnUnformattedResult(NCLine& line);

// Within the row's bounds: centred vertically on a text of the given height when the row is
// taller, 5 points in from the left and 5 narrower, 25 narrower still beside an info button.
NSRect answerColumnCellDrawingRect(NSRect bounds, double textHeight, bool infoButtonVisible);

// Whether a redraw of the row may go ahead: only rows below the count; the palette's marker
// is reported.
bool answerColumnCanRedrawRow(uint64_t row, uint64_t rowCount);
// For a set of rows: only rows past the count are refused, with their own warning.
bool answerColumnCanRedrawRowOfSet(uint64_t row, uint64_t rowCount);

#endif

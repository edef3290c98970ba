// What the answer palette lists for an answer and how it is laid out: its rows, the text a
// dragged row carries, the row it falls back to when its own scrolls away, and its size.
#ifndef NUMBERA_APP_NB_ANSWER_PALETTE_RULES_H
#define NUMBERA_APP_NB_ANSWER_PALETTE_RULES_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class NCEnvironment;
class NCResult;
class NCResultFormattingOptions;
class NKAnswerRepHelper;
class NKCurrenciesManager;

// An info button's tag when it sits on no line.
inline constexpr uint64_t kAnswerPaletteNoLine = 999999999;
// The pointer touches the answer this far below the palette's top.
inline constexpr double kAnswerPalettePointerOffset = 32;
inline constexpr double kAnswerPaletteMinimumWidth = 55;
inline constexpr double kAnswerPaletteMinimumHeight = 65;
inline constexpr double kAnswerPaletteEmptyWidth = 150;
inline constexpr double kAnswerPaletteMaximumWidth = 300;
inline constexpr double kAnswerPaletteMaximumHeight = 2000;
// The palette's pointer sits this far inside the document window's right edge.
inline constexpr double kAnswerPaletteEdgeInset = 5;

struct NBAnswerPaletteRow {
    std::u16string title;  // localised, without the colon
    std::u16string value;
};

// What converting a currency answer into the favourites needs.
struct NBAnswerPaletteCurrencies {
    std::shared_ptr<NCEnvironment> environment;  // evaluates the conversions
    std::shared_ptr<NKCurrenciesManager> manager;
    std::u16string conversionOperator;  // the localised "in"
    char16_t thousandsSeparator = u',';
    // Copied, then set to two places, grouped, without the unit.
    std::shared_ptr<NCResultFormattingOptions> displayFormattingOptions;
};

// Decimal, degrees, fraction, hex and binary, each it can be written in, then the unit when the
// answer has one. Hex and binary of a number with a fraction are listed with an empty value:
// written out they would show only its whole part. A currency answer lists instead one row
// per enabled favourite currency, titled with its code, when `currencies` is given; nothing is
// listed without a value.
std::vector<NBAnswerPaletteRow> answerPaletteRowsForResult(
    const NCResult* result, NKAnswerRepHelper& helper,
    const NBAnswerPaletteCurrencies* currencies = nullptr);
// Whether the plain decimal text (as the result writes it completely) is a whole number.
bool answerTextIsWholeNumber(const std::u16string& complete);
// "Title:" as the label column shows it.
std::u16string answerPaletteLabel(const std::u16string& title);
// Long values drag as their first 49 characters and "...".
std::u16string answerPaletteDragText(const std::u16string& value);
// Whether the title is the localised "Fraction", whose value a click restyles.
bool answerPaletteRowIsFraction(const std::u16string& title);

// The row a palette moves to when its own row `target` is out of view: of the first and last
// candidate rows the nearer, the last on a tie.
int64_t answerPaletteNearerRow(int64_t target, int64_t first, int64_t last);

// The image an info button draws for its state (on or off), whether it is pressed, whether its
// row is selected (background style 1) and whether the pointer is over it.
const char* littleInfoButtonImageName(bool on, bool pressed, bool selectedRow, bool underMouse);

struct NBAnswerPaletteSize {
    double tableWidth = 0;
    double tableHeight = 0;
    double labelColumnWidth = 0;
    double valueColumnWidth = 0;
    double contentWidth = 0;
    double contentHeight = 0;
};
// The table and content size for columns needing these widths and rows of these heights.
NBAnswerPaletteSize answerPaletteSizeForRows(double labelWidth, double valueWidth,
                                             const std::vector<double>& rowHeights,
                                             double intercellWidth, double intercellHeight);

#endif

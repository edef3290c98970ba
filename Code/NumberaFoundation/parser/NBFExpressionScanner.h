// Cuts the text of an expression into basic tokens: numbers, words, operator characters,
// whitespace runs, brackets, the equals sign, the comment marker and the two marker
// characters. It classifies characters only (word breakers, the locale's separators) and knows
// no names. The tokens cover the whole text without gaps, whatever the text holds.
#ifndef NUMBERA_FOUNDATION_NBF_EXPRESSION_SCANNER_H
#define NUMBERA_FOUNDATION_NBF_EXPRESSION_SCANNER_H

#include <cstdint>
#include <set>

#include "NBFArray.h"
#include "NBFBasicToken.h"

namespace NBF {

class ExpressionScanner : public Object<ExpressionScanner> {
  public:
    // A scanner with the default word breakers and the default or given locale.
    static ExpressionScanner* create();
    static ExpressionScanner* create(NBFLocale locale);
    // The basic tokens in text order, each with one reference that the caller owns.
    virtual NBFBasicTokenVector scan(Expression* expression) = 0;

  protected:
    ExpressionScanner() = default;
};

class ExpressionScannerImpl : public ExpressionScanner {
  public:
    // The word breakers are borrowed and must outlive the scanner; every line is scanned
    // with the process-wide set, so scanners share it rather than copy it.
    ExpressionScannerImpl(const std::set<NBFChar>& wordBreakers, NBFLocale locale)
        : m_wordBreakers(wordBreakers), m_locale(locale) {}

    NBFBasicTokenVector scan(Expression* expression) override;
    // Scans the token at position: on success stores it (one reference, the caller's),
    // advances position by its length and returns true; false at the end of the text or for
    // a null expression.
    bool getNextBasicToken(Expression* expression, BasicToken** token, int32_t* position) const;

    bool isNumberChar(NBFChar c) const;     // digit or decimal separator
    bool isHexNumberChar(NBFChar c) const;  // digit, a-f, A-F or decimal separator
    bool isThousandsSeparator(NBFChar c) const;
    // False for whitespace, digits, the markers, the decimal separator and "*" "+" "-" "/";
    // true for everything else, an embedded NUL included.
    bool isBasicWordChar(NBFChar c) const;
    const std::set<NBFChar>& wordBreakers() const { return m_wordBreakers; }

  private:
    bool isWordBreaker(NBFChar c) const { return m_wordBreakers.count(c) != 0; }

    const std::set<NBFChar>& m_wordBreakers;
    const NBFLocale m_locale;
};

}  // namespace NBF

typedef NBF::ExpressionScanner* NBFExpressionScannerRef;

// Fills the default word breakers, ":" "@" "^" ";" "=" "!" "%" "(" ")" and the double quote.
// Start-up calls it once; later calls change nothing.
void NBFExpressionScannerInit();
// Empty before NBFExpressionScannerInit.
const std::set<NBFChar>& NBFExpressionScannerGetDefaultWordBreakers();

NBFExpressionScannerRef NBFExpressionScannerCreate();
NBFExpressionScannerRef NBFExpressionScannerCreate(NBFLocale locale);
NBFExpressionScannerRef NBFExpressionScannerRetain(NBFExpressionScannerRef scanner);
void NBFExpressionScannerRelease(NBFExpressionScannerRef scanner);
// The caller owns the tokens; empty for a null scanner or expression.
NBFBasicTokenVector NBFExpressionScannerScanExpression(NBFExpressionScannerRef scanner,
                                                       NBFExpressionRef expression);
// A new array (the caller releases it and the tokens in it).
NBFArrayRef NBFExpressionScannerGetBasicTokensForExpression(NBFExpressionScannerRef scanner,
                                                            NBFExpressionRef expression);

#endif

// Colours a free-standing text as the calculation text is coloured: the text is read as one
// expression and each of its tokens takes its colour of the scheme (black with colouring off)
// in the default text font. Used for answers and references written out as text: the answers
// jumped into the text, the copied expressions and results.
#ifndef NUMBERA_APP_NB_EXPRESSION_SYNTAX_COLORER_H
#define NUMBERA_APP_NB_EXPRESSION_SYNTAX_COLORER_H

#include <memory>

#include "NSAttributedString.h"

class NCEnvironment;

class NBExpressionSyntaxColorer {
  public:
    static NBExpressionSyntaxColorer& sharedInstance();

    // Every token lying wholly inside the range takes its colour and the default font; a token
    // the range cuts keeps its attributes. Words are read in the environment's vocabulary (the
    // current one when null). Answers the same string.
    static NSAttributedString& colorExpressionAttributedString(
        NSAttributedString& string, NSRange range,
        const std::shared_ptr<NCEnvironment>& environment = nullptr);

    // The default text font as attributes, black.
    static NSAttributes defaultAttributes();

  private:
    NBExpressionSyntaxColorer() = default;
};

#endif

// The text of one expression, shared by every token cut from it.
#ifndef NUMBERA_FOUNDATION_NBF_EXPRESSION_H
#define NUMBERA_FOUNDATION_NBF_EXPRESSION_H

#include <string>

#include "NBFObject.h"
#include "NBFString.h"

namespace NBF {

class Expression : public Object<Expression> {
  public:
    // The string is retained; null is taken as empty text.
    static Expression* create(NBFStringRef string);
    static Expression* create(const std::string& text);
    NBFStringRef string() const { return m_string; }

  private:
    explicit Expression(NBFStringRef string) : m_string(string) {}
    ~Expression() override;
    NBFStringRef const m_string;
};

}  // namespace NBF

typedef NBF::Expression* NBFExpressionRef;

NBFExpressionRef NBFExpressionCreateWithString(NBFStringRef string);
NBFExpressionRef NBFExpressionCreate(const char* text);  // UTF-8; null is taken as empty
NBFExpressionRef NBFExpressionRetain(NBFExpressionRef expression);
void NBFExpressionRelease(NBFExpressionRef expression);
NBFStringRef NBFExpressionGetStringReference(NBFExpressionRef expression);  // null for null

#endif

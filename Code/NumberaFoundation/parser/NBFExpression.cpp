#include "NBFExpression.h"

namespace NBF {

Expression* Expression::create(NBFStringRef string) {
    return new Expression(string ? NBFStringRetain(string) : NBFStringCreateWithUTF16(u""));
}

Expression* Expression::create(const std::string& text) {
    return new Expression(NBFStringCreateWithCppString(text));
}

Expression::~Expression() { NBFStringRelease(m_string); }

}  // namespace NBF

NBFExpressionRef NBFExpressionCreateWithString(NBFStringRef string) {
    return NBF::Expression::create(string);
}

NBFExpressionRef NBFExpressionCreate(const char* text) {
    return NBF::Expression::create(std::string(text ? text : ""));
}

NBFExpressionRef NBFExpressionRetain(NBFExpressionRef expression) {
    return NBF::retain(expression);
}
void NBFExpressionRelease(NBFExpressionRef expression) { NBF::release(expression); }

NBFStringRef NBFExpressionGetStringReference(NBFExpressionRef expression) {
    return expression ? expression->string() : nullptr;
}

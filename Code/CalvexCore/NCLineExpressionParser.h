// Parses a classified line into the token lists it is displayed, searched and evaluated with.
// A declaration gets one token list over the whole line (text before the name, the name, the
// "=" and the value's tokens behind it) while only its value is evaluated.
#ifndef NUMBERA_CORE_NC_LINE_EXPRESSION_PARSER_H
#define NUMBERA_CORE_NC_LINE_EXPRESSION_PARSER_H

#include <memory>

#include "NCEnvironment.h"
#include "NCExpressionParser.h"
#include "NCLineExpression.h"

class NCLineExpressionParser : public NCLineExpressionProcessor {
  public:
    // No environment: tokens are analysed without variables, units or word operators.
    NCLineExpressionParser() : NCLineExpressionParser(nullptr) {}
    explicit NCLineExpressionParser(std::shared_ptr<NCEnvironment> environment);

    const std::shared_ptr<NCExpressionParser>& parser() const { return m_parser; }
    void setParser(std::shared_ptr<NCExpressionParser> parser) { m_parser = std::move(parser); }
    const std::shared_ptr<NCEnvironment>& environment() const { return m_environment; }

    void parseLineExpression(NCLineExpression& lineExpression) { lineExpression.process(*this); }

    void processNormalLineExpression(NCNormalLineExpression& lineExpression) override;
    void processVarDeclLineExpression(NCVarDeclLineExpression& lineExpression) override;
    void processPlainTextLineExpression(NCPlainTextLineExpression& lineExpression) override;

  private:
    std::shared_ptr<NCEnvironment> m_environment;
    std::shared_ptr<NCExpressionParser> m_parser;
};

#endif

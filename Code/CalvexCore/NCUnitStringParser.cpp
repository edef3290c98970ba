#include "NCUnitStringParser.h"

#include "NBFEvaluator.h"
#include "NCUtilityFunctions.h"
#include "NCValueUnit.h"

NCUnitStringParser::NCUnitStringParser(std::shared_ptr<NCUnitCollection> unitManager,
                                       std::shared_ptr<NCWordOperatorList> wordOperators)
    : m_unitManager(std::move(unitManager)), m_wordOperators(std::move(wordOperators)) {}

std::shared_ptr<NCUnitCollection> NCUnitStringParser::unitManager() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_unitManager;
}

void NCUnitStringParser::setUnitManager(std::shared_ptr<NCUnitCollection> unitManager) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_unitManager = std::move(unitManager);
}

std::shared_ptr<NCUnit> NCUnitStringParser::unitFromString(const std::u16string& text) const {
    std::shared_ptr<NCUnitCollection> manager = unitManager();
    NBFEvaluatorRef evaluator =
        NBFEvaluatorCreate(manager ? manager->nbfUnitCollection() : nullptr);
    if (m_wordOperators)
        NBFEvaluatorSetWordOperatorList(evaluator, m_wordOperators->nbfWordOperatorList());
    NBFResultRef result =
        NBFEvaluatorEvaluateString(evaluator, NCNBFStringFromNSStringReference(text).get());
    std::shared_ptr<NCUnit> unit;
    if (NBFUnitFractionRef fraction = NBFResultGetUnitFraction(result))
        unit = std::make_shared<NCValueUnit>(fraction);
    NBFResultRelease(result);
    NBFEvaluatorFree(evaluator);
    return unit;
}

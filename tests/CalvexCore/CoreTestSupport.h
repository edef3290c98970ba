// Helpers shared by the document core's tests: foundation start-up, decimal text of values,
// and UTF-8 views of optional UTF-16 text for readable failure messages.
#ifndef NUMBERA_TESTS_CORE_TEST_SUPPORT_H
#define NUMBERA_TESTS_CORE_TEST_SUPPORT_H

#include <cstdlib>
#include <optional>
#include <string>

#include "NBFFunctionList.h"
#include "NBFMAPMContext.h"
#include "NBFNumber.h"
#include "NBFSettings.h"
#include "NBFStandardFunctions.h"
#include "NBFString.h"
#include "NBFoundation.h"
#include "NCExpression.h"
#include "NCFunctionList.h"
#include "NCSettings.h"
#include "mapm/m_apm.h"

// Starts the engine once per process as a program does: default engine settings, which start
// the foundation.
inline void initFoundationConstants() {
    if (!NCSettings::isSet()) std::make_shared<NCSettings>()->set();
}

// Every significant digit in fixed point; "(null)" for a missing value.
inline std::string decimalText(M_APM value) {
    if (!value) return "(null)";
    char* text = m_apm_to_fixpt_stringexp_mt(-1, value, '.', 0, 0);
    std::string result(text);
    std::free(text);
    return result;
}

// "(none)" for no text.
inline std::string utf8(const std::optional<std::u16string>& text) {
    return text ? NBFUTF16ToUTF8(*text) : "(none)";
}

// The standard functions and the five reserved line-reference names (one argument each), so
// that the analyser knows the names; tokenisation never calls them.
inline std::shared_ptr<NCFunctionList> lineReferenceFunctions() {
    initFoundationConstants();
    NBFFunctionListRef list = NBFFunctionListCreate();
    NBFFunctionListSetParentList(list, NBFStandardFunctionsGetSharedListReference());
    for (const std::u16string* name :
         {&NCExpression::relativeLineReferenceFunctionName(),
          &NCExpression::absoluteLineReferenceFunctionName(),
          &NCExpression::absoluteLineReferenceByLineNumberFunctionName(),
          &NCExpression::fixedRelativeLineReferenceFunctionName(),
          &NCExpression::nullLineReferenceFunctionName()}) {
        NBFFunctionRef function = NBFFunctionCreateWithName(NBFUTF16ToUTF8(*name), 1);
        NBFFunctionListAddFunction(list, function);
        NBFFunctionRelease(function);
    }
    auto wrapped = std::make_shared<NCFunctionList>(list);
    NBFFunctionListRelease(list);
    return wrapped;
}

#endif

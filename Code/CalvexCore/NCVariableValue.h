// A variable's value as taken from a result: text, unit and flags, or the result's error.
#ifndef NUMBERA_CORE_NC_VARIABLE_VALUE_H
#define NUMBERA_CORE_NC_VARIABLE_VALUE_H

#include <memory>
#include <optional>
#include <string>

#include "NCResult.h"

class NCVariableValue {
  public:
    NCVariableValue(std::optional<std::u16string> value, std::shared_ptr<NCUnit> unit,
                    NCResultFlags flags, NCResultErrorType errorType = NCResultErrorTypeNone)
        : m_value(std::move(value)),
          m_unit(std::move(unit)),
          m_flags(flags),
          m_errorType(errorType) {}
    // The result's text at the precision, its unit and flags; for an error result, its error.
    static std::shared_ptr<NCVariableValue> ofResult(const NCResult& result, int32_t precision) {
        return std::make_shared<NCVariableValue>(
            result.stringValueWithPrecision(precision), result.unit(), result.flags(),
            result.resultType() == NCResultTypeError ? result.errorType() : NCResultErrorTypeNone);
    }
    const std::optional<std::u16string>& value() const { return m_value; }
    const std::shared_ptr<NCUnit>& unit() const { return m_unit; }
    NCResultFlags flags() const { return m_flags; }
    // Not none: the value is that failure.
    NCResultErrorType errorType() const { return m_errorType; }

  private:
    std::optional<std::u16string> m_value;
    std::shared_ptr<NCUnit> m_unit;
    NCResultFlags m_flags;
    NCResultErrorType m_errorType;
};

#endif

// A variable's value as taken from a result: text, unit and flags.
#ifndef NUMBERA_CORE_NC_VARIABLE_VALUE_H
#define NUMBERA_CORE_NC_VARIABLE_VALUE_H

#include <memory>
#include <optional>
#include <string>

#include "NCResult.h"

class NCVariableValue {
  public:
    NCVariableValue(std::optional<std::u16string> value, std::shared_ptr<NCUnit> unit,
                    NCResultFlags flags)
        : _value(std::move(value)), _unit(std::move(unit)), _flags(flags) {}
    // The result's text at the precision, its unit and flags.
    static std::shared_ptr<NCVariableValue> ofResult(const NCResult& result, int32_t precision) {
        return std::make_shared<NCVariableValue>(result.stringValueWithPrecision(precision),
                                                 result.unit(), result.flags());
    }
    const std::optional<std::u16string>& value() const { return _value; }
    const std::shared_ptr<NCUnit>& unit() const { return _unit; }
    NCResultFlags flags() const { return _flags; }

  private:
    std::optional<std::u16string> _value;
    std::shared_ptr<NCUnit> _unit;
    NCResultFlags _flags;
};

#endif

// How an operator made from a special word or a word operator takes its arguments: the
// options word (bits 4, 8, 16 and 32 steer the argument checks), three further words, a fifth
// word, the argument conditions and the argument type.
#ifndef NUMBERA_FOUNDATION_NBF_OPERATOR_OPTIONS_H
#define NUMBERA_FOUNDATION_NBF_OPERATOR_OPTIONS_H

#include <cstdint>

struct NBFOperatorOptions {
    uint32_t options;
    uint32_t second;
    uint32_t third;
    uint32_t fourth;
    uint32_t fifth;
    uint32_t argumentConditions;
    uint32_t argumentType;
    bool operator==(const NBFOperatorOptions&) const = default;
};

constexpr NBFOperatorOptions NBFOperatorOptionsNone = {0, 0, 0, 0, 0, 0, 0};

#endif

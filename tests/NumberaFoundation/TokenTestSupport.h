// Tables of expected tokens: each token as (location, length, type, subtype), positions in
// UTF-16 code units.
#ifndef NUMBERA_TESTS_TOKEN_TEST_SUPPORT_H
#define NUMBERA_TESTS_TOKEN_TEST_SUPPORT_H

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "NBFExpression.h"
#include "NBFRange.h"

struct TokenSpec {
    int32_t location, length, type, subType;
    bool operator==(const TokenSpec&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const TokenSpec& t) {
    return out << "{" << t.location << "," << t.length << "," << t.type << "," << t.subType << "}";
}

// Text given as UTF-8 with an explicit length, so it may hold NUL.
inline NBF::Ref<NBF::Expression> makeExpression(const std::string& text) {
    return NBF::Ref<NBF::Expression>::adopt(NBF::Expression::create(text));
}

#endif

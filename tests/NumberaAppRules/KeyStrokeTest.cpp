#include <gtest/gtest.h>

#include "NBInterfaceRules.h"

TEST(KeyStroke, EmptyCharactersGiveNothing) {
    EXPECT_EQ(keyStrokeRepresentation(true, true, true, u""), u"");
}

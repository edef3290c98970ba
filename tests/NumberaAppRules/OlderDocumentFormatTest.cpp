// The older keyed-archive documents: the text of "expressions" comes out whole; damaged
// archives are errors with a reason.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "NBOlderDocumentFormat.h"

namespace {

std::string fixture(const std::string& name) {
    std::ifstream file(std::string(NUMBERA_SOURCE_DIR_DEFAULT) + "/tests/data/older-format/" + name,
                       std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

TEST(OlderDocumentFormat, TheStyledTextOfExpressionsIsTheDocumentsText) {
    const std::string bytes = fixture("one-two.numbera");
    ASSERT_FALSE(bytes.empty());
    std::string why;
    EXPECT_EQ(olderDocumentText(bytes, &why), std::u16string(u"1\n2\n")) << why;
}

struct DamagedCase {
    const char* name;
    std::string bytes;
    const char* reason;
};

class DamagedArchives : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedArchives, AreErrorsWithAReason) {
    std::string why;
    EXPECT_EQ(olderDocumentText(GetParam().bytes, &why), std::nullopt) << GetParam().name;
    EXPECT_EQ(why, GetParam().reason) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedArchives,
    ::testing::Values(DamagedCase{"plain text", "1+1\n2\n", "the file is no keyed archive"},
                      DamagedCase{"an XML property list", "<plist><dict/></plist>",
                                  "the file is no keyed archive"},
                      DamagedCase{"a reference past the table", fixture("bad-reference.numbera"),
                                  "a reference of the archive points outside its object table"},
                      DamagedCase{"a circular reference", fixture("circular.numbera"),
                                  "the archive's references go round in a circle"},
                      DamagedCase{"a truncated archive", fixture("one-two.numbera").substr(0, 200),
                                  "the file is no keyed archive"}));

TEST(OlderDocumentFormat, EveryTruncationOfAnArchiveIsHandled) {
    const std::string bytes = fixture("one-two.numbera");
    for (size_t length = 0; length < bytes.size(); ++length) {
        std::string why;
        const auto text = olderDocumentText(bytes.substr(0, length), &why);
        if (!text) {
            EXPECT_FALSE(why.empty()) << length;
        }
    }
}

}  // namespace

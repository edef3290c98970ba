// Error texts, parity, ranges, line-reference arithmetic, locales, the data folder and the
// application's identity.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

#include "NKFunctions.h"
#include "NSFileManager+Additions.h"

namespace fs = std::filesystem;

TEST(KitFunctions, ErrorMessagesByType) {
    struct Row {
        int32_t type;
        std::u16string message;
    };
    const Row rows[] = {
        {1, u"Error: Exponent too large"}, {2, u"Error: Divide by Zero"},
        {3, u"Error: Incompatible Units"}, {4, u"Error"},
        {0, u"\u221E"},                    {5, u"\u221E"},
        {-1, u"\u221E"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(errorStringForNCResultErrorType(row.type), row.message) << row.type;
}

TEST(KitFunctions, ErrorSymbolIsOneSharedCharacter) {
    EXPECT_EQ(errorSymbol().size(), 1u);
    EXPECT_EQ(errorSymbol()[0], u'\u221E');
    EXPECT_EQ(&errorSymbol(), &errorSymbol());
    EXPECT_EQ(NKNewLineString(), u"\n");
}

TEST(KitFunctions, ParityCutsTowardZero) {
    struct Row {
        double number;
        bool odd, even;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Row rows[] = {
        {-3.7, true, false},
        {4.9, false, true},
        {0.5, false, true},
        {-0.5, false, true},
        {7.0, true, false},
        {-8.0, false, true},
        // Largest doubles that still fit: 2^62 + 1 is not representable, 2^53 + 1 is not
        // either; 2^53 - 1 is odd.
        {9007199254740991.0, true, false},
        {-9223372036854775808.0, false, true},  // -2^63 fits and is even
        // Not integers of 64 bits at all: neither.
        {9223372036854775808.0, false, false},  // 2^63
        {1e300, false, false},
        {-1e300, false, false},
        {inf, false, false},
        {-inf, false, false},
        {std::nan(""), false, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(isOdd(row.number), row.odd) << row.number;
        EXPECT_EQ(isEven(row.number), row.even) << row.number;
    }
}

TEST(KitFunctions, RangeContainment) {
    struct Row {
        NSRange outer, inner;
        bool contained;
    };
    const Row rows[] = {
        {{2, 3}, {4, 1}, true},  {{2, 3}, {4, 2}, false}, {{2, 3}, {5, 0}, true},
        {{2, 3}, {1, 1}, false}, {{2, 3}, {2, 3}, true},  {{2, 3}, {6, 0}, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(NKRangeContainsRange(row.outer, row.inner), row.contained)
            << row.inner.location << "," << row.inner.length;

    EXPECT_TRUE(validRangeInString({5, 0}, u"abcde"));
    EXPECT_TRUE(validRangeInString({0, 5}, u"abcde"));
    EXPECT_FALSE(validRangeInString({3, 3}, u"abcde"));
    EXPECT_FALSE(validRangeInString({NSNotFound, 1}, u"abcde"));
}

TEST(KitFunctions, RelativeReferenceArithmetic) {
    EXPECT_EQ(actualReferencedLineForRelativeToken(5, -2), 3);
    EXPECT_EQ(actualReferencedLineForRelativeToken(0, 4), 4);
    EXPECT_EQ(offsetRequiredToPointToReferenceLine(5, 3), -2);
    EXPECT_EQ(offsetRequiredToPointToReferenceLine(2, 9), 7);
}

TEST(KitFunctions, SeparatorLocales) {
    EXPECT_EQ(standardLocale().value(), 0x2C002Eu);
    EXPECT_EQ(europeanLocale().value(), 0x2E002Cu);
    EXPECT_EQ(standardLocale().decimalPointChar, u'.');
    EXPECT_EQ(standardLocale().groupingChar, u',');
    EXPECT_EQ(europeanLocale().decimalPointChar, u',');
    EXPECT_TRUE(NKLocalesEqual(standardLocale(), NKLocale{u'.', u','}));
    EXPECT_FALSE(NKLocalesEqual(standardLocale(), europeanLocale()));
}

TEST(KitFunctions, LocaleForCurrencyCode) {
    EXPECT_FALSE(localeForCurrencyCode(u"QQQ").has_value());
    EXPECT_FALSE(localeForCurrencyCode(u"").has_value());
    std::optional<std::string> yen = localeForCurrencyCode(u"JPY");
    ASSERT_TRUE(yen.has_value());
    EXPECT_NE(yen->find("JP"), std::string::npos) << *yen;
}

TEST(KitFunctions, ApplicationInfoLeavesOutMissingValues) {
    NKSetApplicationIdentity({u"2.1", u"org.example.calc", std::nullopt});
    auto info = NKApplicationInfoDictionary();
    EXPECT_EQ(info.size(), 2u);
    EXPECT_EQ(info[u"CreatorVersion"], u"2.1");
    EXPECT_EQ(info[u"CreatorID"], u"org.example.calc");
    EXPECT_EQ(info.count(u"CreatorBuild"), 0u);
    NKSetApplicationIdentity({});
    EXPECT_TRUE(NKApplicationInfoDictionary().empty());
    EXPECT_FALSE(iCloudStorageEnabled());
}

namespace {
// A fresh folder under the build's temporary space, removed afterwards.
struct ScratchFolder {
    fs::path path;
    ScratchFolder() {
        char pattern[] = "/tmp/nk-support-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~ScratchFolder() {
        std::error_code error;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, error);
        fs::remove_all(path, error);
    }
};
}  // namespace

TEST(KitFunctions, SupportFolderIsCreatedWithItsParents) {
    ScratchFolder scratch;
    std::string parent = (scratch.path / "deep" / "er").string();
    std::string error;
    std::optional<std::string> folder = NKApplicationSupportDirectoryInFolder(parent, &error);
    ASSERT_TRUE(folder.has_value()) << error;
    EXPECT_EQ(*folder, parent + "/Numbera");
    EXPECT_TRUE(fs::is_directory(*folder));
    // Asking again finds it.
    EXPECT_EQ(NKApplicationSupportDirectoryInFolder(parent, nullptr), folder);
}

TEST(KitFunctions, SupportFolderReplacesADanglingLink) {
    ScratchFolder scratch;
    fs::path link = scratch.path / "Numbera";
    fs::create_symlink(scratch.path / "nowhere", link);
    EXPECT_TRUE(NSFileManagerFileIsSymlinkAtPath(link.string()));
    std::optional<std::string> folder =
        NKApplicationSupportDirectoryInFolder(scratch.path.string(), nullptr);
    ASSERT_TRUE(folder.has_value());
    EXPECT_FALSE(NSFileManagerFileIsSymlinkAtPath(*folder));
    EXPECT_TRUE(fs::is_directory(*folder));
    EXPECT_FALSE(NSFileManagerFileIsSymlinkAtPath((scratch.path / "missing").string()));
}

// These hold for any user, the superuser included: a file is never a writable folder, and
// no folder can be made beneath a file.
TEST(KitFunctions, UnwritableSupportFolderIsAnErrorNotAnAbort) {
    ScratchFolder scratch;
    std::ofstream(scratch.path / "Numbera") << "not a folder";
    std::string error;
    EXPECT_FALSE(NKApplicationSupportDirectoryInFolder(scratch.path.string(), &error));
    EXPECT_NE(error.find("Unable to write to application support directory at "),
              std::string::npos);
    EXPECT_NE(error.find((scratch.path / "Numbera").string()), std::string::npos);
}

TEST(KitFunctions, UncreatableSupportFolderIsAnErrorNotAnAbort) {
    ScratchFolder scratch;
    std::ofstream(scratch.path / "file") << "x";
    std::string error;
    EXPECT_FALSE(
        NKApplicationSupportDirectoryInFolder((scratch.path / "file" / "sub").string(), &error));
    EXPECT_NE(error.find("Error creating application support directory at "),
              std::string::npos);
    // The reason is filled in, not left blank.
    EXPECT_NE(error.find(" : "), std::string::npos);
    EXPECT_GT(error.size(), error.find(" : ") + 3);
}

TEST(KitFunctions, SupportFolderReadOnlyForOrdinaryUsers) {
    if (geteuid() == 0) GTEST_SKIP() << "the superuser writes anywhere";
    ScratchFolder scratch;
    fs::create_directory(scratch.path / "Numbera");
    chmod((scratch.path / "Numbera").c_str(), 0555);
    EXPECT_FALSE(NKApplicationSupportDirectoryInFolder(scratch.path.string(), nullptr));
}

TEST(KitFunctions, SupportFolderFollowsTheDataHome) {
    ScratchFolder scratch;
    const char* old = std::getenv("XDG_DATA_HOME");
    std::string saved = old ? old : "";
    setenv("XDG_DATA_HOME", scratch.path.c_str(), 1);
    std::optional<std::string> folder = NKApplicationSupportDirectory();
    if (old) setenv("XDG_DATA_HOME", saved.c_str(), 1); else unsetenv("XDG_DATA_HOME");
    ASSERT_TRUE(folder.has_value());
    EXPECT_EQ(*folder, (scratch.path / "Numbera").string());
}

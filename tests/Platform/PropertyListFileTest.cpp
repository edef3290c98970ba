#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "BoundedScope.h"
#include "PlatformTestSupport.h"
#include "PropertyListFile.h"

namespace {

namespace plf = PropertyListFile;

PlistPtr sampleList() {
    PlistPtr root = plf::dictionary();
    PlistPtr items = plf::array();
    plf::append(items.get(), plf::string(u"k\u00e9y"));
    plf::append(items.get(), plf::integer(-12));
    plf::append(items.get(), plf::boolean(true));
    plf::set(root.get(), "Items", std::move(items));
    plf::set(root.get(), "Rate", plf::real(0.5));
    return root;
}

TEST(PropertyListFile, WritesXmlThatReadsBack) {
    TemporaryFolder folder;
    const std::string path = folder.file("Data.plist");
    PlistPtr root = sampleList();
    NSError error;
    ASSERT_TRUE(plf::writeAtomically(path, root.get(), &error))
        << std::string(error.localizedDescription.begin(), error.localizedDescription.end());
    const std::string text = folder.read("Data.plist");
    EXPECT_EQ(text.rfind("<?xml", 0), 0u);
    EXPECT_NE(text.find("<string>k\xC3\xA9y</string>"), std::string::npos);
    PlistPtr back = plf::read(path, &error);
    ASSERT_TRUE(back);
    EXPECT_EQ(plf::xmlData(back.get()), plf::xmlData(root.get()));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    // Nothing but the file is left in the folder.
    size_t files = 0;
    for (auto& entry : std::filesystem::directory_iterator(folder.path())) (void)entry, ++files;
    EXPECT_EQ(files, 1u);
}

TEST(PropertyListFile, UnreadableFilesAreMovedAsideNotOverwritten) {
    struct Row {
        std::string existing;
        bool movedAside;
    };
    const Row rows[] = {
        {"not a property list at all", true},
        {"", true},
        {"<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>", true},
        {"<?xml version=\"1.0\"?><plist version=\"1.0\"><dict/></plist>", false},
    };
    for (const auto& row : rows) {
        TemporaryFolder folder;
        folder.write("Variables.plist", row.existing);
        PlistPtr root = sampleList();
        ASSERT_TRUE(plf::writeAtomically(folder.file("Variables.plist"), root.get(), nullptr));
        EXPECT_EQ(std::filesystem::exists(folder.file("Variables.plist.unreadable")),
                  row.movedAside)
            << row.existing;
        if (row.movedAside) {
            EXPECT_EQ(folder.read("Variables.plist.unreadable"), row.existing);
        }
        EXPECT_TRUE(plf::isReadableDictionary(folder.file("Variables.plist")));
    }
}

std::string utf8(const std::u16string& text) { return std::string(text.begin(), text.end()); }

// Refused at once with the reason, never waited on or read whole; a save puts the file aside
// untouched.
TEST(PropertyListFile, OnlyRegularFilesOfBoundedSizeAreRead) {
    for (HostileFile kind : kHostileFiles) {
        SCOPED_TRACE(hostileFileName(kind));
        TemporaryFolder folder;
        const std::string path = folder.file("Variables.plist");
        ASSERT_TRUE(makeHostileFile(path, kind, plf::kMaximumFileSize));
        const std::string before = fileIdentity(path);
        BoundedScope bound(std::string("Reading a ") + hostileFileName(kind), 60, 1000 * 1000);
        NSError error;
        EXPECT_FALSE(plf::readContents(path, &error));
        EXPECT_EQ(error.code, plf::kNotAPropertyList);
        const std::string reason =
            kind == HostileFile::SparseOverLimit ? "is too large" : "is not a regular file";
        EXPECT_EQ(utf8(error.localizedDescription), "'" + path + "' " + reason);
        EXPECT_FALSE(plf::read(path, nullptr));
        EXPECT_FALSE(plf::isReadableDictionary(path));
        EXPECT_EQ(fileIdentity(path), before) << "left alone by reading";

        PlistPtr root = sampleList();
        EXPECT_TRUE(plf::writeAtomically(path, root.get(), nullptr));
        EXPECT_EQ(fileIdentity(folder.file("Variables.plist.unreadable")), before);
        EXPECT_TRUE(plf::isReadableDictionary(path));
        EXPECT_LT(bound.growthKilobytes(), 64 * 1000);
    }
    // A link to a data file is followed.
    TemporaryFolder folder;
    PlistPtr root = sampleList();
    ASSERT_TRUE(plf::writeAtomically(folder.file("Real.plist"), root.get(), nullptr));
    ASSERT_EQ(::symlink(folder.file("Real.plist").c_str(), folder.file("Link.plist").c_str()), 0);
    EXPECT_TRUE(plf::isReadableDictionary(folder.file("Link.plist")));
}

TEST(PropertyListFile, SecondUnreadableFileGetsANumberedName) {
    TemporaryFolder folder;
    folder.write("Stocks.plist.unreadable", "older");
    folder.write("Stocks.plist", "newer");
    const auto moved = plf::moveAsideIfUnreadable(folder.file("Stocks.plist"), nullptr);
    ASSERT_TRUE(moved);
    EXPECT_EQ(*moved, folder.file("Stocks.plist.unreadable-2"));
    EXPECT_EQ(folder.read("Stocks.plist.unreadable"), "older");
    EXPECT_EQ(folder.read("Stocks.plist.unreadable-2"), "newer");
    // Nothing there: nothing to move.
    EXPECT_FALSE(plf::moveAsideIfUnreadable(folder.file("Stocks.plist"), nullptr));
}

TEST(PropertyListFile, FailuresAreReportedNotThrown) {
    NSError error;
    EXPECT_FALSE(plf::writeDataAtomically("/nonexistent-folder/x.plist", "data", &error));
    EXPECT_EQ(error.domain, plf::kErrorDomain);
    EXPECT_EQ(error.code, plf::kWriteFailed);
    EXPECT_FALSE(plf::read("/nonexistent-folder/x.plist", &error));
    EXPECT_EQ(error.code, plf::kReadFailed);
    EXPECT_FALSE(plf::writeAtomically("/tmp/x.plist", nullptr, &error));
}

TEST(PropertyListFile, DatesCountFromTheReferenceDate) {
    PlistPtr node = plf::date(86400.25);
    int32_t sec = 0, usec = 0;
    plist_get_date_val(node.get(), &sec, &usec);
    EXPECT_EQ(sec, 86400);
    EXPECT_EQ(usec, 250000);
}

}  // namespace

// End-to-end runs of numbera-preview and numbera-thumbnailer on documents written here, with
// a home folder of the test's own so that no user's data is read or touched.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <QImage>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "NBFFile.h"
#include "NCExpression.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NKTextHelpers.h"
#include "PlatformTestSupport.h"
#include "PreviewEnvironment.h"
#include "ProgramRunner.h"
#include "PropertyListFile.h"

namespace fs = std::filesystem;

namespace {

const std::string kPreview = NUMBERA_PREVIEW_PROGRAM;
const std::string kThumbnailer = NUMBERA_THUMBNAILER_PROGRAM;

// Documents are written in this process with the engine the programs use.
class PreviewTestEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        std::string reason;
        ASSERT_TRUE(NumberaPreview::bootstrap(std::nullopt, &reason)) << reason;
    }
};
const auto* const registered = ::testing::AddGlobalTestEnvironment(new PreviewTestEnvironment);

class Scratch {
  public:
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "numbera-preview-XXXXXX").string();
        if (::mkdtemp(pattern.data())) m_path = pattern;
        fs::create_directories(home());
    }
    ~Scratch() {
        std::error_code ignored;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
        if (fs::exists(m_path + "/home/data"))
            fs::permissions(m_path + "/home/data", fs::perms::owner_all, fs::perm_options::add,
                            ignored);
        fs::remove_all(m_path, ignored);
    }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    std::string home() const { return m_path + "/home"; }
    std::string dataHome() const { return home() + "/data"; }
    void write(const std::string& name, const std::string& text) const {
        fs::create_directories(fs::path(file(name)).parent_path());
        std::ofstream(file(name), std::ios::binary) << text;
    }
    std::string document(const std::string& name, const std::vector<std::u16string>& lines) {
        auto collection = std::make_shared<NCLineCollection>();
        for (const auto& line : lines) collection->addLine(NCLine::lineWithExpressionString(line));
        std::string reason;
        EXPECT_TRUE(collection->archiveToPath(file(name), {}, &reason)) << reason;
        return file(name);
    }
    // The programs see this home and data folder, never the user's.
    std::map<std::string, std::string> environment() const {
        return {{"HOME", home()}, {"XDG_DATA_HOME", dataHome()}, {"QT_QPA_PLATFORM", ""}};
    }

  private:
    std::string m_path;
};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

// Width and height from a PNG's header chunk; zeros for anything else.
std::pair<uint32_t, uint32_t> pngSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char header[24] = {};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (in.gcount() != 24 || !std::equal(signature, signature + 8, header) ||
        std::string(reinterpret_cast<char*>(header + 12), 4) != "IHDR")
        return {0, 0};
    auto word = [&](int at) {
        return uint32_t(header[at]) << 24 | uint32_t(header[at + 1]) << 16 |
               uint32_t(header[at + 2]) << 8 | uint32_t(header[at + 3]);
    };
    return {word(16), word(20)};
}

// Answers worked out by hand; the last line refers to the first and shows its answer.
const std::vector<std::u16string> kArithmetic = {
    u"2 + 3", u"10 * 4", u"7 / 2", u"",
    NCExpression::absoluteLineReferenceTokenWithIndex(0) + u" * 2"};

TEST(PreviewProgram, TextAndCSVCarryTheAnswers) {
    Scratch scratch;
    const std::string document = scratch.document("sums.numbera", kArithmetic);
    struct Row {
        std::string format;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {"text", {"2 + 3 = 5", "10 * 4 = 40", "7 / 2 = 3.5", "", "5 * 2 = 10"}},
        {"csv",
         {"\"2 + 3\",\"5\"", "\"10 * 4\",\"40\"", "\"7 / 2\",\"3.5\"", "\"\",\"\"",
          "\"5 * 2\",\"10\""}},
    };
    for (const auto& row : rows) {
        auto run = runProgram(kPreview, {"--format", row.format, document}, scratch.environment());
        EXPECT_EQ(run.exitStatus, 0) << row.format << ": " << run.err;
        EXPECT_EQ(lines(run.out), row.expected) << row.format;
    }
}

// Every kind of reference as the document's token shows it, and never in its stored form.
TEST(PreviewProgram, ReferencesReadAsTheDocumentsTokens) {
    Scratch scratch;
    const std::u16string dead = NCExpression::nullLineReferenceToken();
    const auto above = [](int64_t offset) {
        return NCExpression::relativeLineReferenceTokenWithOffset(offset);
    };
    struct Row {
        std::u16string line;
        std::string text, csv;
    };
    const Row rows[] = {
        {u"2 + 3", "2 + 3 = 5", "\"2 + 3\",\"5\""},
        {above(-1) + u" * 2", "5 * 2 = 10", "\"5 * 2\",\"10\""},
        {dead + u" + 1", "\u26A0 + 1 = 1", "\"\u26A0 + 1\",\"1\""},  // no value, not line 1's
        {above(0) + u" + 1", "\u221E + 1", "\"\u221E + 1\",\"\""},
        {u"# Heading", "# Heading", "\"# Heading\",\"\""},
        {above(-1) + u" + 1", "Line 5 + 1 = 1", "\"Line 5 + 1\",\"1\""},
        {u"line1 * 3", "5 * 3 = 15", "\"5 * 3\",\"15\""},
        {u"line5 * 3", "Line 5 * 3", "\"Line 5 * 3\",\"\""},
    };
    std::vector<std::u16string> lines;
    std::vector<std::string> text, csv;
    for (const Row& row : rows) {
        lines.push_back(row.line);
        text.push_back(row.text);
        csv.push_back(row.csv);
    }
    const std::string document = scratch.document("references.numbera", lines);
    auto textRun = runProgram(kPreview, {"--format", "text", document}, scratch.environment());
    EXPECT_EQ(textRun.exitStatus, 0) << textRun.err;
    EXPECT_EQ(::lines(textRun.out), text);
    auto csvRun = runProgram(kPreview, {"--format", "csv", document}, scratch.environment());
    EXPECT_EQ(csvRun.exitStatus, 0) << csvRun.err;
    EXPECT_EQ(::lines(csvRun.out), csv);

    auto html = runProgram(kPreview, {document}, scratch.environment());
    ASSERT_EQ(html.exitStatus, 0) << html.err;
    const size_t deadRow = html.out.find("<td class=\"line_number\">3</td>");
    ASSERT_NE(deadRow, std::string::npos);
    const std::string row = html.out.substr(deadRow, html.out.find("</tr>", deadRow) - deadRow);
    EXPECT_NE(row.find("<span class=\"rel_line_ref\">\u26A0</span>"), std::string::npos) << row;
    EXPECT_EQ(row.find("<span class=\"rel_line_ref\">5</span>"), std::string::npos) << row;
    for (const std::string* output : {&textRun.out, &csvRun.out, &html.out})
        EXPECT_EQ(output->find("___"), std::string::npos) << *output;
}

// A document whose settings give the decimal comma is read and answered with it; characters
// that cannot make a sound pair read as the point.
TEST(PreviewProgram, DocumentsAreAnsweredInTheirOwnNumberCharacters) {
    Scratch scratch;
    struct Row {
        std::string name, settings;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {"comma.numbera",
         "<dp_char>,</dp_char><th_char>.</th_char>",
         {"1,5 + 2,25 = 3,75", "1.000 * 3 = 3.000", "pow(1,5; 2) = 2,25", "1234,5 * 2 = 2.469"}},
        {"same.numbera",
         "<dp_char>,</dp_char><th_char>,</th_char>",
         {"1,5 + 2,25 = 240", "1.000 * 3 = 3", "pow(1,5; 2) = 225", "1234,5 * 2 = 24,690"}},
    };
    for (const auto& row : rows) {
        scratch.write(row.name,
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<data><info><version>0.6"
                      "</version></info><settings>" +
                          row.settings +
                          "</settings><lines><line><expression>1,5 + 2,25</expression></line>"
                          "<line><expression>1.000 * 3</expression></line><line><expression>"
                          "pow(1,5; 2)</expression></line><line><expression>1234,5 * 2"
                          "</expression></line></lines></data>\n");
        auto run = runProgram(kPreview, {"--format", "text", scratch.file(row.name)},
                              scratch.environment());
        EXPECT_EQ(run.exitStatus, 0) << row.name << ": " << run.err;
        EXPECT_EQ(lines(run.out), row.expected) << row.name;
    }
}

TEST(PreviewProgram, HTMLIsTheEscapedPreviewPage) {
    Scratch scratch;
    const std::string document = scratch.document(
        "hostile.numbera", {u"<script>alert(\"x\")</script>", u"<img src=x onerror=alert(1)>",
                            u"fish & chips", u"6 * 7"});
    auto run = runProgram(kPreview, {document}, scratch.environment());
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const std::string& page = run.out;
    EXPECT_EQ(page.rfind("<!DOCTYPE", 0), 0u);
    EXPECT_NE(page.find("</html>"), std::string::npos);
    for (const char* raw : {"<script", "</script", "<img", "\"x\""})
        EXPECT_EQ(page.find(raw), std::string::npos) << raw;
    for (const char* escaped :
         {"&lt;script&gt;", "&lt;img src=x onerror=alert(1)&gt;", "&quot;x&quot;", "&amp;"})
        EXPECT_NE(page.find(escaped), std::string::npos) << escaped;
    EXPECT_NE(page.find(">42<"), std::string::npos) << "the answer of 6 * 7";
    // Comma-separated values double a quote inside a field.
    auto csv = runProgram(kPreview, {"--format", "csv", document}, scratch.environment());
    EXPECT_EQ(csv.exitStatus, 0) << csv.err;
    EXPECT_EQ(lines(csv.out),
              (std::vector<std::string>{"\"<script>alert(\"\"x\"\")</script>\",\"\"",
                                        "\"<img src=x onerror=alert(1)>\",\"\"",
                                        "\"fish & chips\",\"\"", "\"6 * 7\",\"42\""}));
    // The preview shows no title, date or statistic row.
    EXPECT_NE(page.find("div.document_title { display: none; }"), std::string::npos);
    EXPECT_EQ(page.find("class=\"statistic\""), std::string::npos);
}

TEST(PreviewPrograms, AnythingButADocumentFailsWithOneLineAndNoOutput) {
    Scratch scratch;
    scratch.write("hello.numbera", "hello");
    scratch.write("empty.numbera", "");
    scratch.write("broken.numbera", "<?xml version=\"1.0\"?><data><lines>");
    scratch.write("other.numbera", "<?xml version=\"1.0\"?><html/>");
    fs::create_directories(scratch.file("folder.numbera"));
    struct Row {
        std::string name, reason;
    };
    const Row rows[] = {
        {"missing.numbera", "No such file or directory"},
        {"hello.numbera", "not a Numbera document"},
        {"empty.numbera", "not a Numbera document"},
        {"broken.numbera", "not a valid Numbera document"},
        {"other.numbera", "not a valid Numbera document"},
        {"folder.numbera", "is a folder, not a document"},
    };
    for (const auto& row : rows) {
        const std::string input = scratch.file(row.name);
        const std::string output = scratch.file(row.name + ".png");
        const ProgramRun runs[] = {
            runProgram(kPreview, {input}, scratch.environment()),
            runProgram(kPreview, {"--format", "text", input}, scratch.environment()),
            runProgram(kThumbnailer, {"-s", "128", input, output}, scratch.environment()),
        };
        for (const auto& run : runs) {
            EXPECT_EQ(run.exitStatus, 1) << row.name;
            EXPECT_EQ(run.out, "") << row.name;
            ASSERT_EQ(run.errorLines().size(), 1u) << row.name << ": " << run.err;
            EXPECT_NE(run.err.find(input + ": " + row.reason), std::string::npos) << run.err;
        }
        EXPECT_FALSE(fs::exists(output)) << row.name;
    }
    EXPECT_EQ(fs::directory_iterator(scratch.file("folder.numbera")), fs::directory_iterator())
        << "no temporary file left behind";
}

const char* const kDocumentStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<data><info><version>0.6</version></info>"
    "<lines>";

// One line of the document is one line of the text, whatever breaks its element holds.
TEST(PreviewProgram, EachLineIsOneLineOfText) {
    Scratch scratch;
    scratch.write("breaks.numbera",
                  std::string("\xEF\xBB\xBF") + kDocumentStart +
                      "<line><expression>1&#10;total = 999</expression></line>"
                      "<line><expression>2 +&#13;3</expression></line>"
                      "<line><expression>4\xE2\x80\xA8+ 4</expression></line></lines></data>\n");
    auto run = runProgram(kPreview, {"--format", "text", scratch.file("breaks.numbera")},
                          scratch.environment());
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    const std::vector<std::string> shown = lines(run.out);
    ASSERT_EQ(shown.size(), 3u) << run.out;
    EXPECT_EQ(shown[0].rfind("1 total = 999", 0), 0u) << shown[0];
    EXPECT_EQ(shown[1], "2 + 3 = 5");
    EXPECT_EQ(shown[2], "4 + 4 = 8");
    EXPECT_EQ(run.out.find('\r'), std::string::npos);
}

// More lines than a document may have: refused on one line, as any other file that is not a
// document.
TEST(PreviewPrograms, ADocumentOfTooManyLinesIsRefused) {
    Scratch scratch;
    std::string bytes = kDocumentStart;
    for (uint32_t i = 0; i <= kNBFFileReaderMaximumLineCount; ++i) bytes += "<line/>";
    scratch.write("many.numbera", bytes + "</lines></data>\n");
    const std::string input = scratch.file("many.numbera");
    const std::string output = scratch.file("many.png");
    const ProgramRun runs[] = {
        runProgram(kPreview, {"--format", "text", input}, scratch.environment()),
        runProgram(kThumbnailer, {"-s", "128", input, output}, scratch.environment()),
    };
    for (const auto& run : runs) {
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_EQ(run.out, "");
        ASSERT_EQ(run.errorLines().size(), 1u) << run.err;
        EXPECT_NE(run.err.find(input + ": too many lines"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(output));
}

// A megabyte line is shown as its text without being evaluated: quick and small, where
// evaluating it took a gigabyte. The bound leaves room for the sanitizers' own memory.
TEST(PreviewProgram, AMegabyteLineIsShownAsItsText) {
    Scratch scratch;
    std::string line = "1";
    while (line.size() < 1000000) line += "+1";
    scratch.write("long.numbera", kDocumentStart + ("<line><expression>" + line +
                                                    "</expression></line><line><expression>"
                                                    "6 * 7</expression></line></lines></data>\n"));
    const std::string input = scratch.file("long.numbera");
    auto text = runProgram(kPreview, {"--format", "text", input}, scratch.environment());
    EXPECT_EQ(text.exitStatus, 0) << text.err;
    EXPECT_EQ(lines(text.out), (std::vector<std::string>{line, "6 * 7 = 42"}));
    auto html = runProgram(kPreview, {input}, scratch.environment());
    EXPECT_EQ(html.exitStatus, 0) << html.err;
    EXPECT_NE(html.out.find("<pre><div style=\"text-align: left;\">" + line + "</div></pre>"),
              std::string::npos);
    for (const ProgramRun* run : {&text, &html})
        EXPECT_LT(run->peakKilobytes, 600 * 1024) << "kilobytes";
}

TEST(Thumbnailer, MakesAThreeQuarterWidthPNG) {
    Scratch scratch;
    const std::string document = scratch.document("sums.numbera", kArithmetic);
    struct Row {
        std::string size;
        int exitStatus;
        uint32_t width, height;
    };
    const Row rows[] = {
        {"128", 0, 96, 128},                      // 0.75 × 128
        {"256", 0, 192, 256}, {"33", 0, 24, 33},  // 0.75 × 33 = 24.75, whole pixels only
        {"32", 0, 24, 32},    {"31", 1, 0, 0},    // too small for a thumbnail
        {"100000", 1, 0, 0},
    };
    for (const auto& row : rows) {
        const std::string output = scratch.file("thumb-" + row.size + ".png");
        auto run =
            runProgram(kThumbnailer, {"-s", row.size, document, output}, scratch.environment());
        EXPECT_EQ(run.exitStatus, row.exitStatus) << row.size << ": " << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(pngSize(output), std::make_pair(row.width, row.height)) << row.size;
        if (row.exitStatus != 0) {
            EXPECT_FALSE(fs::exists(output)) << row.size;
            EXPECT_EQ(run.errorLines().size(), 1u) << run.err;
        }
    }
}

// Laid out as a browser lays out the preview page: the table across the page, the answer
// column as wide as the style sheet makes it (200 of 600 pixels, with its padding and border).
TEST(Thumbnailer, TheTableSpansThePage) {
    Scratch scratch;
    const std::string document =
        scratch.document("short.numbera", {u"2 + 3", u"10 * 4", u"7 / 2", u"1"});
    const std::string output = scratch.file("wide.png");
    auto run = runProgram(kThumbnailer, {"-s", "512", document, output}, scratch.environment());
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    QImage image(QString::fromStdString(output));
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.width(), 384);
    // The upper half holds the lines; the watermark lies below it.
    // The answer column's background is pale blue; so are the edges of the numbers' glyphs,
    // but only the background runs on for many pixels.
    const auto paleBlue = [&](int x, int y) {
        const QRgb pixel = image.pixel(x, y);
        return qBlue(pixel) > qRed(pixel) + 8 && qGray(pixel) > 200;
    };
    const int backgroundRun = 20;
    int left = image.width(), right = -1, answerLeft = image.width();
    for (int y = 0; y < image.height() / 2; ++y) {
        int paleRun = 0;
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
            paleRun = paleBlue(x, y) ? paleRun + 1 : 0;
            if (paleRun == backgroundRun) answerLeft = std::min(answerLeft, x - backgroundRun + 1);
        }
    }
    const double width = image.width();
    EXPECT_LE(left, 0.02 * width) << "the table starts at the page's left edge";
    EXPECT_GE(right, 0.98 * width) << "the table ends at the page's right edge";
    const double answerShare = (width - answerLeft) / width;
    EXPECT_NEAR(answerShare, 206.0 / 600.0, 0.03) << "answer column from x = " << answerLeft;
}

TEST(Thumbnailer, ReplacesAnEarlierThumbnailOnlyOnSuccess) {
    Scratch scratch;
    const std::string document = scratch.document("sums.numbera", kArithmetic);
    const std::string output = scratch.file("thumb.png");
    scratch.write("thumb.png", "earlier");
    auto failed = runProgram(kThumbnailer, {"-s", "128", scratch.file("missing"), output},
                             scratch.environment());
    EXPECT_EQ(failed.exitStatus, 1);
    std::ifstream earlier(output);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(earlier), {}), "earlier");
    auto made = runProgram(kThumbnailer, {"-s", "128", document, output}, scratch.environment());
    EXPECT_EQ(made.exitStatus, 0) << made.err;
    EXPECT_EQ(pngSize(output), std::make_pair(96u, 128u));
}

TEST(Thumbnailer, TheWatermarkStaysInsideTheImage) {
    // One short line leaves the lower page blank: the only ink there is the watermark.
    Scratch scratch;
    const std::string document = scratch.document("one.numbera", {u"1"});
    for (const char* size : {"128", "256", "33"}) {
        const std::string output = scratch.file(std::string("mark-") + size + ".png");
        auto run = runProgram(kThumbnailer, {"-s", size, document, output}, scratch.environment());
        ASSERT_EQ(run.exitStatus, 0) << run.err;
        QImage image(QString::fromStdString(output));
        ASSERT_FALSE(image.isNull()) << size;
        const auto inked = [&](int x, int y) { return qGray(image.pixel(x, y)) < 200; };
        int inkedInBand = 0, inkedAtEdges = 0;
        for (int y = image.height() * 2 / 3; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) inkedInBand += inked(x, y);
            inkedAtEdges += inked(0, y) + inked(image.width() - 1, y);
        }
        EXPECT_GT(inkedInBand, 0) << size << ": no watermark drawn";
        EXPECT_EQ(inkedAtEdges, 0) << size << ": the watermark runs off the image";
    }
}

// A document file written directly: large documents are quicker to write than to evaluate.
// The lines hold nothing that XML would escape.
std::string documentFile(const std::vector<std::string>& lines) {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<data><info><version>0.6</version>"
        "</info><settings><dp_char>.</dp_char><th_char>,</th_char></settings><lines>";
    for (const auto& line : lines) text += "<line><expression>" + line + "</expression></line>";
    return text + "</lines></data>\n";
}

// Only the top of the page is drawn, however long the document or its lines: these took
// half a minute and more when the whole page was laid out, and take about a second here.
TEST(Thumbnailer, DrawsHugeDocumentsInGoodTime) {
    Scratch scratch;
    struct Row {
        std::string name;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {"empty-lines.numbera", std::vector<std::string>(50000, "")},
        {"long-word.numbera", {std::string(400000, 'a'), "2 + 3"}},
    };
    for (const auto& row : rows) {
        scratch.write(row.name, documentFile(row.lines));
        const std::string output = scratch.file(row.name + ".png");
        auto run = runProgram(kThumbnailer, {"-s", "128", scratch.file(row.name), output},
                              scratch.environment());
        EXPECT_EQ(run.exitStatus, 0) << row.name << ": " << run.err;
        EXPECT_EQ(pngSize(output), std::make_pair(96u, 128u)) << row.name;
        // Generous: about twenty times what it takes in the sanitizer build.
        EXPECT_LT(run.seconds, 20.0) << row.name;
    }
}

// Only a regular file is replaced by the thumbnail, never a pipe, a device or a folder of that
// name; each refusal is one line naming the output. The pipe comes first: it fails the same
// way a device would, before a device is ever tried.
TEST(Thumbnailer, ReplacesOnlyARegularFile) {
    Scratch scratch;
    const std::string document = scratch.document("sums.numbera", kArithmetic);
    fs::create_directories(scratch.file("out"));
    const std::string pipe = scratch.file("out/pipe.png");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0) << std::strerror(errno);
    // A device like the null device, made here; the real one only when no device can be made,
    // and then only after the pipe was refused.
    std::string device = scratch.file("out/null.png");
    if (::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0) device = "/dev/null";
    const std::string folder = scratch.file("out/folder.png");
    fs::create_directories(folder);
    struct Row {
        std::string output, reason;
        mode_t type;
    };
    const Row rows[] = {
        {pipe, "not a regular file", S_IFIFO},
        {device, "not a regular file", S_IFCHR},
        {folder, "is a folder, not a file", S_IFDIR},
    };
    for (const auto& row : rows) {
        auto run =
            runProgram(kThumbnailer, {"-s", "128", document, row.output}, scratch.environment());
        struct stat info;
        ASSERT_EQ(::lstat(row.output.c_str(), &info), 0) << row.output;
        ASSERT_EQ(info.st_mode & S_IFMT, row.type) << row.output << " was replaced";
        EXPECT_EQ(run.exitStatus, 1) << row.output;
        EXPECT_EQ(run.out, "");
        ASSERT_EQ(run.errorLines().size(), 1u) << run.err;
        EXPECT_NE(run.err.find(row.output + ": " + row.reason), std::string::npos) << run.err;
        if (row.type == S_IFCHR) {
            EXPECT_EQ(info.st_rdev, ::makedev(1, 3));
        }
    }
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(scratch.file("out")))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    const std::vector<std::string> expected =
        device == "/dev/null" ? std::vector<std::string>{"folder.png", "pipe.png"}
                              : std::vector<std::string>{"folder.png", "null.png", "pipe.png"};
    EXPECT_EQ(left, expected) << "no temporary file left behind";
    EXPECT_EQ(fs::directory_iterator(folder), fs::directory_iterator());
}

// A link named as the output is replaced itself; the file it names is left as it was.
TEST(Thumbnailer, ReplacesALinkNotWhatItNames) {
    Scratch scratch;
    const std::string document = scratch.document("sums.numbera", kArithmetic);
    scratch.write("target.png", "kept");
    const std::string link = scratch.file("link.png");
    fs::create_symlink(scratch.file("target.png"), link);
    auto run = runProgram(kThumbnailer, {"-s", "128", document, link}, scratch.environment());
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_FALSE(fs::is_symlink(link));
    EXPECT_EQ(pngSize(link), std::make_pair(96u, 128u));
    std::ifstream target(scratch.file("target.png"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(target), {}), "kept");
}

const char* const kRentVariables =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
    "<key>NKVariables</key><array><dict><key>name</key><string>rent</string>"
    "<key>value</key><string>1200</string><key>enabled</key><true/>"
    "<key>type</key><integer>0</integer></dict></array></dict></plist>\n";

TEST(PreviewProgram, VariablesComeFromTheDataFolderOrTheShippedDefaults) {
    Scratch scratch;
    const std::string document = scratch.document("vars.numbera", {u"rent * 2", u"3 * k"});
    scratch.write("chosen/Variables.plist", kRentVariables);
    const std::string userData = scratch.dataHome() + "/Numbera/quicklook-data";
    struct Row {
        std::string label;
        bool userFolder;
        std::vector<std::string> arguments;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        // No data folder: the shipped defaults ("k" is a thousand).
        {"defaults", false, {}, {"rent * 2", "3 * k = 3,000"}},
        // A stored list replaces the defaults: "k" is then an unknown word, read as nothing.
        {"user folder", true, {}, {"rent * 2 = 2,400", "3 * k = 3"}},
        {"requested folder",
         false,
         {"--data-folder", scratch.file("chosen")},
         {"rent * 2 = 2,400", "3 * k = 3"}},
    };
    for (const auto& row : rows) {
        std::error_code ignored;
        fs::remove_all(userData, ignored);
        if (row.userFolder)
            scratch.write("home/data/Numbera/quicklook-data/Variables.plist", kRentVariables);
        std::vector<std::string> arguments = row.arguments;
        arguments.insert(arguments.end(), {"--format", "text", document});
        auto run = runProgram(kPreview, arguments, scratch.environment());
        EXPECT_EQ(run.exitStatus, 0) << row.label << ": " << run.err;
        EXPECT_EQ(lines(run.out), row.expected) << row.label;
    }

    auto missing = runProgram(kPreview, {"--data-folder", scratch.file("nowhere"), document},
                              scratch.environment());
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.errorLines().size(), 1u) << missing.err;

    // Damaged data files are skipped quietly: a failure still reports on one line.
    scratch.write("damaged/Currencies.plist", "<plist><dict><key>NKCurrencies</key>");
    scratch.write("damaged/Variables.plist", "not a property list");
    scratch.write("hello.numbera", "hello");
    auto damaged = runProgram(
        kPreview, {"--data-folder", scratch.file("damaged"), scratch.file("hello.numbera")},
        scratch.environment());
    EXPECT_EQ(damaged.exitStatus, 1);
    EXPECT_EQ(damaged.out, "");
    EXPECT_EQ(damaged.errorLines().size(), 1u) << damaged.err;
}

// A pipe, an endless device or a huge file for each data file: both programs start at once
// without them, within modest memory, and leave them as they were.
TEST(PreviewPrograms, DataFilesThatAreNotDataAreSkipped) {
    Scratch scratch;
    const std::string document = scratch.document("sums.numbera", {u"3 * k", u"2 + 3"});
    const std::string userData = scratch.dataHome() + "/Numbera/quicklook-data";
    const std::string files[] = {"Variables.plist", "Currencies.plist", "Stocks.plist"};
    for (HostileFile kind : kHostileFiles) {
        SCOPED_TRACE(hostileFileName(kind));
        std::error_code ignored;
        fs::remove_all(userData, ignored);
        fs::create_directories(userData);
        std::map<std::string, std::string> before;
        for (const auto& name : files) {
            const std::string path = userData + "/" + name;
            ASSERT_TRUE(makeHostileFile(path, kind, PropertyListFile::kMaximumFileSize));
            before[name] = fileIdentity(path);
        }
        const std::string thumbnail = scratch.file("t.png");
        const ProgramRun runs[] = {
            runProgram(kPreview, {"--data-folder", userData, "--format", "text", document},
                       scratch.environment(), 60, 1000 * 1000),
            runProgram(kThumbnailer, {"-s", "128", document, thumbnail}, scratch.environment(), 60,
                       1000 * 1000),
        };
        for (const auto& run : runs) {
            EXPECT_FALSE(run.killed) << "no wait and no growth without bound";
            EXPECT_EQ(run.exitStatus, 0) << run.err;
            EXPECT_LT(run.peakKilobytes, 500 * 1000);
        }
        // No variables from the file, not even the defaults: "k" is an unknown word.
        EXPECT_EQ(lines(runs[0].out), (std::vector<std::string>{"3 * k = 3", "2 + 3 = 5"}));
        EXPECT_EQ(pngSize(thumbnail).first, 96u);
        for (const auto& name : files) {
            EXPECT_EQ(fileIdentity(userData + "/" + name), before[name]) << name;
            EXPECT_FALSE(fs::exists(fs::symlink_status(userData + "/" + name + ".unreadable")));
        }
    }
}

TEST(PreviewPrograms, NeverWriteIntoAReadOnlyHome) {
    Scratch scratch;
    const std::string document = scratch.document("sums.numbera", kArithmetic);
    fs::create_directories(scratch.dataHome());
    fs::permissions(scratch.dataHome(), fs::perms::owner_read | fs::perms::owner_exec);
    fs::permissions(scratch.home(), fs::perms::owner_read | fs::perms::owner_exec);
    auto text = runProgram(kPreview, {"--format", "text", document}, scratch.environment());
    EXPECT_EQ(text.exitStatus, 0) << text.err;
    EXPECT_EQ(lines(text.out).front(), "2 + 3 = 5");
    auto thumbnail = runProgram(kThumbnailer, {"-s", "128", document, scratch.file("t.png")},
                                scratch.environment());
    EXPECT_EQ(thumbnail.exitStatus, 0) << thumbnail.err;
    fs::permissions(scratch.home(), fs::perms::owner_all, fs::perm_options::add);
    EXPECT_EQ(fs::directory_iterator(scratch.dataHome()), fs::directory_iterator())
        << "nothing created in the data folder";
}

TEST(PreviewPrograms, UsageErrors) {
    Scratch scratch;
    const std::string document = scratch.document("sums.numbera", kArithmetic);
    struct Row {
        std::string program;
        std::vector<std::string> arguments;
    };
    const Row rows[] = {
        {kPreview, {}},
        {kPreview, {"--format", "pdf", document}},
        {kPreview, {"--format"}},
        {kPreview, {document, document}},
        {kPreview, {"--colour", document}},
        {kThumbnailer, {document, scratch.file("u.png")}},
        {kThumbnailer, {"-s", "12x", document, scratch.file("u.png")}},
        {kThumbnailer, {"-s", "128", document}},
    };
    for (const auto& row : rows) {
        auto run = runProgram(row.program, row.arguments, scratch.environment());
        EXPECT_EQ(run.exitStatus, 2) << row.program;
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("usage: "), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(scratch.file("u.png")));
}

}  // namespace

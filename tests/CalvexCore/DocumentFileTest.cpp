// The document file: round trips of lines and their options, old files, files that are not
// documents, hostile files, and writes that fail without harming the file they replace.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "CoreTestSupport.h"
#include "DocumentFileTestSupport.h"
#include "NBFErrorLog.h"
#include "NCFile.h"
#include "NCLineEvaluator.h"
#include "UnitsFileTestSupport.h"

namespace {

class DocumentFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        initFoundationConstants();
        ASSERT_FALSE(folder.path.empty());
    }

    // The collection read back from the text written as a file.
    std::shared_ptr<NCFile> fileWithText(const std::string& text) {
        std::string path = folder.file("doc" + std::to_string(++count) + ".numbera");
        writeFileBytes(path, text);
        return NCFile::initWithContentsOfFileAtPath(path);
    }

    static std::shared_ptr<NCLine> lineWithText(const std::u16string& text) {
        return NCLine::lineWithExpressionString(text);
    }

    ScratchFolder folder;
    int count = 0;
};

// Every option away from its default, one line per combination of the choices that have
// several values; the last line keeps every default.
struct OptionsRow {
    const char16_t* text;
    std::optional<uint64_t> decimalPlaces;
    bool thousandsSeparator;
    bool trailingZeros;
    int32_t scientificNotationMode;
    int32_t scientificNotationStyle;
    uint64_t granularity;
    int32_t displayBase;
    NCDisplayFormat displayFormat;
    NCTrigonometryMode trigonometryMode;  // 0: the collection's
    int32_t textAlignment;
};

const OptionsRow kOptionRows[] = {
    {u"1 + 2", 3, false, true, 0, 0, 3, 16, NCDisplayFormatFraction, NCTrigonometryModeDegrees, 2},
    {u"sin(30)", 0, false, true, 1, 0, 3, 2, NCDisplayFormatDegreesMinutesSeconds,
     NCTrigonometryModeDegrees, 1},
    {u"x = 5\t# tab kept", 12, false, true, 0, 0, 2, 16, NCDisplayFormatSpacedGroupsOfFour, 0, 1},
    {u"plain words", std::nullopt, true, false, 2, 1, 1, 10, NCDisplayFormatNormal, 0, 0},
};

TEST_F(DocumentFileTest, RoundTripKeepsTextsModesAndEveryFormattingOption) {
    auto lines = std::make_shared<NCLineCollection>();
    lines->setTrigonometryMode(NCTrigonometryModeRadians);
    for (const OptionsRow& row : kOptionRows) {
        auto line = lineWithText(row.text);
        auto options = std::make_shared<NCResultFormattingOptions>();
        if (row.decimalPlaces) options->setDecimalPlaces(*row.decimalPlaces);
        options->thousandsSeparator = row.thousandsSeparator;
        options->trailingZeros = row.trailingZeros;
        options->scientificNotationMode = row.scientificNotationMode;
        options->scientificNotationStyle = row.scientificNotationStyle;
        options->scientificNotationExponentGranularity = row.granularity;
        options->displayBase = row.displayBase;
        options->setDisplayFormat(row.displayFormat);
        line->setCustomFormattingOptions(options);
        if (row.trigonometryMode) line->setTrigonometryMode(row.trigonometryMode);
        line->expressionFormattingOptions()->setTextAlignment(row.textAlignment);
        lines->addLine(line);
    }
    auto writer = NCFile::initWithLineCollection(lines);
    writer->setValue(std::u16string(u"wide"), "window");
    writer->setValue(2.5, "zoom");
    std::string path = folder.file("round.numbera");
    std::string error;
    ASSERT_TRUE(writer->writeToPath(path, &error)) << error;

    std::string bytes = readFileBytes(path);
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
    EXPECT_NE(bytes.find("<version>0.6</version>"), std::string::npos);
    EXPECT_NE(bytes.find("<trig_mode>2</trig_mode>"), std::string::npos);
    EXPECT_EQ(occurrences(bytes, "<line>"), std::size(kOptionRows));
    for (const char* key :
         {"thousands_separator", "trailing_zeros", "sn_mode", "sn_style", "sn_exp_granularity",
          "display_base", "display_format", "expr_text_align"})
        EXPECT_EQ(occurrences(bytes, std::string("<key>") + key + "</key>"), std::size(kOptionRows))
            << key;

    auto reader = NCFile::initWithContentsOfFileAtPath(path);
    auto read = reader->lineCollection();
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(reader->fileFormat(), NCFileFormatXML);
    EXPECT_EQ(read->trigonometryMode(), NCTrigonometryModeRadians);
    ASSERT_EQ(read->countOfLines(), std::size(kOptionRows));
    for (size_t i = 0; i < std::size(kOptionRows); ++i) {
        const OptionsRow& row = kOptionRows[i];
        auto line = read->lineAtIndex(i);
        SCOPED_TRACE(utf8(std::u16string(row.text)));
        EXPECT_EQ(line->expressionString(), std::u16string(row.text));
        const auto& options = *line->customFormattingOptions();
        EXPECT_EQ(options.isDecimalPlacesSet(), row.decimalPlaces.has_value());
        if (row.decimalPlaces) {
            EXPECT_EQ(options.decimalPlaces(), *row.decimalPlaces);
        }
        EXPECT_EQ(options.thousandsSeparator, row.thousandsSeparator);
        EXPECT_EQ(options.trailingZeros, row.trailingZeros);
        EXPECT_EQ(options.scientificNotationMode, row.scientificNotationMode);
        EXPECT_EQ(options.scientificNotationStyle, row.scientificNotationStyle);
        EXPECT_EQ(options.scientificNotationExponentGranularity, row.granularity);
        EXPECT_EQ(options.displayBase, row.displayBase);
        EXPECT_EQ(options.displayFormat(), row.displayFormat);
        EXPECT_EQ(line->trigonometryMode(),
                  row.trigonometryMode ? row.trigonometryMode : NCTrigonometryModeRadians);
        EXPECT_EQ(line->expressionFormattingOptions()->textAlignment(), row.textAlignment);
    }
    EXPECT_EQ(reader->stringForKey("window"), u"wide");
    EXPECT_EQ(reader->stringForKey("zoom"), u"2.5");
    EXPECT_EQ(reader->numberForKey("zoom"), 2.5);
    EXPECT_EQ(reader->stringForKey("absent"), std::nullopt);
}

TEST_F(DocumentFileTest, TheDocumentsNumberCharactersAndDecimalPlacesAreWritten) {
    struct Row {
        char16_t decimalPoint, separator;
        std::optional<uint64_t> places;
        std::vector<std::string> expected, absent;
    } rows[] = {
        {u'.', u',', std::nullopt, {"<dp_char>.</dp_char>", "<th_char>,</th_char>"}, {"<dp>"}},
        {u',', u'.', 6, {"<dp_char>,</dp_char>", "<th_char>.</th_char>", "<dp>6</dp>"}, {}},
        {u',',
         u'\u00a0',
         0,
         {"<dp_char>,</dp_char>", "<th_char>\u00a0</th_char>", "<dp>0</dp>"},
         {}},
    };
    for (const Row& row : rows) {
        auto lines = std::make_shared<NCLineCollection>(std::make_shared<NCEnvironment>());
        lines->setLocaleWithDecimalPoint(row.decimalPoint, row.separator);
        if (row.places) {
            auto defaults = std::make_shared<NCResultFormattingOptions>();
            defaults->setDecimalPlaces(*row.places);
            lines->setDefaultResultFormattingOptions(defaults);
        }
        lines->addLine(lineWithText(u"1"));
        std::string path = folder.file("settings" + std::to_string(++count) + ".numbera");
        std::string error;
        ASSERT_TRUE(NCFile::initWithLineCollection(lines)->writeToPath(path, &error)) << error;
        std::string bytes = readFileBytes(path);
        for (const std::string& text : row.expected)
            EXPECT_NE(bytes.find(text), std::string::npos) << text << "\n" << bytes;
        for (const std::string& text : row.absent)
            EXPECT_EQ(bytes.find(text), std::string::npos) << text << "\n" << bytes;
    }
}

// A document whose settings name its number characters: its lines are read and answered in
// them. Characters that cannot make a sound pair read as the default point and comma.
struct NumberCharactersRow {
    const char* settings;
    // As the collection reports them.
    char16_t decimalPoint, separator;
    // Each line's text and answer.
    std::vector<std::pair<const char*, const char*>> lines;
};

const std::vector<std::pair<const char*, const char*>> kReadWithThePoint = {
    {"1,5 + 2,25", "240"}, {"1.5 * 2", "3"}, {"pow(1.5; 2)", "2.25"}, {"1234.5 * 2", "2,469"}};

const NumberCharactersRow kNumberCharacterRows[] = {
    {"<dp_char>,</dp_char><th_char>.</th_char>",
     u',',
     u'.',
     {{"1,5 + 2,25", "3,75"},
      {"1.000 * 3", "3.000"},
      {"1234,5 * 2", "2.469"},
      {"pow(1,5; 2)", "2,25"},
      {"1/4", "0,25"},
      {"x = 2,5", "2,5"},
      {"x * 2", "5"},
      {"10 km in m", "10.000 m"},
      {"a note", "(none)"}}},
    {"<dp_char>,</dp_char><th_char>\u00a0</th_char>",
     u',',
     u'\u00a0',
     {{"1,5 + 2,25", "3,75"}, {"1234,5 * 2", "2\u00a0469"}}},
    // The default, named or not, reads as it always did.
    {"<dp_char>.</dp_char><th_char>,</th_char>", u'.', u',', kReadWithThePoint},
    {"", u'.', u',', kReadWithThePoint},
    // Hostile or odd characters.
    {"<dp_char></dp_char><th_char>.</th_char>", u'.', u',', kReadWithThePoint},
    {"<dp_char>,</dp_char>", u'.', u',', kReadWithThePoint},
    {"<dp_char>,,</dp_char><th_char>.</th_char>", u'.', u',', kReadWithThePoint},
    {"<dp_char>,</dp_char><th_char>. </th_char>", u'.', u',', kReadWithThePoint},
    {"<dp_char>,</dp_char><th_char>,</th_char>", u'.', u',', kReadWithThePoint},
    {"<dp_char>.</dp_char><th_char>.</th_char>", u'.', u',', kReadWithThePoint},
    {"<dp_char>a</dp_char><th_char>.</th_char>", u'.', u',', kReadWithThePoint},
    {"<dp_char>,</dp_char><th_char>x</th_char>", u'.', u',', kReadWithThePoint},
    {"<dp_char>5</dp_char><th_char>.</th_char>", u'.', u',', kReadWithThePoint},
    {"<dp_char>+</dp_char><th_char>.</th_char>", u'.', u',', kReadWithThePoint},
    {"<dp_char> </dp_char><th_char>,</th_char>", u'.', u',', kReadWithThePoint},
    {"<dp_char>\U0001D7D9</dp_char><th_char>.</th_char>", u'.', u',', kReadWithThePoint},
};

TEST_F(DocumentFileTest, LinesAreReadAndAnsweredInTheDocumentsNumberCharacters) {
    sharedRealEnvironment()->set();
    for (const NumberCharactersRow& row : kNumberCharacterRows) {
        SCOPED_TRACE(row.settings);
        std::string text =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<data><info><version>0.6</version>"
            "</info><settings>" +
            std::string(row.settings) + "</settings><lines>";
        for (const auto& [expression, answer] : row.lines)
            text += std::string("<line><expression>") + expression + "</expression></line>";
        text += "</lines></data>\n";
        auto file = fileWithText(text);
        auto read = file->lineCollection();
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->decimalPlaceCharacter(), row.decimalPoint);
        EXPECT_EQ(read->thousandsSeparatorCharacter(), row.separator);
        ASSERT_EQ(read->countOfLines(), row.lines.size());
        for (size_t i = 0; i < row.lines.size(); ++i) {
            auto line = read->lineAtIndex(i);
            EXPECT_EQ(utf8(line->expressionString()), row.lines[i].first);
            EXPECT_EQ(utf8(line->formattedResult()), row.lines[i].second) << row.lines[i].first;
        }
    }
}

TEST_F(DocumentFileTest, ADocumentKeepsItsNumberCharactersThroughTheFile) {
    sharedRealEnvironment()->set();
    // Typed with the point, then shown with the comma, as a document takes its user's locale.
    auto lines = std::make_shared<NCLineCollection>();
    for (const char16_t* text : {u"1.5 + 2.25", u"1,000 * 3", u"y = 0.5", u"y * 3"})
        lines->addLine(lineWithText(text));
    lines->convertToLocaleWithDecimalPoint(u',', u'.');
    const char* const texts[] = {"1,5 + 2,25", "1.000 * 3", "y = 0,5", "y * 3"};
    const char* const answers[] = {"3,75", "3.000", "0,5", "1,5"};
    for (size_t i = 0; i < std::size(texts); ++i) {
        EXPECT_EQ(utf8(lines->lineAtIndex(i)->expressionString()), texts[i]);
        EXPECT_EQ(utf8(lines->lineAtIndex(i)->formattedResult()), answers[i]);
    }
    std::string path = folder.file("comma.numbera");
    std::string error;
    ASSERT_TRUE(NCFile::initWithLineCollection(lines)->writeToPath(path, &error)) << error;
    std::string bytes = readFileBytes(path);
    EXPECT_NE(bytes.find("<dp_char>,</dp_char>"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("<th_char>.</th_char>"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("<expression>1,5 + 2,25</expression>"), std::string::npos) << bytes;

    auto read = NCLineCollection::lineCollectionFromPath(path);
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->countOfLines(), std::size(texts));
    for (size_t i = 0; i < std::size(texts); ++i) {
        EXPECT_EQ(utf8(read->lineAtIndex(i)->expressionString()), texts[i]);
        EXPECT_EQ(utf8(read->lineAtIndex(i)->formattedResult()), answers[i]);
    }
    // Taken into the point again, the texts are rewritten from the document's characters.
    read->convertToLocaleWithDecimalPoint(u'.', u',');
    EXPECT_EQ(utf8(read->lineAtIndex(0)->expressionString()), "1.5 + 2.25");
    EXPECT_EQ(utf8(read->lineAtIndex(0)->formattedResult()), "3.75");
    EXPECT_EQ(utf8(read->lineAtIndex(1)->formattedResult()), "3,000");
}

TEST_F(DocumentFileTest, CharactersXMLCannotCarryAreDroppedOthersKept) {
    struct Row {
        std::u16string text;
        std::u16string expected;
    } rows[] = {
        {u"1\u0007 + 2", u"1 + 2"},
        {u"a\tb", u"a\tb"},
        {u" \t ", u" \t "},
        {u"", u""},
        {u"\u0001\u0008\u000B\u000C\u000E\u001F5", u"5"},
        {u"caf\u00E9 \U0001F600 < & >", u"caf\u00E9 \U0001F600 < & >"},
        // No document carries a NUL: the text ends there, and the file stays readable.
        {std::u16string(u"7 \0 8", 5), u"7 "},
    };
    auto lines = std::make_shared<NCLineCollection>();
    for (const Row& row : rows) lines->addLine(lineWithText(row.text));
    std::string path = folder.file("characters.numbera");
    ASSERT_TRUE(NCFile::initWithLineCollection(lines)->writeToPath(path));
    auto read = NCLineCollection::lineCollectionFromPath(path);
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->countOfLines(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(read->lineAtIndex(i)->expressionString(), rows[i].expected) << i;
}

const char* const kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// The whole layout: one tab per level, the three comments, a newline before the second and
// third, entity escapes in texts, an empty dictionary as a start and end tag pair.
TEST_F(DocumentFileTest, WriterLaysOutEveryPartOfTheDocument) {
    NBFFileInfoNodeRef info = NBFFileInfoNodeCreate();
    NBFFileSettingsNodeRef settings = NBFFileSettingsNodeCreate();
    NBFFileSettingsNodeSetDecimalPlaces(settings, 4);
    NBFFileSettingsNodeSetTrigonometryMode(settings, 2);
    NBFFileSettingsNodeSetMisclaneousDictionary(settings,
                                                NBFFileDictionary{{"blank", "  "}, {"k", "v"}});
    NBFFileLinesNodeRef lines = NBFFileLinesNodeCreate();
    NBFFileLinesNodeSetExpressionUTF8(lines, 0, std::string("1 < 2 & \"x\" > 'y'\r\t"));
    NBFFileLinesNodeSetAnswerUTF8(lines, 0, std::string("3"));
    NBFFileLinesNodeSetFormattingAttribute(lines, 0, "1", "sn_mode");
    NBFFileLinesNodeSetFormattingAttribute(lines, 0, "2", "decimal_places");
    NBFFileLinesNodeSetExpressionUTF8(lines, 2, std::string(" "));
    NBFFileWriterRef writer = NBFFileWriterCreate();
    NBFFileWriterSetInfoNode(writer, info);
    NBFFileWriterSetSettingsNode(writer, settings);
    NBFFileWriterSetLinesNode(writer, lines);
    std::string document;
    ASSERT_TRUE(NBFFileWriterWriteToBuffer(writer, document));
    const std::string expected = std::string(kHeader) +
                                 "<data>\n"
                                 "\t<!-- General document info section -->\n"
                                 "\t<info>\n"
                                 "\t\t<version>0.6</version>\n"
                                 "\t</info>\n"
                                 "\n"
                                 "\t<!--Document specific settings section -->\n"
                                 "\t<settings>\n"
                                 "\t\t<dp>4</dp>\n"
                                 "\t\t<trig_mode>2</trig_mode>\n"
                                 "\t\t<misc>\n"
                                 "\t\t\t<item>\n"
                                 "\t\t\t\t<key>blank</key>\n"
                                 "\t\t\t\t<value>  </value>\n"
                                 "\t\t\t</item>\n"
                                 "\t\t\t<item>\n"
                                 "\t\t\t\t<key>k</key>\n"
                                 "\t\t\t\t<value>v</value>\n"
                                 "\t\t\t</item>\n"
                                 "\t\t</misc>\n"
                                 "\t</settings>\n"
                                 "\n"
                                 "\t<!-- Main body -->\n"
                                 "\t<lines>\n"
                                 "\t\t<line>\n"
                                 "\t\t\t<expression>1 &lt; 2 &amp; &quot;x&quot; &gt; 'y'&#13;\t"
                                 "</expression>\n"
                                 "\t\t\t<answer>3</answer>\n"
                                 "\t\t\t<formatting>\n"
                                 "\t\t\t\t<item>\n"
                                 "\t\t\t\t\t<key>decimal_places</key>\n"
                                 "\t\t\t\t\t<value>2</value>\n"
                                 "\t\t\t\t</item>\n"
                                 "\t\t\t\t<item>\n"
                                 "\t\t\t\t\t<key>sn_mode</key>\n"
                                 "\t\t\t\t\t<value>1</value>\n"
                                 "\t\t\t\t</item>\n"
                                 "\t\t\t</formatting>\n"
                                 "\t\t</line>\n"
                                 "\t\t<line>\n"
                                 "\t\t\t<formatting></formatting>\n"
                                 "\t\t</line>\n"
                                 "\t\t<line>\n"
                                 "\t\t\t<expression> </expression>\n"
                                 "\t\t\t<formatting></formatting>\n"
                                 "\t\t</line>\n"
                                 "\t</lines>\n"
                                 "</data>\n";
    EXPECT_EQ(document, expected);

    // Read back, the texts are whole again, blanks included; only the layout is gone.
    std::string path = folder.file("layout.numbera");
    writeFileBytes(path, document);
    NBFFileReaderRef reader = NBFFileReaderCreate(path.c_str());
    int32_t error = 0;
    ASSERT_TRUE(NBFFileReaderReadFile(reader, &error)) << error;
    NBFFileLinesNodeRef read = NBFFileReaderGetLinesNode(reader);
    ASSERT_EQ(NBFFileLinesNodeGetCount(read), 3u);
    EXPECT_EQ(*NBFFileLinesNodeGetExpression(read, 0), "1 < 2 & \"x\" > 'y'\r\t");
    EXPECT_EQ(*NBFFileLinesNodeGetAnswer(read, 0), "3");
    EXPECT_EQ(*NBFFileLinesNodeGetFormattingAttributesDictionary(read, 0),
              (NBFFileDictionary{{"decimal_places", "2"}, {"sn_mode", "1"}}));
    EXPECT_EQ(*NBFFileLinesNodeGetExpression(read, 1), std::nullopt);
    EXPECT_TRUE(NBFFileLinesNodeGetFormattingAttributesDictionary(read, 1)->empty());
    EXPECT_EQ(*NBFFileLinesNodeGetExpression(read, 2), " ");
    const NBFFileDictionary* misc =
        NBFFileSettingsNodeGetMisclaneousDictionary(NBFFileReaderGetSettingsNode(reader));
    ASSERT_NE(misc, nullptr);
    EXPECT_EQ(*misc, (NBFFileDictionary{{"blank", "  "}, {"k", "v"}}));
    NBFFileReaderFree(reader);
    NBFFileWriterFree(writer);
    NBFFileInfoNodeFree(info);
    NBFFileSettingsNodeFree(settings);
    NBFFileLinesNodeFree(lines);
}

TEST_F(DocumentFileTest, OldLayoutsReadPrecisionAndModePerLine) {
    struct Row {
        const char* info;
        const char* line;
        std::optional<uint64_t> decimalPlaces;
        NCTrigonometryMode trigonometryMode;  // of the line itself, 0 for none
        int32_t displayBase;
    } rows[] = {
        // A "formatting" element has no meaning in an old file.
        {"<info><version>0.4</version></info>",
         "<expression>1/3</expression><precision>3</precision><formatting><item><key>"
         "display_base</key><value>16</value></item></formatting>",
         3, 0, 10},
        {"<info><version>0.5</version></info>",
         "<expression>1/3</expression><precision>0</precision><trig_mode>2</trig_mode>", 0, 2, 10},
        {"", "<expression>1/3</expression><precision>7</precision>", 7, 0, 10},
        {"<info><version>0.5</version></info>",
         "<expression>1/3</expression><precision>-1</precision>", std::nullopt, 0, 10},
        // The present layout, for contrast: "precision" means nothing there.
        {"<info><version>0.6</version></info>",
         "<expression>1/3</expression><precision>3</precision><formatting><item><key>"
         "display_base</key><value>16</value></item></formatting>",
         std::nullopt, 0, 16},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.info) + row.line);
        auto file = fileWithText(std::string(kHeader) + "<data>" + row.info + "<lines><line>" +
                                 row.line + "</line></lines></data>");
        auto lines = file->lineCollection();
        ASSERT_NE(lines, nullptr);
        ASSERT_EQ(lines->countOfLines(), 1u);
        auto line = lines->lineAtIndex(0);
        EXPECT_EQ(line->expressionString(), u"1/3");
        const auto& options = *line->customFormattingOptions();
        EXPECT_EQ(options.isDecimalPlacesSet(), row.decimalPlaces.has_value());
        if (row.decimalPlaces) {
            EXPECT_EQ(options.decimalPlaces(), *row.decimalPlaces);
        }
        EXPECT_EQ(line->isTrigonometryModeSet(), row.trigonometryMode != 0);
        if (row.trigonometryMode) {
            EXPECT_EQ(line->trigonometryMode(), row.trigonometryMode);
        }
        EXPECT_EQ(options.displayBase, row.displayBase);
    }
}

TEST_F(DocumentFileTest, MissingOrOutOfRangeKeysKeepTheDefaults) {
    const NCResultFormattingOptions defaults;
    struct Row {
        const char* items;
    } rows[] = {
        {""},
        {"<item><key>display_base</key><value>99999999999999999999999</value></item>"
         "<item><key>decimal_places</key><value>4000000000</value></item>"
         "<item><key>sn_mode</key><value>-7</value></item>"
         "<item><key>display_format</key><value>x</value></item>"
         "<item><key>sn_exp_granularity</key><value>0</value></item>"
         "<item><key>trailing_zeros</key></item>"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.items);
        auto file = fileWithText(std::string(kHeader) +
                                 "<data><info><version>0.6</version></info><lines><line>"
                                 "<expression>2</expression><formatting>" +
                                 row.items + "</formatting></line></lines></data>");
        auto lines = file->lineCollection();
        ASSERT_NE(lines, nullptr);
        const auto& options = *lines->lineAtIndex(0)->customFormattingOptions();
        EXPECT_FALSE(options.isDecimalPlacesSet());
        EXPECT_EQ(options.thousandsSeparator, defaults.thousandsSeparator);
        EXPECT_EQ(options.trailingZeros, defaults.trailingZeros);
        EXPECT_EQ(options.scientificNotationMode, defaults.scientificNotationMode);
        EXPECT_EQ(options.scientificNotationStyle, defaults.scientificNotationStyle);
        EXPECT_EQ(options.scientificNotationExponentGranularity,
                  defaults.scientificNotationExponentGranularity);
        EXPECT_EQ(options.displayBase, defaults.displayBase);
        EXPECT_EQ(options.displayFormat(), defaults.displayFormat());
        EXPECT_FALSE(lines->lineAtIndex(0)->isTrigonometryModeSet());
        // No "trig_mode" in the settings: degrees.
        EXPECT_EQ(lines->trigonometryMode(), NCTrigonometryModeDegrees);
    }
}

TEST_F(DocumentFileTest, NewerVersionsAreReadInFull) {
    auto file = fileWithText(std::string(kHeader) +
                             "<data><info><version>0.7</version></info><settings><misc><item>"
                             "<key>k</key><value> v </value></item><item><key>lost</key></item>"
                             "</misc></settings><lines><line><expression>1</expression></line>"
                             "<line><expression>2</expression><unknown/></line></lines></data>");
    auto lines = file->lineCollection();
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(lines->countOfLines(), 2u);
    EXPECT_EQ(file->stringForKey("k"), u" v ");
    EXPECT_EQ(file->stringForKey("lost"), std::nullopt);
}

// Settings written by hand or by a hostile program come in any order: every key is read, a
// repeated key keeps its last value, and many entries out of order are read in one sort (an
// insertion each was quadratic: a file of a million such entries took minutes).
TEST_F(DocumentFileTest, SettingsInAnyOrderAreReadWithTheirLastValues) {
    std::string items;
    const int count = 200000;
    for (int i = count - 1; i >= 0; --i)
        items += "<item><key>k" + std::to_string(i) + "</key><value>" + std::to_string(i) +
                 "</value></item>";
    items += "<item><key>k7</key><value>last</value></item>";
    auto file = fileWithText(std::string(kHeader) + "<data><settings><misc>" + items +
                             "</misc></settings><lines><line><expression>1</expression></line>"
                             "</lines></data>");
    ASSERT_NE(file->lineCollection(), nullptr);
    EXPECT_EQ(file->stringForKey("k0"), u"0");
    EXPECT_EQ(file->stringForKey("k7"), u"last");
    EXPECT_EQ(file->stringForKey("k199999"), u"199999");
    EXPECT_EQ(NBFFileDictionary::fromEntries({{"b", "1"}, {"a", "2"}, {"b", "3"}}),
              (NBFFileDictionary{{"a", "2"}, {"b", "3"}}));
}

TEST_F(DocumentFileTest, EvaluationTestFilesCarryExpectedAnswers) {
    const std::string lines =
        "<lines><line><expression>1/3</expression><expected_ans>0.333</expected_ans>"
        "<formatting><item><key>decimal_places</key><value>3</value></item></formatting>"
        "</line><line><expression>note</expression></line><line><expression>2 m</expression>"
        "<expected_ans>2</expected_ans><expected_unit>m</expected_unit></line></lines>";
    auto test = fileWithText(std::string(kHeader) +
                             "<data><info><version>0.6</version><mode>test</mode></info>" + lines +
                             "</data>");
    ASSERT_NE(test->lineCollection(), nullptr);
    EXPECT_TRUE(test->isEvaluationTestFile());
    auto expected = test->expectedResults();
    ASSERT_TRUE(expected.has_value());
    ASSERT_EQ(expected->size(), 2u);
    EXPECT_EQ((*expected)[0]->rawResult(), u"0.333");
    EXPECT_EQ((*expected)[1]->rawResult(), u"2");
    auto units = test->expectedUnitStrings();
    ASSERT_TRUE(units.has_value());
    EXPECT_EQ(*units, (std::vector<std::optional<std::u16string>>{std::nullopt, u"m"}));

    // The same lines in an ordinary file: the expectations are not kept.
    auto plain = fileWithText(std::string(kHeader) + "<data><info><version>0.6</version></info>" +
                              lines + "</data>");
    ASSERT_NE(plain->lineCollection(), nullptr);
    EXPECT_FALSE(plain->isEvaluationTestFile());
    EXPECT_EQ(plain->expectedResults(), std::nullopt);
    EXPECT_EQ(plain->expectedUnitStrings(), std::nullopt);
}

TEST_F(DocumentFileTest, LinesKnowTheirSourceLine) {
    auto file = fileWithText(std::string(kHeader) +
                             "<data>\n<lines>\n<line><expression>1</expression></line>\n\n"
                             "<line><expression>2</expression></line>\n</lines>\n</data>\n");
    auto lines = file->lineCollection();
    ASSERT_NE(lines, nullptr);
    ASSERT_EQ(lines->countOfLines(), 2u);
    EXPECT_EQ(file->fileLineNumberForLine(*lines->lineAtIndex(0)), 4);
    EXPECT_EQ(file->fileLineNumberForLine(*lines->lineAtIndex(1)), 6);
    NCLineCollection other;
    auto stranger = lineWithText(u"3");
    other.addLine(stranger);
    EXPECT_EQ(file->fileLineNumberForLine(*stranger), -1);
}

// A text is all the character data inside its element, wherever the markup puts it; comments
// and instructions add nothing. The source line is that of the line's first child.
TEST_F(DocumentFileTest, TextsGatherAllCharacterDataOfTheirElement) {
    struct Row {
        const char* line;
        const char* expression;
        uint32_t sourceLine;
    } rows[] = {
        {"<expression>1 + 2</expression>", "1 + 2", 2},
        {"<expression><![CDATA[1 < 2 & 3]]></expression>", "1 < 2 & 3", 2},
        {"<expression>a<![CDATA[b]]>c</expression>", "abc", 2},
        {"<expression>1<!-- note -->2<?skip me?>3</expression>", "123", 2},
        {"<expression>a<b>b<c>c</c></b>d<e/></expression>", "abcd", 2},
        {"<expression>&#65;&#x42;&amp;&lt;&#13;</expression>", "AB&<\r", 2},
        {"<expression>  </expression>", "  ", 2},
        {"<!-- first -->\n<expression>1</expression>", "1", 2},
        {"<![CDATA[x]]>\n\n<expression>1</expression>", "1", 2},
        {"<junk/>\n<expression>1</expression><expression>2</expression>", "2", 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        std::string path = folder.file("texts.numbera");
        writeFileBytes(path, std::string(kHeader) +
                                 "<data><info><version>0.6</version></info><lines><line>" +
                                 row.line + "</line></lines></data>\n");
        NBFFileReaderRef reader = NBFFileReaderCreate(path.c_str());
        int32_t error = 0;
        ASSERT_TRUE(NBFFileReaderReadFile(reader, &error)) << error;
        NBFFileLinesNodeRef lines = NBFFileReaderGetLinesNode(reader);
        ASSERT_EQ(NBFFileLinesNodeGetCount(lines), 1u);
        EXPECT_EQ(*NBFFileLinesNodeGetExpression(lines, 0), row.expression);
        EXPECT_EQ(NBFFileLinesNodeGetFileLineNumber(lines, 0), row.sourceLine);
        NBFFileReaderFree(reader);
    }
}

TEST_F(DocumentFileTest, FilesThatAreNotDocuments) {
    const std::string valid = std::string(kHeader) +
                              "<data><info><version>0.6</version></info><lines><line>"
                              "<expression>1 + 1</expression></line></lines></data>\n";
    struct Row {
        const char* name;
        std::string bytes;
        int32_t format;
    } rows[] = {
        {"plain text", "hello", NCFileFormatPlainText},
        {"empty", "", NCFileFormatPlainText},
        {"leading space", " <?xml version=\"1.0\"?><data/>", NCFileFormatPlainText},
        {"other root", std::string(kHeader) + "<plist><dict/></plist>", NCFileFormatInvalid},
        {"declaration only", kHeader, NCFileFormatInvalid},
        {"truncated", valid.substr(0, valid.size() / 2), NCFileFormatInvalid},
        {"not well formed", std::string(kHeader) + "<data><lines></data>", NCFileFormatInvalid},
        {"invalid UTF-8",
         std::string(kHeader) + "<data><lines><line><expression>\xC3\x28"
                                "</expression></line></lines></data>",
         NCFileFormatInvalid},
        {"valid", valid, NCFileFormatXML},
    };
    NBFErrorLogSetEnabled(false);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto file = fileWithText(row.bytes);
        EXPECT_EQ(file->fileFormat(), row.format);
        EXPECT_EQ(file->lineCollection() != nullptr, row.format == NCFileFormatXML);
    }
    auto missing = NCFile::initWithContentsOfFileAtPath(folder.file("missing.numbera"));
    EXPECT_EQ(missing->lineCollection(), nullptr);
    EXPECT_EQ(missing->fileFormat(), NCFileFormatNotRead);
    NBFErrorLogSetEnabled(true);
}

std::string nested(const std::string& open, const std::string& close, int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += open;
    for (int i = 0; i < depth; ++i) text += close;
    return text;
}

TEST_F(DocumentFileTest, HostileFilesAreRefused) {
    std::string laughs = std::string(kHeader) + "<!DOCTYPE data [<!ENTITY l0 \"lol\">";
    for (int i = 1; i < 10; ++i) {
        laughs += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) laughs += "&l" + std::to_string(i - 1) + ";";
        laughs += "\">";
    }
    laughs += "]><data><lines><line><expression>&l9;</expression></line></lines></data>";
    struct Row {
        const char* name;
        std::string bytes;
    } rows[] = {
        {"billion laughs", laughs},
        {"external entity", std::string(kHeader) +
                                "<!DOCTYPE data [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
                                "<data><lines><line><expression>&x;</expression></line></lines>"
                                "</data>"},
        {"external subset",
         std::string(kHeader) + "<!DOCTYPE data SYSTEM \"http://127.0.0.1:1/d.dtd\"><data/>"},
        {"undeclared entity", std::string(kHeader) + "<data><lines><line><expression>&x;"
                                                     "</expression></line></lines></data>"},
        {"deep nesting", std::string(kHeader) + "<data><lines><line><expression>" +
                             nested("<a>", "</a>", 100000) + "</expression></line></lines></data>"},
        {"enormous attribute", std::string(kHeader) + "<data a=\"" +
                                   std::string(12 * 1024 * 1024, 'x') + "\"><lines/></data>"},
    };
    NBFErrorLogSetEnabled(false);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto file = fileWithText(row.bytes);
        EXPECT_EQ(file->fileFormat(), NCFileFormatInvalid);
        EXPECT_EQ(file->lineCollection(), nullptr);
    }
    // Beyond the largest size a document may have, refused before it is read.
    std::string huge = folder.file("huge.numbera");
    writeFileBytes(huge, kHeader);
    ASSERT_EQ(truncate(huge.c_str(), kNBFFileReaderMaximumFileSize + 1), 0);
    auto file = NCFile::initWithContentsOfFileAtPath(huge);
    EXPECT_EQ(file->fileFormat(), NCFileFormatInvalid);
    EXPECT_EQ(file->readError(), NBFFileErrorTooLarge);
    NBFErrorLogSetEnabled(true);
}

// What the reader makes of a file: whether it is a document, and the text of each line. A
// line's element is one line however its text breaks; markup that only looks like a type
// declaration is text.
TEST_F(DocumentFileTest, WellFormedDocumentsAreReadOneLinePerElement) {
    const std::string bom = "\xEF\xBB\xBF";
    const std::string info = "<data><info><version>0.6</version></info><lines>";
    const std::string end = "</lines></data>\n";
    auto line = [](const std::string& expression) {
        return "<line><expression>" + expression + "</expression></line>";
    };
    struct Row {
        const char* name;
        std::string bytes;
        int32_t format;
        std::vector<std::u16string> lines;
    } rows[] = {
        {"type declaration in character data",
         kHeader + info + line("<![CDATA[<!DOCTYPE x>]]> 1") + end,
         NCFileFormatXML,
         {u"<!DOCTYPE x> 1"}},
        {"type declaration in a comment",
         kHeader + std::string("<!-- <!DOCTYPE data [<!ENTITY x \"y\">]> -->") + info + line("2") +
             end,
         NCFileFormatXML,
         {u"2"}},
        {"type declaration as text",
         kHeader + info + line("&lt;!DOCTYPE") + end,
         NCFileFormatXML,
         {u"<!DOCTYPE"}},
        {"byte-order mark", bom + kHeader + info + line("3") + end, NCFileFormatXML, {u"3"}},
        {"byte-order mark then text", bom + "hello", NCFileFormatPlainText, {}},
        {"byte-order mark then type declaration",
         bom + kHeader + "<!DOCTYPE data>" + info + line("4") + end,
         NCFileFormatInvalid,
         {}},
        {"bare type declaration",
         std::string(kHeader) + "<!DOCTYPE data>" + info + line("5") + end,
         NCFileFormatInvalid,
         {}},
        {"type declaration without a declaration before it",
         "<?xml version=\"1.0\"?><!DOCTYPE data [<!ENTITY e \"6\">]>" + info + line("&e;") + end,
         NCFileFormatInvalid,
         {}},
        {"line feed",
         kHeader + info + line("1&#10;total = 999") + line("2") + end,
         NCFileFormatXML,
         {u"1 total = 999", u"2"}},
        {"carriage return", kHeader + info + line("&#13;999") + end, NCFileFormatXML, {u" 999"}},
        {"break in the file",
         kHeader + info + line("1\r\n+ 2\n") + end,
         NCFileFormatXML,
         {u"1 + 2 "}},
        {"next line and separators",
         kHeader + info +
             line("a\xC2\x85"
                  "b\xE2\x80\xA8"
                  "c\xE2\x80\xA9"
                  "d") +
             end,
         NCFileFormatXML,
         {u"a b c d"}},
        {"tab kept", kHeader + info + line("a&#9;b") + end, NCFileFormatXML, {u"a\tb"}},
    };
    NBFErrorLogSetEnabled(false);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto file = fileWithText(row.bytes);
        EXPECT_EQ(file->fileFormat(), row.format);
        std::shared_ptr<NCLineCollection> lines = file->lineCollection();
        ASSERT_EQ(lines != nullptr, row.format == NCFileFormatXML);
        if (!lines) continue;
        ASSERT_EQ(lines->countOfLines(), row.lines.size());
        for (size_t i = 0; i < row.lines.size(); ++i)
            EXPECT_EQ(utf8(lines->lineAtIndex(i)->expressionString()), utf8(row.lines[i])) << i;
    }
    NBFErrorLogSetEnabled(true);
}

// The longest line that is evaluated, and one beyond it: the longer one is text, its answer the
// general error, its text kept whole through a save. A megabyte line is one such line.
TEST_F(DocumentFileTest, LinesTooLongToEvaluateAreTextWithAnErrorAnswer) {
    const size_t longest = NCLineEvaluator::maximumEvaluatedLineLength();
    const std::u16string evaluated = u"2 * 3" + std::u16string(longest - 5, u' ');
    const std::u16string overlong = u"2 * 3" + std::u16string(longest - 4, u' ');
    std::u16string megabyte = u"1";
    while (megabyte.size() < 1000000) megabyte += u"+1";
    auto lines = std::make_shared<NCLineCollection>();
    for (const std::u16string& text : {evaluated, overlong, megabyte})
        lines->addLine(lineWithText(text));
    auto check = [&](NCLineCollection& collection) {
        ASSERT_EQ(collection.countOfLines(), 3u);
        EXPECT_EQ(utf8(collection.lineAtIndex(0)->formattedResult()), "6");
        for (uint64_t i : {1, 2}) {
            SCOPED_TRACE(i);
            std::shared_ptr<NCLine> line = collection.lineAtIndex(i);
            EXPECT_EQ(line->lineType(), NCLineExpressionTypePlainText);
            std::shared_ptr<NCResult> answer = line->result();
            ASSERT_NE(answer, nullptr);
            EXPECT_EQ(answer->resultType(), NCResultTypeError);
            EXPECT_EQ(answer->errorType(), NCResultErrorTypeGeneral);
            EXPECT_EQ(line->formattedResult(), std::nullopt);
            EXPECT_EQ(line->expressionString(), i == 1 ? overlong : megabyte);
        }
    };
    check(*lines);
    std::string path = folder.file("long.numbera");
    ASSERT_TRUE(NCFile::initWithLineCollection(lines)->writeToPath(path));
    const std::string bytes = readFileBytes(path);
    EXPECT_NE(bytes.find("<expression>" + utf8(overlong) + "</expression>"), std::string::npos);
    EXPECT_NE(bytes.find("<expression>" + utf8(megabyte) + "</expression>"), std::string::npos);
    auto file = NCFile::initWithContentsOfFileAtPath(path);
    std::shared_ptr<NCLineCollection> read = file->lineCollection();
    ASSERT_NE(read, nullptr);
    check(*read);
    // Saved again, its lines unchanged.
    std::string again = folder.file("again.numbera");
    ASSERT_TRUE(NCFile::initWithLineCollection(read)->writeToPath(again));
    const std::string bytesAgain = readFileBytes(again);
    EXPECT_TRUE(bytesAgain.substr(bytesAgain.find("<lines>")) ==
                bytes.substr(bytes.find("<lines>")));
}

// A document of more lines than it may have is refused before its lines are made, so is one
// whose lines hold more text to evaluate than a document may; lines too long to evaluate cost
// only their text and are not counted, so files of them read, however large, up to the file
// size cap.
TEST_F(DocumentFileTest, DocumentsBeyondTheirBoundsAreRefused) {
    auto document = [](size_t count, const std::string& line, const std::string& after = "") {
        std::string bytes = std::string(kHeader) + "<data><lines>\n";
        bytes.reserve(bytes.size() + count * line.size() + 32);
        for (size_t i = 0; i < count; ++i) bytes += line;
        return bytes + "</lines>" + after + "</data>\n";
    };
    const size_t longest = NCLineEvaluator::maximumEvaluatedLineLength();
    const std::string shortLine =
        "<line><expression>" + std::string(longest, ' ') + "</expression></line>\n";
    const std::string longLine =
        "<line><expression>" + std::string(longest + 1, '1') + "</expression></line>\n";
    const size_t shortLines = kNCFileMaximumEvaluatedTextLength / longest;
    const size_t longLines = 1100;  // past the ten megabytes libxml2 treats specially
    // The most lines, read without being evaluated.
    std::string most = folder.file("most.numbera");
    writeFileBytes(most, document(kNBFFileReaderMaximumLineCount, "<line/>"));
    NBFFileReaderRef reader = NBFFileReaderCreate(most.c_str());
    int32_t error = 0;
    EXPECT_TRUE(NBFFileReaderReadFile(reader, &error)) << error;
    EXPECT_EQ(NBFFileLinesNodeGetCount(NBFFileReaderGetLinesNode(reader)),
              kNBFFileReaderMaximumLineCount);
    NBFFileReaderFree(reader);

    struct Row {
        const char* name;
        std::string bytes;
        int32_t error;
        uint64_t lines;
    } rows[] = {
        {"one line more", document(kNBFFileReaderMaximumLineCount + 1, "<line/>"),
         NBFFileErrorTooManyLines, 0},
        // Only the last section is the document's.
        {"lines in a second section",
         document(kNBFFileReaderMaximumLineCount, "<line/>", "<lines><line/></lines>"), 0, 1},
        {"most text", document(shortLines, shortLine), 0, shortLines},
        {"one line of text more", document(shortLines + 1, shortLine), NBFFileErrorTooMuchText, 0},
        {"megabytes of lines too long to evaluate", document(longLines, longLine), 0, longLines},
    };
    NBFErrorLogSetEnabled(false);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto file = fileWithText(row.bytes);
        EXPECT_EQ(file->fileFormat(), row.error ? NCFileFormatInvalid : NCFileFormatXML);
        EXPECT_EQ(file->readError(), row.error);
        std::shared_ptr<NCLineCollection> lines = file->lineCollection();
        ASSERT_EQ(lines != nullptr, row.error == 0);
        if (lines) {
            EXPECT_EQ(lines->countOfLines(), row.lines);
        }
    }
    NBFErrorLogSetEnabled(true);
}

TEST_F(DocumentFileTest, ParserMessagesAreCappedAndKept) {
    std::string path = folder.file("broken.numbera");
    std::string bytes = std::string(kHeader) + "<data>";
    for (int i = 0; i < 2000; ++i) bytes += "<a x='1' x='2'/>";
    writeFileBytes(path, bytes);
    NBFFileReaderRef reader = NBFFileReaderCreate(path.c_str());
    int32_t error = 0;
    EXPECT_FALSE(NBFFileReaderReadFile(reader, &error));
    EXPECT_EQ(error, NBFFileErrorInvalidDocument);
    std::string message = NBFFileReaderGetErrorMessageReference(reader);
    EXPECT_FALSE(message.empty());
    EXPECT_LE(message.size(), 1023u);
    NBFFileReaderFree(reader);
}

std::shared_ptr<NCLineCollection> sampleLines(int count) {
    auto lines = std::make_shared<NCLineCollection>();
    for (int i = 0; i < count; ++i)
        lines->addLine(
            NCLine::lineWithExpressionString(u"line " + NBFUTF8ToUTF16(std::to_string(i))));
    return lines;
}

TEST_F(DocumentFileTest, AFailedWriteLeavesTheOldFileAndSaysWhy) {
    std::string path = folder.file("kept.numbera");
    ASSERT_TRUE(NCFile::initWithLineCollection(sampleLines(2))->writeToPath(path));
    const std::string old = readFileBytes(path);
    auto bigger = NCFile::initWithLineCollection(sampleLines(400));

    // The write itself fails part-way: the file size limit stops it.
    {
        struct rlimit saved;
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        struct rlimit small = saved;
        small.rlim_cur = 4096;
        auto previous = signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        std::string error;
        bool written = bigger->writeToPath(path, &error);
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, previous);
        EXPECT_FALSE(written);
        EXPECT_FALSE(error.empty());
    }
    EXPECT_EQ(readFileBytes(path), old);
    EXPECT_EQ(folder.entryCount(), 1u) << "no temporary file is left behind";

    // The folder cannot be written. Privileged users write anywhere, so the write runs in a
    // child that gives up its privileges first.
    ASSERT_EQ(chmod(folder.path.c_str(), 0555), 0);
    bool failedWithMessage = false;
    if (geteuid() != 0) {
        std::string error;
        failedWithMessage = !bigger->writeToPath(path, &error) && !error.empty();
    } else {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
            std::string error;
            bool written = bigger->writeToPath(path, &error);
            _exit(!written && !error.empty() ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        failedWithMessage = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    chmod(folder.path.c_str(), 0700);
    EXPECT_TRUE(failedWithMessage);
    EXPECT_EQ(readFileBytes(path), old);
    EXPECT_EQ(folder.entryCount(), 1u);

    // The target is a folder: the rename fails and the temporary file goes.
    std::string directory = folder.file("a-folder");
    ASSERT_TRUE(std::filesystem::create_directory(directory));
    std::string error;
    EXPECT_FALSE(bigger->writeToPath(directory, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(std::filesystem::is_directory(directory));
    EXPECT_EQ(folder.entryCount(), 2u);

    // A missing folder.
    EXPECT_FALSE(bigger->writeToPath(folder.file("no/such/folder.numbera"), &error));

    // And a write that succeeds replaces the file whole.
    ASSERT_TRUE(bigger->writeToPath(path, &error)) << error;
    EXPECT_EQ(NCLineCollection::lineCollectionFromPath(path)->countOfLines(), 400u);
}

// The folder's entries, by name, in order.
std::vector<std::string> entriesOf(const ScratchFolder& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(DocumentFileTest, ASaveKilledHalfWayLeavesAHiddenFileTheNextSaveRemoves) {
    const std::string path = folder.file("doc.numbera");
    ASSERT_TRUE(NCFile::initWithLineCollection(sampleLines(2))->writeToPath(path));
    const std::string old = readFileBytes(path);
    // The save is killed part-way: the file size limit ends the process that writes.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        struct rlimit small = {4096, 4096};
        signal(SIGXFSZ, SIG_DFL);
        setrlimit(RLIMIT_FSIZE, &small);
        NCFile::initWithLineCollection(sampleLines(400))->writeToPath(path);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the save was not killed";
    EXPECT_EQ(readFileBytes(path), old);
    std::vector<std::string> left = entriesOf(folder);
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].substr(0, 20), ".doc.numbera.saving-") << left[0];

    // Beside it: a save still running (its lock held), files of the user's, another document's.
    const std::string running = folder.file(".doc.numbera.saving-Run123");
    writeFileBytes(running, "<?xml");
    const int held = ::open(running.c_str(), O_RDONLY);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    const std::vector<std::string> kept = {
        ".doc.numbera.saving-Run123", ".doc.numbera.saving-long123", ".other.numbera.saving-Ab12Cd",
        "doc.numbera", "doc.numbera.backup"};
    for (const std::string& name : kept)
        if (!std::filesystem::exists(folder.file(name))) writeFileBytes(folder.file(name), "mine");
    writeFileBytes(folder.file(".doc.numbera.saving-Old456"), "<?xml");

    ASSERT_TRUE(NCFile::initWithLineCollection(sampleLines(3))->writeToPath(path));
    EXPECT_EQ(entriesOf(folder), kept);
    EXPECT_EQ(NCLineCollection::lineCollectionFromPath(path)->countOfLines(), 3u);
    // Once the running save is gone, what it left goes too.
    ::close(held);
    EXPECT_EQ(NBFFileRemoveStaleTemporaryFiles(path.c_str()), 1u);
    EXPECT_FALSE(std::filesystem::exists(running));
}

TEST_F(DocumentFileTest, OnlyARegularFileIsRead) {
    const std::string pipe = folder.file("pipe.numbera");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    const std::string directory = folder.file("folder.numbera");
    ASSERT_TRUE(std::filesystem::create_directory(directory));
    for (const std::string& path : {pipe, directory}) {
        // A pipe without a writer would keep the read waiting for ever.
        auto file = NCFile::initWithContentsOfFileAtPath(path);
        EXPECT_EQ(file->fileFormat(), NCFileFormatInvalid) << path;
        EXPECT_EQ(file->lineCollection(), nullptr) << path;
    }
}

}  // namespace

#include "NCFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <mutex>
#include <string_view>

#include "Diagnostics.h"
#include "NBFErrorLog.h"
#include "NCLineEvaluator.h"
#include "NCUnitCollection.h"
#include "NCUnitStringParser.h"

namespace {

// Decimal places beyond this would only make a hostile file expensive to show.
constexpr int64_t kMaximumDecimalPlaces = 1000;

std::string numberText(const NSArchiveValue& value) {
    char digits[40];
    std::to_chars_result written{digits, std::errc()};
    if (const auto* integer = std::get_if<int64_t>(&value))
        written = std::to_chars(digits, digits + sizeof digits, *integer);
    else if (const auto* real = std::get_if<double>(&value))
        written = std::to_chars(digits, digits + sizeof digits, *real);
    else if (const auto* flag = std::get_if<bool>(&value))
        return *flag ? "1" : "0";
    return written.ec == std::errc() ? std::string(digits, written.ptr) : "0";
}

// Characters XML 1.0 cannot carry; tab, line feed and carriage return stay.
bool isForbiddenInFile(char16_t unit) {
    return (unit >= 0x01 && unit <= 0x08) || unit == 0x0B || unit == 0x0C ||
           (unit >= 0x0E && unit <= 0x1F) || unit == 0xFFFE || unit == 0xFFFF;
}

std::string fileText(const std::u16string& text) {
    // Most texts are ASCII without a forbidden character: one pass, no intermediate copy.
    std::string ascii;
    ascii.reserve(text.size());
    for (char16_t unit : text) {
        if (unit >= 0x80 || isForbiddenInFile(unit)) {
            std::u16string kept;
            kept.reserve(text.size());
            for (char16_t each : text)
                if (!isForbiddenInFile(each)) kept += each;
            return NBFUTF16ToUTF8(kept);
        }
        ascii += static_cast<char>(unit);
    }
    return ascii;
}

// Most texts are ASCII: widened directly, without the general conversion's checking copy.
std::u16string textOfFile(const std::string& text) {
    for (char byte : text)
        if (static_cast<unsigned char>(byte) >= 0x80) return NBFUTF8ToUTF16(text);
    return std::u16string(text.begin(), text.end());
}

// The length in UTF-16 units of the reader's valid UTF-8: one unit per sequence, two for a
// sequence of four bytes.
size_t utf16LengthOf(const std::string& text) {
    size_t length = 0;
    for (char byte : text) {
        const auto value = static_cast<unsigned char>(byte);
        if ((value & 0xC0) != 0x80) ++length;
        if (value >= 0xF0) ++length;
    }
    return length;
}

// The text of the lines that would be evaluated.
size_t evaluatedTextLength(NBFFileLinesNodeRef lines) {
    size_t total = 0;
    for (uint32_t i = 0, count = NBFFileLinesNodeGetCount(lines); i < count; ++i) {
        const std::optional<std::string>* text = NBFFileLinesNodeGetExpression(lines, i);
        if (!text || !*text) continue;
        const size_t length = utf16LengthOf(**text);
        if (length <= NCLineEvaluator::maximumEvaluatedLineLength()) total += length;
    }
    return total;
}

std::optional<int64_t> integerOf(const std::string& text) {
    int64_t value = 0;
    const char* begin = text.data();
    if (begin != text.data() + text.size() && *begin == '+') ++begin;
    auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    if (error != std::errc()) return std::nullopt;
    return value;
}

std::optional<int64_t> integerAttribute(NBFFileLinesNodeRef lines, uint32_t index,
                                        const char* key) {
    const std::string* text = NBFFileLinesNodeGetFormattingAttribute(lines, index, key);
    return text ? integerOf(*text) : std::nullopt;
}

// Keys in the dictionary's own order, so that each insertion lands at the end.
void putAttribute(NBFFileDictionary& attributes, const char* key, int64_t value) {
    char digits[24];
    char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    attributes.emplace_hint(attributes.end(), key, std::string(digits, end));
}

// The per-line formatting keys a reader understands, in one table so that a record's
// dictionary is walked once rather than searched once per key.
enum FormattingKey : size_t {
    kDecimalPlaces,
    kTrigonometryMode,
    kThousandsSeparator,
    kTrailingZeros,
    kScientificNotationMode,
    kScientificNotationStyle,
    kExponentGranularity,
    kDisplayBase,
    kDisplayFormat,
    kTextAlignment,
    kFormattingKeyCount,
};

constexpr std::string_view kFormattingKeys[kFormattingKeyCount] = {
    "decimal_places", "trig_mode",       "thousands_separator", "trailing_zeros",
    "sn_mode",        "sn_style",        "sn_exp_granularity",  "display_base",
    "display_format", "expr_text_align",
};

}  // namespace

void NCFile::initializeClass() {
    static std::once_flag once;
    std::call_once(once, [] {
        NBFFileLinesNodeSetBackwardsCompatibilityFormattingAttributesDecimalPlacesKey(
            "decimal_places");
        NBFFileLinesNodeSetBackwardsCompatibilityFormattingAttributesTrigonometryModeKey(
            "trig_mode");
        NBFFileReaderInit();
    });
}

NCFile::NCFile() { initializeClass(); }

std::shared_ptr<NCFile> NCFile::initWithContentsOfFileAtPath(const std::string& path) {
    auto file = std::make_shared<NCFile>();
    file->m_filePath = path;
    return file;
}

std::shared_ptr<NCFile> NCFile::initWithLineCollection(
    std::shared_ptr<NCLineCollection> lineCollection) {
    auto file = std::make_shared<NCFile>();
    file->m_lineCollection = std::move(lineCollection);
    return file;
}

std::shared_ptr<NCLineCollection> NCFile::lineCollection() {
    if (!m_lineCollection && !m_filePath.empty()) readFromPath(m_filePath);
    return m_lineCollection;
}

void NCFile::setLineCollection(std::shared_ptr<NCLineCollection> lineCollection) {
    m_lineCollection = std::move(lineCollection);
}

int32_t NCFile::fileFormat() {
    if (m_fileFormat == NCFileFormatNotRead && !m_filePath.empty()) readFromPath(m_filePath);
    return m_fileFormat;
}

bool NCFile::isEvaluationTestFile() {
    if (!m_lineCollection) lineCollection();
    return m_isEvaluationTestFile;
}

std::optional<std::vector<std::shared_ptr<NCResult>>> NCFile::expectedResults() {
    if (!isEvaluationTestFile()) {
        Diagnostics::errorf(
            "Warning: should not be requesting expected results from a "
            "non-test file");
        return std::nullopt;
    }
    return m_evalTestExpectedResults;
}

std::optional<std::vector<std::optional<std::u16string>>> NCFile::expectedUnitStrings() {
    if (!isEvaluationTestFile()) {
        Diagnostics::errorf(
            "Warning: should not be requesting expected unit strings from a "
            "non-test file");
        return std::nullopt;
    }
    return m_evalTestExpectedUnitStrings;
}

int64_t NCFile::fileLineNumberForLine(const NCLine& line) const {
    if (!m_lineCollection || line.lineCollection() != m_lineCollection.get()) return -1;
    if (line.index() >= m_fileLineNumbers.size()) return -1;
    return m_fileLineNumbers[line.index()];
}

void NCFile::setValue(const NSArchiveValue& value, const std::string& key) {
    m_misclaneousDictionary[key] = value;
}

std::map<std::string, NSArchiveValue> NCFile::userInfo() {
    fileFormat();
    return m_misclaneousDictionary;
}

std::optional<std::u16string> NCFile::stringForKey(const std::string& key) {
    fileFormat();
    auto found = m_misclaneousDictionary.find(key);
    if (found == m_misclaneousDictionary.end()) return std::nullopt;
    if (const auto* text = std::get_if<std::u16string>(&found->second)) return *text;
    return NBFUTF8ToUTF16(numberText(found->second));
}

std::optional<double> NCFile::numberForKey(const std::string& key) {
    fileFormat();
    auto found = m_misclaneousDictionary.find(key);
    if (found == m_misclaneousDictionary.end()) return std::nullopt;
    const NSArchiveValue& value = found->second;
    if (const auto* integer = std::get_if<int64_t>(&value)) return static_cast<double>(*integer);
    if (const auto* real = std::get_if<double>(&value)) return *real;
    if (const auto* flag = std::get_if<bool>(&value)) return *flag ? 1.0 : 0.0;
    // A text reads as its leading number, 0 without one.
    std::string text = NBFUTF16ToUTF8(std::get<std::u16string>(value));
    size_t begin = text.find_first_not_of(" \t\n");
    if (begin == std::string::npos) return 0.0;
    if (text[begin] == '+') ++begin;
    double number = 0;
    auto [end, error] = std::from_chars(text.data() + begin, text.data() + text.size(), number);
    return error == std::errc() ? number : 0.0;
}

std::optional<NBFFileDictionary> NCFile::nbfMisclaneousDictionary() const {
    NBFFileDictionary dictionary;
    for (const auto& [key, value] : m_misclaneousDictionary) {
        if (const auto* text = std::get_if<std::u16string>(&value))
            dictionary[key] = fileText(*text);
        else
            dictionary[key] = numberText(value);
    }
    if (dictionary.empty()) return std::nullopt;
    return dictionary;
}

void NCFile::readNBFMisclaneousDictionary(const NBFFileDictionary* dictionary) {
    if (!dictionary) return;
    for (const auto& [key, value] : *dictionary)
        m_misclaneousDictionary[key] = NBFUTF8ToUTF16(value);
}

void NCFile::writeLineFormattingAttributesFromLine(NCLine& line, NBFFileLinesNodeRef lines,
                                                   uint32_t index) const {
    std::shared_ptr<NCResultFormattingOptions> custom = line.customFormattingOptions();
    NCResultFormattingOptions defaults;
    const NCResultFormattingOptions& options = custom ? *custom : defaults;
    const auto& expressionOptions = line.expressionFormattingOptions();
    NCTrigonometryMode collectionMode = m_lineCollection ? m_lineCollection->trigonometryMode() : 0;
    NBFFileDictionary attributes;
    attributes.reserve(kFormattingKeyCount);
    if (options.isDecimalPlacesSet())
        putAttribute(attributes, "decimal_places", static_cast<int64_t>(options.decimalPlaces()));
    putAttribute(attributes, "display_base", options.displayBase);
    putAttribute(attributes, "display_format", options.displayFormat());
    putAttribute(attributes, "expr_text_align",
                 expressionOptions ? expressionOptions->textAlignment() : 0);
    putAttribute(attributes, "sn_exp_granularity",
                 static_cast<int64_t>(options.scientificNotationExponentGranularity));
    putAttribute(attributes, "sn_mode", options.scientificNotationMode);
    putAttribute(attributes, "sn_style", options.scientificNotationStyle);
    putAttribute(attributes, "thousands_separator", options.thousandsSeparator ? 1 : 0);
    putAttribute(attributes, "trailing_zeros", options.trailingZeros ? 1 : 0);
    if (line.isTrigonometryModeSet() && line.trigonometryMode() != collectionMode)
        putAttribute(attributes, "trig_mode", static_cast<uint32_t>(line.trigonometryMode()));
    const NBFFileDictionary* existing =
        NBFFileLinesNodeGetFormattingAttributesDictionary(lines, index);
    if (!existing || existing->empty()) {
        NBFFileLinesNodeSetFormattingAttributesDictionary(lines, index, std::move(attributes));
        return;
    }
    for (const auto& [key, value] : attributes)
        NBFFileLinesNodeSetFormattingAttribute(lines, index, value.c_str(), key.c_str());
}

void NCFile::readLineFormattingAttributesIntoLine(NCLine& line, NBFFileLinesNodeRef lines,
                                                  uint32_t index) {
    std::optional<int64_t> values[kFormattingKeyCount];
    if (const NBFFileDictionary* attributes =
            NBFFileLinesNodeGetFormattingAttributesDictionary(lines, index)) {
        for (const auto& [key, text] : *attributes) {
            for (size_t slot = 0; slot < kFormattingKeyCount; ++slot) {
                if (key != kFormattingKeys[slot]) continue;
                values[slot] = integerOf(text);
                break;
            }
        }
    }
    auto in = [&](FormattingKey key, int64_t low, int64_t high) -> std::optional<int64_t> {
        const std::optional<int64_t>& value = values[key];
        if (!value || *value < low || *value > high) return std::nullopt;
        return value;
    };
    auto options = std::make_shared<NCResultFormattingOptions>();
    // The record carries no number characters: answers show those the text is read in.
    if (const std::shared_ptr<NCExpression>& expression = line.expression()) {
        options->decimalPlaceCharacter = expression->locale().decimalPointChar;
        options->thousandsSeparatorCharacter = expression->locale().groupingChar;
    }
    if (auto places = in(kDecimalPlaces, 0, kMaximumDecimalPlaces))
        options->setDecimalPlaces(static_cast<uint64_t>(*places));
    if (auto mode = in(kTrigonometryMode, 1, 2))
        line.setTrigonometryMode(static_cast<int32_t>(*mode));
    if (auto flag = in(kThousandsSeparator, 0, 1)) options->thousandsSeparator = *flag != 0;
    if (auto flag = in(kTrailingZeros, 0, 1)) options->trailingZeros = *flag != 0;
    if (auto mode = in(kScientificNotationMode, 0, 2))
        options->scientificNotationMode = static_cast<int32_t>(*mode);
    if (auto style = in(kScientificNotationStyle, INT32_MIN, INT32_MAX))
        options->scientificNotationStyle = static_cast<int32_t>(*style);
    if (auto granularity = in(kExponentGranularity, 1, 1000))
        options->scientificNotationExponentGranularity = static_cast<uint64_t>(*granularity);
    if (auto base = in(kDisplayBase, 2, 36)) options->displayBase = static_cast<int32_t>(*base);
    if (auto format = in(kDisplayFormat, NCDisplayFormatNormal, NCDisplayFormatSpacedGroupsOfFour))
        options->setDisplayFormat(static_cast<NCDisplayFormat>(*format));
    line.setCustomFormattingOptions(options);
    if (auto alignment = in(kTextAlignment, INT32_MIN, INT32_MAX)) {
        auto expressionOptions = std::make_shared<NCExpressionFormattingOptions>();
        expressionOptions->setTextAlignment(static_cast<int32_t>(*alignment));
        line.setExpressionFormattingOptions(expressionOptions);
    }
}

bool NCFile::writeToPath(const std::string& path, std::string* errorMessage) {
    NBFFileWriterRef writer = NBFFileWriterCreate();
    NBFFileInfoNodeRef info = NBFFileInfoNodeCreate();
    NBFFileSettingsNodeRef settings = NBFFileSettingsNodeCreate();
    NBFFileLinesNodeRef lines = NBFFileLinesNodeCreate();
    NBFFileInfoNodeSetVersion(info, NBFFileWriterGetWriterVersion());
    NBFFileSettingsNodeSetMisclaneousDictionary(settings, nbfMisclaneousDictionary());
    if (m_lineCollection) {
        // The texts are written in the characters the file names, which a reader accepts.
        const NCSimpleLocale locale =
            NCSimpleLocale::soundOrDefault(m_lineCollection->decimalPlaceCharacter(),
                                           m_lineCollection->thousandsSeparatorCharacter());
        NBFFileSettingsNodeSetDecimalPointChar(settings, locale.decimalPointChar);
        NBFFileSettingsNodeSetThousandsSeparatorChar(settings, locale.groupingChar);
        if (const auto& defaults = m_lineCollection->defaultResultFormattingOptions();
            defaults && defaults->isDecimalPlacesSet())
            NBFFileSettingsNodeSetDecimalPlaces(
                settings,
                static_cast<uint32_t>(std::min<uint64_t>(defaults->decimalPlaces(), UINT32_MAX)));
        NCTrigonometryMode mode = m_lineCollection->trigonometryMode();
        if (mode != 0)
            NBFFileSettingsNodeSetTrigonometryMode(settings, static_cast<uint32_t>(mode));
        std::vector<std::shared_ptr<NCLine>> all = m_lineCollection->lines();
        lines->lines.reserve(std::min<size_t>(all.size(), UINT32_MAX));
        for (uint64_t i = 0; i < all.size() && i < UINT32_MAX; ++i) {
            const std::shared_ptr<NCLine>& line = all[i];
            if (!line) continue;
            auto index = static_cast<uint32_t>(i);
            const std::optional<std::u16string>* text =
                line->expression() ? &line->expression()->originalString() : nullptr;
            if (text && *text) {
                size_t newline = (*text)->find(u'\n');
                if (newline != std::u16string::npos) {
                    Diagnostics::errorf("Warning: Expression has a new line character: %s",
                                        NBFUTF16ToUTF8(**text).c_str());
                    Diagnostics::errorf("location is %i", static_cast<int>(newline));
                }
            }
            std::optional<std::u16string> expression =
                line->expression() ? line->expression()->stringInLocale(locale) : std::nullopt;
            if (expression) NBFFileLinesNodeSetExpressionUTF8(lines, index, fileText(*expression));
            if (line->hasResult()) {
                std::optional<std::u16string> answer = line->result()->completeStringValue();
                if (answer) NBFFileLinesNodeSetAnswerUTF8(lines, index, fileText(*answer));
            }
            writeLineFormattingAttributesFromLine(*line, lines, index);
        }
    }
    NBFFileWriterSetInfoNode(writer, info);
    NBFFileWriterSetSettingsNode(writer, settings);
    NBFFileWriterSetLinesNode(writer, lines);
    bool written = NBFFileWriterWriteFile(writer, path.c_str(), nullptr, errorMessage);
    NBFFileWriterFree(writer);
    NBFFileInfoNodeFree(info);
    NBFFileSettingsNodeFree(settings);
    NBFFileLinesNodeFree(lines);
    return written;
}

void NCFile::readFromPath(const std::string& path) {
    struct stat status;
    if (::stat(path.c_str(), &status) != 0) return;
    NBFFileReaderRef reader = NBFFileReaderCreate(path.c_str());
    int32_t error = 0;
    bool read = NBFFileReaderReadFile(reader, &error);
    if (read && evaluatedTextLength(NBFFileReaderGetLinesNode(reader)) >
                    kNCFileMaximumEvaluatedTextLength) {
        read = false;
        error = NBFFileErrorTooMuchText;
    }
    m_readError = read ? 0 : error;
    if (!read) {
        if (error == NBFFileErrorNotXML) {
            m_fileFormat = NCFileFormatPlainText;
        } else {
            m_fileFormat = NCFileFormatInvalid;
            if (NBFErrorLogEnabled)
                OX_logErr_bigHeader(false, "Error!", "-[NCFile readFromPath:]",
                                    "Code/CalvexCore/NCFile", 380, "Error (%d) reading file: '%s'",
                                    error, NBFFileReaderGetErrorMessageReference(reader));
        }
        NBFFileReaderFree(reader);
        return;
    }
    m_fileFormat = NCFileFormatXML;
    NBFFileInfoNodeRef info = NBFFileReaderGetInfoNode(reader);
    double version = NBFFileInfoNodeGetVersion(info);
    if (version > NBFFileReaderGetReaderVersion())
        Diagnostics::errorf("This file appears to have been created with a newer version (%.2f)",
                            version);
    m_isEvaluationTestFile = NBFFileInfoNodeIsEvaluationTest(info);
    NBFFileSettingsNodeRef settings = NBFFileReaderGetSettingsNode(reader);
    readNBFMisclaneousDictionary(NBFFileSettingsNodeGetMisclaneousDictionary(settings));

    auto collection = std::make_shared<NCLineCollection>();
    // The texts are written in the document's own number characters. The collection has them
    // before its first line and each line's text is made in them, so every line is read once
    // and answered in them, with or without an environment of the collection's own.
    const NCSimpleLocale locale =
        NCSimpleLocale::soundOrDefault(NBFFileSettingsNodeGetDecimalPointChar(settings),
                                       NBFFileSettingsNodeGetThousandsSeparatorChar(settings));
    collection->setLocaleWithDecimalPoint(locale.decimalPointChar, locale.groupingChar);
    uint32_t mode = settings ? NBFFileSettingsNodeGetTrigonometryMode(settings) : 0;
    collection->setTrigonometryMode(mode == NCTrigonometryModeRadians ? NCTrigonometryModeRadians
                                                                      : NCTrigonometryModeDegrees);
    NBFFileLinesNodeRef lines = NBFFileReaderGetLinesNode(reader);
    uint32_t count = NBFFileLinesNodeGetCount(lines);
    m_fileLineNumbers.clear();
    m_fileLineNumbers.reserve(count);
    m_evalTestExpectedResults.clear();
    m_evalTestExpectedUnitStrings.clear();
    std::unique_ptr<NCUnitStringParser> unitParser;
    // One change pass for the whole document, not one per line. It is what gives the lines
    // their variables, references and answers (the file's answer texts are not read back), so
    // a reader that only shows the document, as the preview does, needs nothing more.
    collection->beginBatchUpdate();
    for (uint32_t i = 0; i < count; ++i) {
        // Each record is dropped once its line is made: the document is not held twice.
        struct Release {
            NBFFileLinesNodeRef lines;
            uint32_t index;
            ~Release() { NBFFileLinesNodeReleaseRecord(lines, index); }
        } release{lines, i};
        const std::optional<std::string>* text = NBFFileLinesNodeGetExpression(lines, i);
        std::optional<std::u16string> expressionText;
        if (text && *text) {
            expressionText = textOfFile(**text);
            // A break inside one line's element is part of that line.
            NCReplaceLineBreaksWithSpaces(*expressionText);
        }
        // Given its expression at birth, the line classifies the text once.
        auto line = std::make_shared<NCLine>(NCExpression::create(expressionText, locale));
        readLineFormattingAttributesIntoLine(*line, lines, i);
        collection->addLine(line);
        m_fileLineNumbers.push_back(NBFFileLinesNodeGetFileLineNumber(lines, i));

        if (!m_isEvaluationTestFile) continue;
        const std::optional<std::string>* expected = NBFFileLinesNodeGetExpectedAnswer(lines, i);
        if (!expected || !*expected) continue;
        auto result = NCResult::resultWithRawResultString(NBFUTF8ToUTF16(**expected));
        std::optional<int64_t> places = integerAttribute(lines, i, "decimal_places");
        result->setRawResultPrecision(places && *places >= 0 ? *places : 50);
        const std::optional<std::string>* unit = NBFFileLinesNodeGetExpectedUnit(lines, i);
        if (unit && *unit) {
            std::u16string unitText = NBFUTF8ToUTF16(**unit);
            // Without a current catalogue the unit stays unknown; its text is still kept.
            std::shared_ptr<NCUnitCollection> units = NCUnitCollection::sharedManager();
            if (!unitParser && units) unitParser = std::make_unique<NCUnitStringParser>(units);
            if (unitParser) result->setUnit(unitParser->unitFromString(unitText));
            m_evalTestExpectedUnitStrings.emplace_back(unitText);
        } else {
            m_evalTestExpectedUnitStrings.emplace_back(std::nullopt);
        }
        m_evalTestExpectedResults.push_back(result);
    }
    collection->endBatchUpdate();
    m_lineCollection = collection;
    NBFFileReaderFree(reader);
}

// The document file's plain records (info, settings, lines) and the XML writer and reader that
// move them to and from disk. Every function accepts a null record and then does nothing or
// answers the documented default. Texts are UTF-8; a missing text is no text, not "".
#ifndef NUMBERA_CORE_NBF_FILE_H
#define NUMBERA_CORE_NBF_FILE_H

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "NBFString.h"

// Reader errors.
enum : int32_t {
    NBFFileErrorNotXML = 1,
    NBFFileErrorInvalidDocument = 2,
    NBFFileErrorCannotOpen = 3,
    // Beyond what one document may cost to read and show (below): more bytes, more lines, or
    // more text to evaluate than any document holds. The last is found by NCFile, which knows
    // what a line costs once evaluated.
    NBFFileErrorTooLarge = 4,
    NBFFileErrorTooManyLines = 5,
    NBFFileErrorTooMuchText = 6,
};

// Strings by string key, enumerated in key order (the order written to the file). Held in one
// sorted array: a record's handful of entries costs one block, not one per entry, and entries
// added in key order (as files and writers give them) go to the end at once.
class NBFFileDictionary {
  public:
    using value_type = std::pair<std::string, std::string>;
    using const_iterator = std::vector<value_type>::const_iterator;

    NBFFileDictionary() = default;
    // A repeated key keeps its first value.
    NBFFileDictionary(std::initializer_list<value_type> entries) {
        for (const value_type& entry : entries) emplace_hint(end(), entry.first, entry.second);
    }

    const_iterator begin() const { return m_entries.begin(); }
    const_iterator end() const { return m_entries.end(); }
    size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    void reserve(size_t count) { m_entries.reserve(count); }

    const_iterator find(std::string_view key) const {
        auto found = lowerBound(key);
        return found != m_entries.end() && found->first == key ? found : m_entries.end();
    }
    std::string& operator[](std::string_view key) {
        auto found = lowerBound(key);
        if (found == m_entries.end() || found->first != key)
            found = m_entries.emplace(found, std::string(key), std::string());
        return found->second;
    }
    // The hint is where the caller expects the key; a wrong hint costs a search, nothing else.
    const_iterator insert_or_assign(const_iterator hint, std::string key, std::string value) {
        auto at = place(hint, key);
        if (at != m_entries.end() && at->first == key) {
            at->second = std::move(value);
            return at;
        }
        return m_entries.emplace(at, std::move(key), std::move(value));
    }
    // Keeps an existing value, as a map does.
    const_iterator emplace_hint(const_iterator hint, std::string key, std::string value) {
        auto at = place(hint, key);
        if (at != m_entries.end() && at->first == key) return at;
        return m_entries.emplace(at, std::move(key), std::move(value));
    }

    // Entries in any order, a repeated key keeping its last value (as insert_or_assign one by
    // one would): one sort instead of an insertion each, so a hostile file's many entries out of
    // order cost n log n, not n².
    static NBFFileDictionary fromEntries(std::vector<value_type> entries) {
        std::stable_sort(
            entries.begin(), entries.end(),
            [](const value_type& a, const value_type& b) { return a.first < b.first; });
        NBFFileDictionary dictionary;
        dictionary.m_entries.reserve(entries.size());
        for (value_type& entry : entries) {
            if (!dictionary.m_entries.empty() && dictionary.m_entries.back().first == entry.first)
                dictionary.m_entries.back().second = std::move(entry.second);
            else
                dictionary.m_entries.push_back(std::move(entry));
        }
        return dictionary;
    }

    bool operator==(const NBFFileDictionary& other) const { return m_entries == other.m_entries; }

  private:
    std::vector<value_type>::iterator lowerBound(std::string_view key) {
        return std::lower_bound(m_entries.begin(), m_entries.end(), key,
                                [](const value_type& entry, std::string_view wanted) {
                                    return std::string_view(entry.first) < wanted;
                                });
    }
    const_iterator lowerBound(std::string_view key) const {
        return const_cast<NBFFileDictionary*>(this)->lowerBound(key);
    }
    std::vector<value_type>::iterator place(const_iterator hint, std::string_view key) {
        // The usual case: after the last entry.
        if (hint == m_entries.end() && (m_entries.empty() || m_entries.back().first < key))
            return m_entries.end();
        return lowerBound(key);
    }

    std::vector<value_type> m_entries;
};

struct NBFFileInfoNode {
    double version = 0.6;
    uint8_t isEvaluationTest = 0;
};
typedef NBFFileInfoNode* NBFFileInfoNodeRef;

struct NBFFileSettingsNode {
    uint32_t decimalPlaces = 65535;  // not set
    uint32_t trigonometryMode = 0;   // not set
    NBFChar decimalPointChar = 0;
    NBFChar thousandsSeparatorChar = 0;
    std::optional<NBFFileDictionary> misc;
};
typedef NBFFileSettingsNode* NBFFileSettingsNodeRef;

struct LineRecord {
    std::optional<std::string> expression;
    std::optional<std::string> answer;
    std::optional<std::string> expectedAnswer;
    std::optional<std::string> expectedUnit;
    NBFFileDictionary formattingAttributes;
    uint32_t fileLineNumber = 0;
};
typedef LineRecord* LineRef;

struct NBFFileLinesNode {
    std::vector<LineRecord> lines;
};
typedef NBFFileLinesNode* NBFFileLinesNodeRef;

NBFFileInfoNodeRef NBFFileInfoNodeCreate();
void NBFFileInfoNodeFree(NBFFileInfoNodeRef node);
void NBFFileInfoNodeSetVersion(NBFFileInfoNodeRef node, double version);
double NBFFileInfoNodeGetVersion(NBFFileInfoNodeRef node);
void NBFFileInfoNodeSetIsEvaluationTest(NBFFileInfoNodeRef node, bool flag);
bool NBFFileInfoNodeIsEvaluationTest(NBFFileInfoNodeRef node);

NBFFileSettingsNodeRef NBFFileSettingsNodeCreate();
void NBFFileSettingsNodeFree(NBFFileSettingsNodeRef node);
void NBFFileSettingsNodeSetTrigonometryMode(NBFFileSettingsNodeRef node, uint32_t mode);
uint32_t NBFFileSettingsNodeGetTrigonometryMode(NBFFileSettingsNodeRef node);
void NBFFileSettingsNodeSetDecimalPlaces(NBFFileSettingsNodeRef node, uint32_t places);
uint32_t NBFFileSettingsNodeGetDecimalPlaces(NBFFileSettingsNodeRef node);
void NBFFileSettingsNodeSetDecimalPointChar(NBFFileSettingsNodeRef node, NBFChar character);
NBFChar NBFFileSettingsNodeGetDecimalPointChar(NBFFileSettingsNodeRef node);
void NBFFileSettingsNodeSetThousandsSeparatorChar(NBFFileSettingsNodeRef node, NBFChar character);
NBFChar NBFFileSettingsNodeGetThousandsSeparatorChar(NBFFileSettingsNodeRef node);
void NBFFileSettingsNodeSetMisclaneousDictionary(NBFFileSettingsNodeRef node,
                                                 std::optional<NBFFileDictionary> dictionary);
const NBFFileDictionary* NBFFileSettingsNodeGetMisclaneousDictionary(NBFFileSettingsNodeRef node);

// Access to index i grows the array up to i, so records can be filled in any order.
NBFFileLinesNodeRef NBFFileLinesNodeCreate();
void NBFFileLinesNodeFree(NBFFileLinesNodeRef node);
uint32_t NBFFileLinesNodeGetCount(NBFFileLinesNodeRef node);
void NBFFileLinesNodeSetExpressionUTF8(NBFFileLinesNodeRef node, uint32_t index,
                                       std::optional<std::string> text);
const std::optional<std::string>* NBFFileLinesNodeGetExpression(NBFFileLinesNodeRef node,
                                                                uint32_t index);
void NBFFileLinesNodeSetAnswerUTF8(NBFFileLinesNodeRef node, uint32_t index,
                                   std::optional<std::string> text);
const std::optional<std::string>* NBFFileLinesNodeGetAnswer(NBFFileLinesNodeRef node,
                                                            uint32_t index);
void NBFFileLinesNodeSetExpectedAnswerUTF8(NBFFileLinesNodeRef node, uint32_t index,
                                           std::optional<std::string> text);
const std::optional<std::string>* NBFFileLinesNodeGetExpectedAnswer(NBFFileLinesNodeRef node,
                                                                    uint32_t index);
void NBFFileLinesNodeSetExpectedUnitUTF8(NBFFileLinesNodeRef node, uint32_t index,
                                         std::optional<std::string> text);
const std::optional<std::string>* NBFFileLinesNodeGetExpectedUnit(NBFFileLinesNodeRef node,
                                                                  uint32_t index);
void NBFFileLinesNodeSetFormattingAttribute(NBFFileLinesNodeRef node, uint32_t index,
                                            const char* value, const char* key);
// Null when the record or the key is missing.
const std::string* NBFFileLinesNodeGetFormattingAttribute(NBFFileLinesNodeRef node, uint32_t index,
                                                          const char* key);
void NBFFileLinesNodeSetFormattingAttributesDictionary(NBFFileLinesNodeRef node, uint32_t index,
                                                       NBFFileDictionary dictionary);
const NBFFileDictionary* NBFFileLinesNodeGetFormattingAttributesDictionary(NBFFileLinesNodeRef node,
                                                                           uint32_t index);
void NBFFileLinesNodeSetFileLineNumber(NBFFileLinesNodeRef node, uint32_t index, uint32_t number);
uint32_t NBFFileLinesNodeGetFileLineNumber(NBFFileLinesNodeRef node, uint32_t index);
// Drops the record's texts and formatting once a reader has made its line of them; the count
// and the file line number stay.
void NBFFileLinesNodeReleaseRecord(NBFFileLinesNodeRef node, uint32_t index);
// Old files' per-line values, stored under the backwards-compatibility keys.
void NBFFileLinesNodeSetDecimalPlaces_0_5(NBFFileLinesNodeRef node, uint32_t index,
                                          uint32_t places);
void NBFFileLinesNodeSetTrigonometryMode_0_5(NBFFileLinesNodeRef node, uint32_t index,
                                             uint32_t mode);
void NBFFileLinesNodeSetBackwardsCompatibilityFormattingAttributesDecimalPlacesKey(const char* key);
void NBFFileLinesNodeSetBackwardsCompatibilityFormattingAttributesTrigonometryModeKey(
    const char* key);
extern std::string kFormattingAttributesDecimalPlacesKey;
extern std::string kFormattingAttributesTrigonometryModeKey;

double NBFFileWriterGetWriterVersion();
double NBFFileReaderGetReaderVersion();

// The writer refers to its nodes; the caller frees them.
struct NBFFileWriter {
    NBFFileInfoNodeRef info = nullptr;
    NBFFileSettingsNodeRef settings = nullptr;
    NBFFileLinesNodeRef lines = nullptr;
};
typedef NBFFileWriter* NBFFileWriterRef;

NBFFileWriterRef NBFFileWriterCreate();
void NBFFileWriterFree(NBFFileWriterRef writer);
void NBFFileWriterSetInfoNode(NBFFileWriterRef writer, NBFFileInfoNodeRef node);
void NBFFileWriterSetSettingsNode(NBFFileWriterRef writer, NBFFileSettingsNodeRef node);
void NBFFileWriterSetLinesNode(NBFFileWriterRef writer, NBFFileLinesNodeRef node);
// The document as written, without touching the disk; false when the XML writer fails.
bool NBFFileWriterWriteToBuffer(NBFFileWriterRef writer, std::string& out);
// Writes a temporary file beside the target (hidden: ".<name>.saving-XXXXXX"), flushes it to
// disk and renames it over the target, so a failure at any step leaves an existing file as it
// was. Temporary files that earlier saves of the target left behind are removed first. On
// failure answers false with the system error number and a message (either slot may be null).
bool NBFFileWriterWriteFile(NBFFileWriterRef writer, const char* path, int* errorNumber = nullptr,
                            std::string* errorMessage = nullptr);
// Removes the temporary files of the target's saves that were killed before they finished
// (those no running save holds); answers how many went.
size_t NBFFileRemoveStaleTemporaryFiles(const char* path);

struct NBFFileReader {
    std::string path;
    NBFFileInfoNodeRef info = nullptr;
    NBFFileSettingsNodeRef settings = nullptr;
    NBFFileLinesNodeRef lines = nullptr;
    std::string errorMessage;  // capped at 1023 bytes
};
typedef NBFFileReader* NBFFileReaderRef;

// Larger files are refused (NBFFileErrorTooLarge) before they are parsed.
constexpr uint64_t kNBFFileReaderMaximumFileSize = 64ull * 1024 * 1024;
// A document with more lines is refused (NBFFileErrorTooManyLines); the parse stops at the
// first line beyond it. Each line of a shown document costs several kilobytes (its record, text,
// tokens, answer and row), so the 64 MB a file may hold, about a million short lines, would take
// gigabytes; a hundred thousand lines stay well under a gigabyte, and a file written with that
// many lines is already most of the size cap. No document kept by hand comes near it.
constexpr uint32_t kNBFFileReaderMaximumLineCount = 100000;

void NBFFileReaderInit();
NBFFileReaderRef NBFFileReaderCreate(const char* path);
void NBFFileReaderFree(NBFFileReaderRef reader);
// False with the error code in the slot (may be null) on failure.
bool NBFFileReaderReadFile(NBFFileReaderRef reader, int32_t* error);
NBFFileInfoNodeRef NBFFileReaderGetInfoNode(NBFFileReaderRef reader);
NBFFileSettingsNodeRef NBFFileReaderGetSettingsNode(NBFFileReaderRef reader);
NBFFileLinesNodeRef NBFFileReaderGetLinesNode(NBFFileReaderRef reader);
const char* NBFFileReaderGetErrorMessageReference(NBFFileReaderRef reader);

#endif

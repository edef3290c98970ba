// A document on disk: turns a line collection into the file's records and back, keeps a free
// dictionary of string settings for the layers above, and tells what kind of file it found.
#ifndef NUMBERA_CORE_NC_FILE_H
#define NUMBERA_CORE_NC_FILE_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "NBFFile.h"
#include "NCLineCollection.h"
#include "NCResult.h"
#include "NSKeyedArchive.h"

// Values of fileFormat.
enum : int32_t {
    NCFileFormatInvalid = 0,    // cannot be opened or is not a valid document
    NCFileFormatPlainText = 1,  // exists but is not XML
    NCFileFormatXML = 2,
    NCFileFormatNotRead = 1024,
};

// A document whose lines hold more text to evaluate than this, in UTF-16 units, is refused
// (NBFFileErrorTooMuchText); lines too long to be evaluated cost only their text and are not
// counted. Evaluated text costs up to a kilobyte a character (tokens, parsed forms, answers,
// its row when shown), so the file size cap alone would let a document of lines each short
// enough to evaluate take tens of gigabytes. A million characters, hundreds of printed pages of
// sums, stay within a gigabyte.
constexpr size_t kNCFileMaximumEvaluatedTextLength = 1000000;

class NCFile {
  public:
    NCFile();
    // Remembers the path; reads on first need.
    static std::shared_ptr<NCFile> initWithContentsOfFileAtPath(const std::string& path);
    static std::shared_ptr<NCFile> initWithLineCollection(
        std::shared_ptr<NCLineCollection> lineCollection);

    // Reads the file first when none is held; none when missing or unreadable. The lines are
    // read and answered in the document's own decimal point and thousands separator.
    std::shared_ptr<NCLineCollection> lineCollection();
    void setLineCollection(std::shared_ptr<NCLineCollection> lineCollection);
    int32_t fileFormat();
    // Why the last read failed (an NBFFileError value), 0 when it did not fail or none was made.
    int32_t readError() const { return m_readError; }
    bool isEvaluationTestFile();
    // None (with a warning) for a file that is not an evaluation test.
    std::optional<std::vector<std::shared_ptr<NCResult>>> expectedResults();
    std::optional<std::vector<std::optional<std::u16string>>> expectedUnitStrings();
    // The source line of the line's element; -1 for a line of another collection.
    int64_t fileLineNumberForLine(const NCLine& line) const;

    // Misc settings: strings and numbers. Reading them reads the file first.
    void setValue(const NSArchiveValue& value, const std::string& key);
    std::optional<std::u16string> stringForKey(const std::string& key);
    std::optional<double> numberForKey(const std::string& key);
    std::map<std::string, NSArchiveValue> userInfo();

    // Atomic: on failure the file at the path is unchanged and the message (slot may be null)
    // says why.
    bool writeToPath(const std::string& path, std::string* errorMessage = nullptr);
    // Nothing happens when no file exists at the path.
    void readFromPath(const std::string& path);

    void writeLineFormattingAttributesFromLine(NCLine& line, NBFFileLinesNodeRef linesNode,
                                               uint32_t index) const;
    // Keys that are missing, or hold a value out of range, keep the options' defaults.
    static void readLineFormattingAttributesIntoLine(NCLine& line, NBFFileLinesNodeRef linesNode,
                                                     uint32_t index);
    std::optional<NBFFileDictionary> nbfMisclaneousDictionary() const;
    void readNBFMisclaneousDictionary(const NBFFileDictionary* dictionary);

  private:
    static void initializeClass();

    std::shared_ptr<NCLineCollection> m_lineCollection;
    std::string m_filePath;
    std::vector<std::shared_ptr<NCResult>> m_evalTestExpectedResults;
    bool m_isEvaluationTestFile = false;
    std::map<std::string, NSArchiveValue> m_misclaneousDictionary;
    int32_t m_fileFormat = NCFileFormatNotRead;
    int32_t m_readError = 0;
    std::vector<std::optional<std::u16string>> m_evalTestExpectedUnitStrings;
    std::vector<uint32_t> m_fileLineNumbers;
};

#endif

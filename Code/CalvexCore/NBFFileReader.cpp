// The reader streams the document through the parser's event interface straight into the
// records: the elements a document holds are recognised by their place under the root, and
// no tree of the whole file is built (nor freed) on the way.
#include <fcntl.h>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string_view>
#include <vector>

#include "NBFFile.h"

namespace {

constexpr size_t kErrorMessageCapacity = 1024;  // including the terminator

std::string_view trimmed(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return {};
    size_t end = text.find_last_not_of(" \t\r\n");
    return std::string_view(text).substr(begin, end - begin + 1);
}

// The leading integer of the text, as the C library reads one; nothing when there is none.
std::optional<int64_t> integerOf(const std::string& text) {
    std::string_view digits = trimmed(text);
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    int64_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc()) return std::nullopt;
    return value;
}

double doubleOf(const std::string& text) {
    std::string_view digits = trimmed(text);
    double value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc() ? value : 0;
}

NBFChar firstCharacterOf(const std::string& text) {
    std::u16string units = NBFUTF8ToUTF16(text);
    return units.empty() ? 0 : units.front();
}

// What an open element is to the reader, from its name and its parent's role. A text role's
// value is all the text inside it, whitespace and nested elements' text included.
enum class Role {
    Ignored,
    Root,
    Info,
    Settings,
    Lines,
    Line,
    Dictionary,  // "misc" or "formatting"
    Item,
    Inner,  // inside a text role
    // Text roles.
    Version,
    Mode,
    TrigonometryMode,
    DecimalPlaces,
    DecimalPointChar,
    ThousandsSeparatorChar,
    Expression,
    Answer,
    ExpectedAnswer,
    ExpectedUnit,
    Precision,
    LineTrigonometryMode,
    Key,
    Value,
};

bool isTextRole(Role role) { return role >= Role::Version; }

bool is(const xmlChar* name, std::string_view wanted) {
    return std::string_view(reinterpret_cast<const char*>(name)) == wanted;
}

// One parse: the records it builds take the reader's place only when the whole file parsed.
struct Parse {
    explicit Parse(NBFFileReaderRef reader) : reader(reader) {}
    Parse(const Parse&) = delete;
    Parse& operator=(const Parse&) = delete;

    NBFFileReaderRef reader;
    xmlParserCtxtPtr parser = nullptr;
    std::vector<Role> open;
    bool rootSeen = false;
    bool rootIsData = false;
    NBFFileInfoNodeRef info = nullptr;
    NBFFileSettingsNodeRef settings = nullptr;
    NBFFileLinesNodeRef lines = nullptr;
    double version = 0;      // of the last "info" so far
    bool newLayout = false;  // for the current "lines"
    bool isTest = false;     // for the current "line"
    uint32_t line = 0;       // the current record
    bool lineHasChild = false;
    std::string text;                             // of the open text role
    std::optional<std::string> key, value;        // of the open item
    std::optional<NBFFileDictionary> dictionary;  // being read
    bool dictionaryIsMisc = false;

    ~Parse() {
        NBFFileInfoNodeFree(info);
        NBFFileSettingsNodeFree(settings);
        NBFFileLinesNodeFree(lines);
    }

    long sourceLine() const { return xmlSAX2GetLineNumber(parser); }

    // The record's source line is that of its element's first child; a character data section
    // carries no line of its own and stands for its element's.
    void noteChildOfLine(bool hasLine = true) {
        if (open.empty() || open.back() != Role::Line || lineHasChild) return;
        lineHasChild = true;
        if (!hasLine) return;
        long number = sourceLine();
        NBFFileLinesNodeSetFileLineNumber(lines, line,
                                          number > 0 ? static_cast<uint32_t>(number) : 0);
    }

    Role roleOf(const xmlChar* name) const {
        if (open.empty()) return is(name, "data") ? Role::Root : Role::Ignored;
        switch (open.back()) {
            case Role::Root:
                if (is(name, "info")) return Role::Info;
                if (is(name, "settings")) return Role::Settings;
                if (is(name, "lines")) return Role::Lines;
                return Role::Ignored;
            case Role::Info:
                if (is(name, "version")) return Role::Version;
                if (is(name, "mode")) return Role::Mode;
                return Role::Ignored;
            case Role::Settings:
                if (is(name, "trig_mode")) return Role::TrigonometryMode;
                if (is(name, "dp")) return Role::DecimalPlaces;
                if (is(name, "dp_char")) return Role::DecimalPointChar;
                if (is(name, "th_char")) return Role::ThousandsSeparatorChar;
                if (is(name, "misc")) return Role::Dictionary;
                return Role::Ignored;
            case Role::Lines:
                return is(name, "line") ? Role::Line : Role::Ignored;
            case Role::Line:
                if (is(name, "expression")) return Role::Expression;
                if (is(name, "answer")) return Role::Answer;
                if (is(name, "expected_ans")) return Role::ExpectedAnswer;
                if (is(name, "expected_unit")) return Role::ExpectedUnit;
                if (newLayout && is(name, "formatting")) return Role::Dictionary;
                if (!newLayout && is(name, "precision")) return Role::Precision;
                if (!newLayout && is(name, "trig_mode")) return Role::LineTrigonometryMode;
                return Role::Ignored;
            case Role::Dictionary:
                return is(name, "item") ? Role::Item : Role::Ignored;
            case Role::Item:
                if (is(name, "key")) return Role::Key;
                if (is(name, "value")) return Role::Value;
                return Role::Ignored;
            case Role::Ignored:
                return Role::Ignored;
            default:
                return Role::Inner;
        }
    }

    void start(const xmlChar* name) {
        noteChildOfLine();
        Role role = roleOf(name);
        if (open.empty()) {
            rootSeen = true;
            rootIsData = role == Role::Root;
        }
        switch (role) {
            case Role::Info:
                NBFFileInfoNodeFree(info);
                info = NBFFileInfoNodeCreate();
                version = 0;
                break;
            case Role::Settings:
                NBFFileSettingsNodeFree(settings);
                settings = NBFFileSettingsNodeCreate();
                break;
            case Role::Lines:
                NBFFileLinesNodeFree(lines);
                lines = NBFFileLinesNodeCreate();
                newLayout = version > 0.5;
                break;
            case Role::Line:
                line = NBFFileLinesNodeGetCount(lines);
                lineHasChild = false;
                isTest = NBFFileInfoNodeIsEvaluationTest(info ? info : reader->info);
                // Until a first child says otherwise, the element's own line.
                NBFFileLinesNodeSetFileLineNumber(
                    lines, line, sourceLine() > 0 ? static_cast<uint32_t>(sourceLine()) : 0);
                break;
            case Role::Dictionary:
                dictionary.emplace();
                dictionaryIsMisc = open.back() == Role::Settings;
                // A line's formatting holds about ten entries.
                if (!dictionaryIsMisc) dictionary->reserve(12);
                break;
            case Role::Item:
                key.reset();
                value.reset();
                break;
            default:
                if (isTextRole(role)) text.clear();
                break;
        }
        open.push_back(role);
    }

    void end() {
        if (open.empty()) return;
        Role role = open.back();
        open.pop_back();
        switch (role) {
            case Role::Info:
                NBFFileInfoNodeSetVersion(info, version);
                break;
            case Role::Dictionary:
                if (dictionaryIsMisc)
                    settings->misc = std::move(dictionary);
                else
                    NBFFileLinesNodeSetFormattingAttributesDictionary(lines, line,
                                                                      std::move(*dictionary));
                dictionary.reset();
                break;
            case Role::Item:
                // Written in key order, so the usual insertion lands at the end.
                if (key && value)
                    dictionary->insert_or_assign(dictionary->end(), std::move(*key),
                                                 std::move(*value));
                break;
            case Role::Version:
                version = doubleOf(text);
                break;
            case Role::Mode:
                if (text == "test") NBFFileInfoNodeSetIsEvaluationTest(info, true);
                break;
            case Role::TrigonometryMode:
                if (auto mode = integerOf(text); mode && *mode >= 0 && *mode <= UINT32_MAX)
                    settings->trigonometryMode = static_cast<uint32_t>(*mode);
                break;
            case Role::DecimalPlaces:
                if (auto places = integerOf(text); places && *places >= 0 && *places <= UINT32_MAX)
                    settings->decimalPlaces = static_cast<uint32_t>(*places);
                break;
            case Role::DecimalPointChar:
                settings->decimalPointChar = firstCharacterOf(text);
                break;
            case Role::ThousandsSeparatorChar:
                settings->thousandsSeparatorChar = firstCharacterOf(text);
                break;
            case Role::Expression:
                NBFFileLinesNodeSetExpressionUTF8(lines, line, std::move(text));
                break;
            case Role::Answer:
                NBFFileLinesNodeSetAnswerUTF8(lines, line, std::move(text));
                break;
            case Role::ExpectedAnswer:
                if (isTest) NBFFileLinesNodeSetExpectedAnswerUTF8(lines, line, std::move(text));
                break;
            case Role::ExpectedUnit:
                if (isTest) NBFFileLinesNodeSetExpectedUnitUTF8(lines, line, std::move(text));
                break;
            case Role::Precision:
                if (auto places = integerOf(text); places && *places >= 0 && *places <= UINT32_MAX)
                    NBFFileLinesNodeSetDecimalPlaces_0_5(lines, line,
                                                         static_cast<uint32_t>(*places));
                break;
            case Role::LineTrigonometryMode:
                if (auto mode = integerOf(text); mode && *mode >= 0 && *mode <= UINT32_MAX)
                    NBFFileLinesNodeSetTrigonometryMode_0_5(lines, line,
                                                            static_cast<uint32_t>(*mode));
                break;
            case Role::Key:
                key = std::move(text);
                break;
            case Role::Value:
                value = std::move(text);
                break;
            default:
                break;
        }
        if (isTextRole(role)) text.clear();
    }

    void characters(const xmlChar* characters, int length, bool section = false) {
        noteChildOfLine(!section);
        if (!open.empty() && (isTextRole(open.back()) || open.back() == Role::Inner))
            text.append(reinterpret_cast<const char*>(characters), static_cast<size_t>(length));
    }
};

Parse& parseOf(void* context) {
    return *static_cast<Parse*>(static_cast<xmlParserCtxtPtr>(context)->_private);
}

void startElement(void* context, const xmlChar* name, const xmlChar*, const xmlChar*, int,
                  const xmlChar**, int, int, const xmlChar**) {
    parseOf(context).start(name);
}

void endElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    parseOf(context).end();
}

void characters(void* context, const xmlChar* text, int length) {
    parseOf(context).characters(text, length);
}

void section(void* context, const xmlChar* text, int length) {
    parseOf(context).characters(text, length, true);
}

// Comments and processing instructions carry no text, but may be a line's first child.
void comment(void* context, const xmlChar*) { parseOf(context).noteChildOfLine(); }
void instruction(void* context, const xmlChar*, const xmlChar*) {
    parseOf(context).noteChildOfLine();
}

void appendError(NBFFileReaderRef reader, const char* message) {
    if (!message) return;
    std::string& buffer = reader->errorMessage;
    size_t room = kErrorMessageCapacity - 1 - std::min(buffer.size(), kErrorMessageCapacity - 1);
    buffer.append(message, std::min(room, std::strlen(message)));
}

void parserError(void* context, xmlErrorPtr error) {
    auto* parser = static_cast<xmlParserCtxtPtr>(context);
    if (!parser || !error) return;
    NBFFileReaderRef reader = static_cast<Parse*>(parser->_private)->reader;
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "line %d: ", error->line);
    appendError(reader, prefix);
    appendError(reader, error->message ? error->message : "parser error\n");
}

// The file's bytes, held outside the allocator's heap: a large block freed there makes the
// allocator sweep every small block the parse left behind.
class FileBytes {
  public:
    explicit FileBytes(size_t size) : size_(size) {
        void* block =
            size ? ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                 : MAP_FAILED;
        data_ = block == MAP_FAILED ? nullptr : static_cast<char*>(block);
    }
    ~FileBytes() {
        if (data_) ::munmap(data_, size_);
    }
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    char* data() const { return data_; }
    size_t size() const { return size_; }

  private:
    size_t size_;
    char* data_;
};

// The whole file, or false when it cannot be read in full.
bool readAll(int descriptor, FileBytes& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t count =
            ::pread(descriptor, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        done += static_cast<size_t>(count);
    }
    return true;
}

bool failWith(int32_t code, int32_t* error) {
    if (error) *error = code;
    return false;
}

}  // namespace

void NBFFileReaderInit() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlLineNumbersDefault(1);
    });
}

NBFFileReaderRef NBFFileReaderCreate(const char* path) {
    auto* reader = new NBFFileReader();
    if (path) reader->path = path;
    return reader;
}

void NBFFileReaderFree(NBFFileReaderRef reader) {
    if (!reader) return;
    NBFFileInfoNodeFree(reader->info);
    NBFFileSettingsNodeFree(reader->settings);
    NBFFileLinesNodeFree(reader->lines);
    delete reader;
}

NBFFileInfoNodeRef NBFFileReaderGetInfoNode(NBFFileReaderRef reader) {
    return reader ? reader->info : nullptr;
}

NBFFileSettingsNodeRef NBFFileReaderGetSettingsNode(NBFFileReaderRef reader) {
    return reader ? reader->settings : nullptr;
}

NBFFileLinesNodeRef NBFFileReaderGetLinesNode(NBFFileReaderRef reader) {
    return reader ? reader->lines : nullptr;
}

const char* NBFFileReaderGetErrorMessageReference(NBFFileReaderRef reader) {
    return reader ? reader->errorMessage.c_str() : "";
}

bool NBFFileReaderReadFile(NBFFileReaderRef reader, int32_t* error) {
    if (!reader) return failWith(NBFFileErrorCannotOpen, error);
    NBFFileReaderInit();
    int descriptor = ::open(reader->path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return failWith(NBFFileErrorCannotOpen, error);
    struct Closer {
        int descriptor;
        ~Closer() { ::close(descriptor); }
    } closer{descriptor};

    char head[8] = {};
    ssize_t headLength;
    do {
        headLength = ::pread(descriptor, head, sizeof head, 0);
    } while (headLength < 0 && errno == EINTR);
    if (headLength < 0) return failWith(NBFFileErrorCannotOpen, error);
    if (headLength < 5 || std::memcmp(head, "<?xml", 5) != 0)
        return failWith(NBFFileErrorNotXML, error);

    // The whole file, refused beyond the size no document reaches.
    struct stat status;
    if (::fstat(descriptor, &status) != 0) return failWith(NBFFileErrorCannotOpen, error);
    if (status.st_size < 0 ||
        static_cast<uint64_t>(status.st_size) > kNBFFileReaderMaximumFileSize) {
        appendError(reader, "File too large\n");
        return failWith(NBFFileErrorInvalidDocument, error);
    }
    FileBytes bytes(static_cast<size_t>(status.st_size));
    if (!bytes.data() || !readAll(descriptor, bytes))
        return failWith(NBFFileErrorCannotOpen, error);

    // A document never carries a type declaration: refusing one keeps entity declarations
    // (and with them expansion bombs and external entities) out of the parse altogether.
    if (std::string_view(bytes.data(), bytes.size()).find("<!DOCTYPE") != std::string_view::npos) {
        appendError(reader, "Document type declarations are not accepted\n");
        return failWith(NBFFileErrorInvalidDocument, error);
    }

    xmlParserCtxtPtr parser = xmlNewParserCtxt();
    if (!parser) return failWith(NBFFileErrorInvalidDocument, error);
    Parse parse(reader);
    parse.parser = parser;
    parser->_private = &parse;
    parser->sax->serror = parserError;
    parser->sax->startElementNs = startElement;
    parser->sax->endElementNs = endElement;
    // Both, so that the parser hands every piece of text over as it is, blanks included.
    parser->sax->characters = characters;
    parser->sax->ignorableWhitespace = characters;
    parser->sax->cdataBlock = section;
    parser->sax->comment = comment;
    parser->sax->processingInstruction = instruction;
    // Never XML_PARSE_NOENT, DTDLOAD or HUGE: no entity is substituted or fetched, and the
    // parser's own depth and size limits stay in force.
    int options = XML_PARSE_NONET | XML_PARSE_BIG_LINES | XML_PARSE_COMPACT;
    xmlDocPtr document = xmlCtxtReadMemory(parser, bytes.data(), static_cast<int>(bytes.size()),
                                           reader->path.c_str(), "UTF-8", options);
    xmlFreeParserCtxt(parser);
    if (!document) return failWith(NBFFileErrorInvalidDocument, error);
    bool declared = document->intSubset || document->extSubset;
    xmlFreeDoc(document);
    if (!parse.rootSeen || declared) {
        if (!parse.rootSeen)
            std::fprintf(stderr, "File load error: no root element found: %s\n",
                         reader->path.c_str());
        return failWith(NBFFileErrorInvalidDocument, error);
    }
    if (!parse.rootIsData) {
        std::fprintf(stderr, "File load error: document of the wrong type, root node != %s\n",
                     "data");
        return failWith(NBFFileErrorInvalidDocument, error);
    }
    // Each kind of section read replaces the reader's earlier one.
    if (parse.info) std::swap(reader->info, parse.info);
    if (parse.settings) std::swap(reader->settings, parse.settings);
    if (parse.lines) std::swap(reader->lines, parse.lines);
    return true;
}

// The reader parses the document with libxml2's tree builder and reads each section of the root
// into the records as its element ends; each line's nodes are freed as soon as its record is
// made, so the tree never holds more than one line of the document. Texts are read straight
// from the text nodes' content, so the common element (one text child) costs no copy beyond
// the record's own string.
#include <fcntl.h>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string_view>

#include "Diagnostics.h"
#include "NBFFile.h"

namespace {

constexpr size_t kErrorMessageCapacity = 1024;  // including the terminator

bool named(const xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE &&
           std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

std::string_view contentOf(const xmlNode* node) {
    return node->content ? std::string_view(reinterpret_cast<const char*>(node->content))
                         : std::string_view();
}

// All the text inside the element, character data and nested elements' text included, as the
// tree's own content walk gathers it. The parser bounds the depth, and so this recursion.
void appendTextBelow(const xmlNode* node, std::string& text) {
    for (const xmlNode* child = node->children; child; child = child->next) {
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE)
            text.append(contentOf(child));
        else if (child->type == XML_ELEMENT_NODE)
            appendTextBelow(child, text);
    }
}

// The element's text: the one text child's content where there is just one (the usual case),
// otherwise gathered into the scratch string.
std::string_view textOf(const xmlNode* node, std::string& scratch) {
    const xmlNode* child = node->children;
    if (!child) return {};
    if (!child->next && (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE))
        return contentOf(child);
    scratch.clear();
    appendTextBelow(node, scratch);
    return scratch;
}

std::string textOf(const xmlNode* node) {
    std::string scratch;
    std::string_view text = textOf(node, scratch);
    if (text.data() == scratch.data()) return scratch;
    return std::string(text);
}

std::string_view trimmed(std::string_view text) {
    size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string_view::npos) return {};
    size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

// The leading integer of the text, as the C library reads one; nothing when there is none.
std::optional<int64_t> integerOf(const xmlNode* node) {
    std::string scratch;
    std::string_view digits = trimmed(textOf(node, scratch));
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    int64_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc()) return std::nullopt;
    return value;
}

// A count or mode: the leading integer when it fits in 32 bits unsigned.
std::optional<uint32_t> unsignedOf(const xmlNode* node) {
    std::optional<int64_t> value = integerOf(node);
    if (!value || *value < 0 || *value > UINT32_MAX) return std::nullopt;
    return static_cast<uint32_t>(*value);
}

double doubleOf(const xmlNode* node) {
    std::string scratch;
    std::string_view digits = trimmed(textOf(node, scratch));
    double value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc() ? value : 0;
}

// A settings character is its element's whole text: no text, several characters or one
// character beyond 16 bits read as none, never as a piece of the text.
NBFChar onlyCharacterOf(const xmlNode* node) {
    std::u16string units = NBFUTF8ToUTF16(textOf(node));
    if (units.size() != 1 || (units.front() >= 0xD800 && units.front() <= 0xDFFF)) return 0;
    return units.front();
}

NBFFileDictionary dictionaryOf(const xmlNode* element, size_t expected) {
    std::vector<NBFFileDictionary::value_type> entries;
    entries.reserve(expected);
    for (const xmlNode* item = element->children; item; item = item->next) {
        if (!named(item, "item")) continue;
        const xmlNode* key = nullptr;
        const xmlNode* value = nullptr;
        for (const xmlNode* part = item->children; part; part = part->next) {
            if (named(part, "key"))
                key = part;
            else if (named(part, "value"))
                value = part;
        }
        if (key && value) entries.emplace_back(textOf(key), textOf(value));
    }
    return NBFFileDictionary::fromEntries(std::move(entries));
}

void readInfo(NBFFileReaderRef reader, const xmlNode* section, double& version) {
    NBFFileInfoNodeFree(reader->info);
    reader->info = NBFFileInfoNodeCreate();
    version = 0;
    std::string scratch;
    for (const xmlNode* node = section->children; node; node = node->next) {
        if (named(node, "version"))
            version = doubleOf(node);
        else if (named(node, "mode") && textOf(node, scratch) == "test")
            NBFFileInfoNodeSetIsEvaluationTest(reader->info, true);
    }
    NBFFileInfoNodeSetVersion(reader->info, version);
}

void readSettings(NBFFileReaderRef reader, const xmlNode* section) {
    NBFFileSettingsNodeFree(reader->settings);
    reader->settings = NBFFileSettingsNodeCreate();
    NBFFileSettingsNodeRef settings = reader->settings;
    for (const xmlNode* node = section->children; node; node = node->next) {
        if (named(node, "trig_mode")) {
            if (auto mode = unsignedOf(node)) settings->trigonometryMode = *mode;
        } else if (named(node, "dp")) {
            if (auto places = unsignedOf(node)) settings->decimalPlaces = *places;
        } else if (named(node, "dp_char")) {
            settings->decimalPointChar = onlyCharacterOf(node);
        } else if (named(node, "th_char")) {
            settings->thousandsSeparatorChar = onlyCharacterOf(node);
        } else if (named(node, "misc")) {
            settings->misc = dictionaryOf(node, 0);
        }
    }
}

void readLine(NBFFileReaderRef reader, const xmlNode* element, bool newLayout) {
    NBFFileLinesNodeRef lines = reader->lines;
    uint32_t index = NBFFileLinesNodeGetCount(lines);
    // The record's source line is that of the element's first child.
    long sourceLine = xmlGetLineNo(element->children ? element->children : element);
    NBFFileLinesNodeSetFileLineNumber(lines, index,
                                      sourceLine > 0 ? static_cast<uint32_t>(sourceLine) : 0);
    bool isTest = NBFFileInfoNodeIsEvaluationTest(reader->info);
    for (const xmlNode* node = element->children; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE) continue;
        if (named(node, "expression")) {
            NBFFileLinesNodeSetExpressionUTF8(lines, index, textOf(node));
        } else if (named(node, "answer")) {
            NBFFileLinesNodeSetAnswerUTF8(lines, index, textOf(node));
        } else if (named(node, "expected_ans")) {
            if (isTest) NBFFileLinesNodeSetExpectedAnswerUTF8(lines, index, textOf(node));
        } else if (named(node, "expected_unit")) {
            if (isTest) NBFFileLinesNodeSetExpectedUnitUTF8(lines, index, textOf(node));
        } else if (newLayout && named(node, "formatting")) {
            // A line's formatting holds about ten entries.
            NBFFileLinesNodeSetFormattingAttributesDictionary(lines, index, dictionaryOf(node, 12));
        } else if (!newLayout && named(node, "precision")) {
            if (auto places = unsignedOf(node))
                NBFFileLinesNodeSetDecimalPlaces_0_5(lines, index, *places);
        } else if (!newLayout && named(node, "trig_mode")) {
            if (auto mode = unsignedOf(node))
                NBFFileLinesNodeSetTrigonometryMode_0_5(lines, index, *mode);
        }
    }
}

void appendError(NBFFileReaderRef reader, const char* message) {
    if (!message) return;
    std::string& buffer = reader->errorMessage;
    size_t room = kErrorMessageCapacity - 1 - std::min(buffer.size(), kErrorMessageCapacity - 1);
    buffer.append(message, std::min(room, std::strlen(message)));
}

// What the parse met that refuses the document, told by the parser as it reads.
struct ParseState {
    NBFFileReaderRef reader;
    int32_t refusal = 0;     // a reader error, or 0
    uint32_t lineCount = 0;  // "line" elements of the current "lines" section
    double version = 0;      // of the last "info" section read
};

void parserError(void* context, xmlErrorPtr error) {
    auto* parser = static_cast<xmlParserCtxtPtr>(context);
    if (!parser || !error) return;
    auto* state = static_cast<ParseState*>(parser->_private);
    // Stopping the parse is reported as an error of its own; the refusal says it.
    if (state->refusal && error->code == XML_ERR_USER_STOP) return;
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "line %d: ", error->line);
    appendError(state->reader, prefix);
    appendError(state->reader, error->message ? error->message : "parser error\n");
}

void refuse(xmlParserCtxtPtr parser, int32_t code, const char* message) {
    auto* state = static_cast<ParseState*>(parser->_private);
    if (state->refusal) return;
    state->refusal = code;
    appendError(state->reader, message);
    xmlStopParser(parser);
}

// Told of every document type declaration, before any declaration inside it is read. A
// document never carries one: refusing it keeps entity declarations (and with them expansion
// bombs and external entities) out of the parse altogether.
void refuseDocumentType(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    refuse(static_cast<xmlParserCtxtPtr>(context), NBFFileErrorInvalidDocument,
           "Document type declarations are not accepted\n");
}

bool isNamed(const xmlNode* node, const char* name) { return node && named(node, name); }

// Builds the tree as usual and counts the lines of each "lines" section of the root as they
// come, so a document with too many is refused before its tree grows further.
void startElement(void* context, const xmlChar* localName, const xmlChar* prefix,
                  const xmlChar* uri, int namespaceCount, const xmlChar** namespaces,
                  int attributeCount, int defaultedCount, const xmlChar** attributes) {
    xmlSAX2StartElementNs(context, localName, prefix, uri, namespaceCount, namespaces,
                          attributeCount, defaultedCount, attributes);
    auto* parser = static_cast<xmlParserCtxtPtr>(context);
    auto* state = static_cast<ParseState*>(parser->_private);
    if (parser->nodeNr < 2 || !isNamed(parser->nodeTab[0], "data")) return;
    if (parser->nodeNr == 2 && isNamed(parser->nodeTab[1], "lines")) {
        // Each lines section read replaces the reader's earlier one.
        state->lineCount = 0;
        NBFFileLinesNodeFree(state->reader->lines);
        state->reader->lines = NBFFileLinesNodeCreate();
    } else if (parser->nodeNr == 3 && isNamed(parser->nodeTab[1], "lines") &&
               isNamed(parser->nodeTab[2], "line") &&
               ++state->lineCount > kNBFFileReaderMaximumLineCount) {
        refuse(parser, NBFFileErrorTooManyLines, "Too many lines\n");
    }
}

// Reads the sections of the root as their elements end, in the document's order. A line's
// element is read when it ends and then freed with everything else the lines section holds so
// far (the line breaks and indentation between lines), which leaves the section empty: the
// text that follows starts a node of its own rather than joining one the parser has lost
// track of.
void endElement(void* context, const xmlChar* localName, const xmlChar* prefix,
                const xmlChar* uri) {
    auto* parser = static_cast<xmlParserCtxtPtr>(context);
    auto* state = static_cast<ParseState*>(parser->_private);
    xmlNodePtr element = parser->node;
    const int depth = parser->nodeNr;
    xmlSAX2EndElementNs(context, localName, prefix, uri);
    if (state->refusal || !element || depth < 2 || depth > 3 ||
        !isNamed(parser->nodeTab[0], "data"))
        return;
    if (depth == 2) {
        if (named(element, "info"))
            readInfo(state->reader, element, state->version);
        else if (named(element, "settings"))
            readSettings(state->reader, element);
        return;
    }
    xmlNodePtr section = parser->nodeTab[1];
    if (!isNamed(section, "lines") || !named(element, "line") || !state->reader->lines) return;
    readLine(state->reader, element, state->version > 0.5);
    while (xmlNodePtr child = section->children) {
        xmlUnlinkNode(child);
        xmlFreeNode(child);
    }
}

// The file's bytes, held outside the allocator's heap: a large block freed there makes the
// allocator sweep every small block the parse left behind.
class FileBytes {
  public:
    explicit FileBytes(size_t size) : m_size(size) {
        void* block =
            size ? ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                 : MAP_FAILED;
        m_data = block == MAP_FAILED ? nullptr : static_cast<char*>(block);
    }
    ~FileBytes() {
        if (m_data) ::munmap(m_data, m_size);
    }
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    char* data() const { return m_data; }
    size_t size() const { return m_size; }

  private:
    size_t m_size;
    char* m_data;
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
    // Never waits: opening a pipe for reading blocks until a writer comes, and a device may
    // never answer. Only a regular file is read.
    int descriptor = ::open(reader->path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0) return failWith(NBFFileErrorCannotOpen, error);
    struct Closer {
        int descriptor;
        ~Closer() { ::close(descriptor); }
    } closer{descriptor};
    struct stat kind;
    if (::fstat(descriptor, &kind) != 0 || !S_ISREG(kind.st_mode)) {
        appendError(reader, "Not a regular file\n");
        return failWith(NBFFileErrorCannotOpen, error);
    }

    // A UTF-8 byte-order mark may stand before the declaration; the parser passes over it.
    char head[8] = {};
    ssize_t headLength;
    do {
        headLength = ::pread(descriptor, head, sizeof head, 0);
    } while (headLength < 0 && errno == EINTR);
    if (headLength < 0) return failWith(NBFFileErrorCannotOpen, error);
    std::string_view start(head, static_cast<size_t>(headLength));
    if (start.substr(0, 3) == "\xEF\xBB\xBF") start.remove_prefix(3);
    if (start.substr(0, 5) != "<?xml") return failWith(NBFFileErrorNotXML, error);

    // The whole file, refused beyond the size no document reaches.
    struct stat status;
    if (::fstat(descriptor, &status) != 0) return failWith(NBFFileErrorCannotOpen, error);
    if (status.st_size < 0 ||
        static_cast<uint64_t>(status.st_size) > kNBFFileReaderMaximumFileSize) {
        appendError(reader, "File too large\n");
        return failWith(NBFFileErrorTooLarge, error);
    }
    FileBytes bytes(static_cast<size_t>(status.st_size));
    if (!bytes.data() || !readAll(descriptor, bytes))
        return failWith(NBFFileErrorCannotOpen, error);

    xmlParserCtxtPtr parser = xmlNewParserCtxt();
    if (!parser) return failWith(NBFFileErrorInvalidDocument, error);
    ParseState state{reader};
    parser->_private = &state;
    parser->sax->serror = parserError;
    parser->sax->internalSubset = refuseDocumentType;
    parser->sax->startElementNs = startElement;
    parser->sax->endElementNs = endElement;
    // Never XML_PARSE_NOENT, DTDLOAD or HUGE: no entity is substituted or fetched, and the
    // parser's own depth and size limits stay in force. Whitespace-only text is kept. The bytes
    // are UTF-8 whatever the declaration says; read so by ignoring it rather than by naming the
    // encoding, which makes the parser decode through a buffer that refuses documents beyond
    // ten megabytes as a "huge input lookup".
    int options = XML_PARSE_NONET | XML_PARSE_BIG_LINES | XML_PARSE_COMPACT | XML_PARSE_IGNORE_ENC;
    xmlDocPtr document = xmlCtxtReadMemory(parser, bytes.data(), static_cast<int>(bytes.size()),
                                           reader->path.c_str(), nullptr, options);
    xmlFreeParserCtxt(parser);
    struct DocumentFreer {
        xmlDocPtr document;
        ~DocumentFreer() { xmlFreeDoc(document); }
    } freer{document};
    // A failed read leaves no records: what was read before the failure is not the document.
    auto refused = [&](int32_t code) {
        NBFFileInfoNodeFree(reader->info);
        NBFFileSettingsNodeFree(reader->settings);
        NBFFileLinesNodeFree(reader->lines);
        reader->info = nullptr;
        reader->settings = nullptr;
        reader->lines = nullptr;
        return failWith(code, error);
    };
    // A stopped parse may leave part of a tree behind.
    if (state.refusal) return refused(state.refusal);
    if (!document) return refused(NBFFileErrorInvalidDocument);

    // The tree tells of a type declaration too, however it was met.
    xmlNodePtr root = xmlDocGetRootElement(document);
    if (!root || document->intSubset || document->extSubset) {
        if (!root)
            Diagnostics::errorf("File load error: no root element found: %s", reader->path.c_str());
        return refused(NBFFileErrorInvalidDocument);
    }
    if (!named(root, "data")) {
        Diagnostics::errorf("File load error: document of the wrong type, root node != %s", "data");
        return refused(NBFFileErrorInvalidDocument);
    }
    return true;
}

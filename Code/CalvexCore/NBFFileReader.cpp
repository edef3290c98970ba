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

#include "NBFFile.h"

namespace {

constexpr size_t kErrorMessageCapacity = 1024;  // including the terminator

const xmlChar* X(const char* text) { return reinterpret_cast<const xmlChar*>(text); }

bool named(const xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE && xmlStrEqual(node->name, X(name));
}

// All the element's text as one piece, whitespace included.
std::string textOf(const xmlNode* node) {
    // The usual case, a single text child, without the copy the general walk makes.
    const xmlNode* child = node->children;
    if (!child) return std::string();
    if (!child->next && child->type == XML_TEXT_NODE)
        return child->content ? reinterpret_cast<const char*>(child->content) : "";
    xmlChar* content = xmlNodeGetContent(node);
    std::string text = content ? reinterpret_cast<const char*>(content) : "";
    xmlFree(content);
    return text;
}

std::string_view trimmed(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return {};
    size_t end = text.find_last_not_of(" \t\r\n");
    return std::string_view(text).substr(begin, end - begin + 1);
}

// The leading integer of the text, as the C library reads one; nothing when there is none.
std::optional<int64_t> integerOf(const xmlNode* node) {
    std::string text = textOf(node);
    std::string_view digits = trimmed(text);
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    int64_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc()) return std::nullopt;
    return value;
}

double doubleOf(const xmlNode* node) {
    std::string text = textOf(node);
    std::string_view digits = trimmed(text);
    double value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc() ? value : 0;
}

NBFChar firstCharacterOf(const xmlNode* node) {
    std::u16string units = NBFUTF8ToUTF16(textOf(node));
    return units.empty() ? 0 : units.front();
}

NBFFileDictionary dictionaryOf(const xmlNode* element) {
    NBFFileDictionary dictionary;
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
        // Written in key order, so the usual insertion lands at the end.
        if (key && value) dictionary.insert_or_assign(dictionary.end(), textOf(key), textOf(value));
    }
    return dictionary;
}

void readInfo(NBFFileReaderRef reader, const xmlNode* section, double& version) {
    NBFFileInfoNodeFree(reader->info);
    reader->info = NBFFileInfoNodeCreate();
    version = 0;
    for (const xmlNode* node = section->children; node; node = node->next) {
        if (named(node, "version"))
            version = doubleOf(node);
        else if (named(node, "mode") && textOf(node) == "test")
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
            std::optional<int64_t> mode = integerOf(node);
            if (mode && *mode >= 0 && *mode <= UINT32_MAX)
                settings->trigonometryMode = static_cast<uint32_t>(*mode);
        } else if (named(node, "dp")) {
            std::optional<int64_t> places = integerOf(node);
            if (places && *places >= 0 && *places <= UINT32_MAX)
                settings->decimalPlaces = static_cast<uint32_t>(*places);
        } else if (named(node, "dp_char")) {
            settings->decimalPointChar = firstCharacterOf(node);
        } else if (named(node, "th_char")) {
            settings->thousandsSeparatorChar = firstCharacterOf(node);
        } else if (named(node, "misc")) {
            settings->misc = dictionaryOf(node);
        }
    }
}

void readLine(NBFFileReaderRef reader, const xmlNode* element, bool newLayout) {
    NBFFileLinesNodeRef lines = reader->lines;
    uint32_t index = NBFFileLinesNodeGetCount(lines);
    const xmlNode* first = element->children ? element->children : element;
    long sourceLine = xmlGetLineNo(first);
    NBFFileLinesNodeSetFileLineNumber(lines, index,
                                      sourceLine > 0 ? static_cast<uint32_t>(sourceLine) : 0);
    bool isTest = NBFFileInfoNodeIsEvaluationTest(reader->info);
    for (const xmlNode* node = element->children; node; node = node->next) {
        if (named(node, "expression")) {
            NBFFileLinesNodeSetExpressionUTF8(lines, index, textOf(node));
        } else if (named(node, "answer")) {
            NBFFileLinesNodeSetAnswerUTF8(lines, index, textOf(node));
        } else if (named(node, "expected_ans")) {
            if (isTest) NBFFileLinesNodeSetExpectedAnswerUTF8(lines, index, textOf(node));
        } else if (named(node, "expected_unit")) {
            if (isTest) NBFFileLinesNodeSetExpectedUnitUTF8(lines, index, textOf(node));
        } else if (newLayout && named(node, "formatting")) {
            NBFFileLinesNodeSetFormattingAttributesDictionary(lines, index, dictionaryOf(node));
        } else if (!newLayout && named(node, "precision")) {
            std::optional<int64_t> places = integerOf(node);
            if (places && *places >= 0 && *places <= UINT32_MAX)
                NBFFileLinesNodeSetDecimalPlaces_0_5(lines, index, static_cast<uint32_t>(*places));
        } else if (!newLayout && named(node, "trig_mode")) {
            std::optional<int64_t> mode = integerOf(node);
            if (mode && *mode >= 0 && *mode <= UINT32_MAX)
                NBFFileLinesNodeSetTrigonometryMode_0_5(lines, index, static_cast<uint32_t>(*mode));
        }
    }
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
    auto* reader = static_cast<NBFFileReaderRef>(parser->_private);
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "line %d: ", error->line);
    appendError(reader, prefix);
    appendError(reader, error->message ? error->message : "parser error\n");
}

// Whitespace between the elements of these is layout only: no reader looks at it, so it never
// becomes a tree node. In a "line" the first child is kept, since the record's source line is
// that child's line.
bool isLayoutElement(const xmlChar* name) {
    static const char* const kContainers[] = {"data", "info",       "settings", "lines",
                                              "misc", "formatting", "item"};
    for (const char* container : kContainers)
        if (xmlStrEqual(name, X(container))) return true;
    return false;
}

bool isBlank(const xmlChar* text, int length) {
    for (int i = 0; i < length; ++i)
        if (text[i] != ' ' && text[i] != '\t' && text[i] != '\n' && text[i] != '\r') return false;
    return true;
}

void characters(void* context, const xmlChar* text, int length) {
    auto* parser = static_cast<xmlParserCtxtPtr>(context);
    const xmlNode* node = parser ? parser->node : nullptr;
    if (node && node->type == XML_ELEMENT_NODE && isBlank(text, length) &&
        (isLayoutElement(node->name) || (node->children && xmlStrEqual(node->name, X("line")))))
        return;
    xmlSAX2Characters(context, text, length);
}

// The file's bytes, held outside the allocator's heap: a large block freed there makes the
// allocator sweep every small block the parse left behind.
class FileBytes {
  public:
    explicit FileBytes(size_t size) : size_(size) {
        void* block = size ? ::mmap(nullptr, size, PROT_READ | PROT_WRITE,
                                    MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
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
        ssize_t count = ::pread(descriptor, bytes.data() + done, bytes.size() - done,
                                static_cast<off_t>(done));
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
    if (status.st_size < 0 || static_cast<uint64_t>(status.st_size) > kNBFFileReaderMaximumFileSize) {
        appendError(reader, "File too large\n");
        return failWith(NBFFileErrorInvalidDocument, error);
    }
    FileBytes bytes(static_cast<size_t>(status.st_size));
    if (!bytes.data() || !readAll(descriptor, bytes)) return failWith(NBFFileErrorCannotOpen, error);

    // A document never carries a type declaration: refusing one keeps entity declarations
    // (and with them expansion bombs and external entities) out of the parse altogether.
    if (std::string_view(bytes.data(), bytes.size()).find("<!DOCTYPE") != std::string_view::npos) {
        appendError(reader, "Document type declarations are not accepted\n");
        return failWith(NBFFileErrorInvalidDocument, error);
    }

    xmlParserCtxtPtr parser = xmlNewParserCtxt();
    if (!parser) return failWith(NBFFileErrorInvalidDocument, error);
    parser->_private = reader;
    parser->sax->serror = parserError;
    // Both, so that the parser hands every piece of text to the filter.
    parser->sax->characters = characters;
    parser->sax->ignorableWhitespace = characters;
    // Never XML_PARSE_NOENT, DTDLOAD or HUGE: no entity is substituted or fetched, and the
    // parser's own depth and size limits stay in force. Whitespace-only text is kept, except
    // the layout between elements (above).
    int options = XML_PARSE_NONET | XML_PARSE_BIG_LINES | XML_PARSE_COMPACT;
    xmlDocPtr document = xmlCtxtReadMemory(parser, bytes.data(), static_cast<int>(bytes.size()),
                                           reader->path.c_str(), "UTF-8", options);
    xmlFreeParserCtxt(parser);
    if (!document) return failWith(NBFFileErrorInvalidDocument, error);

    xmlNodePtr root = xmlDocGetRootElement(document);
    if (!root || document->intSubset || document->extSubset) {
        if (!root)
            std::fprintf(stderr, "File load error: no root element found: %s\n",
                         reader->path.c_str());
        xmlFreeDoc(document);
        return failWith(NBFFileErrorInvalidDocument, error);
    }
    if (!xmlStrEqual(root->name, X("data"))) {
        std::fprintf(stderr, "File load error: document of the wrong type, root node != %s\n",
                     "data");
        xmlFreeDoc(document);
        return failWith(NBFFileErrorInvalidDocument, error);
    }

    double version = 0;
    for (const xmlNode* section = root->children; section; section = section->next) {
        if (named(section, "info")) {
            readInfo(reader, section, version);
        } else if (named(section, "settings")) {
            readSettings(reader, section);
        } else if (named(section, "lines")) {
            NBFFileLinesNodeFree(reader->lines);
            reader->lines = NBFFileLinesNodeCreate();
            for (const xmlNode* line = section->children; line; line = line->next)
                if (named(line, "line")) readLine(reader, line, version > 0.5);
        }
    }
    xmlFreeDoc(document);
    return true;
}

#include <dirent.h>
#include <fcntl.h>
#include <libxml/xmlwriter.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "Diagnostics.h"
#include "NBFFile.h"

namespace {

const xmlChar* X(const char* text) { return reinterpret_cast<const xmlChar*>(text); }

// The machine form of a version: shortest round-trip text, independent of the C locale.
std::string versionText(double version) {
    char digits[32];
    auto [end, error] = std::to_chars(digits, digits + sizeof digits, version);
    return error == std::errc() ? std::string(digits, end) : "0";
}

bool element(xmlTextWriterPtr writer, const char* name, const std::string& text) {
    return xmlTextWriterWriteElement(writer, X(name), X(text.c_str())) >= 0;
}

bool dictionaryElement(xmlTextWriterPtr writer, const char* name,
                       const NBFFileDictionary& dictionary) {
    if (xmlTextWriterStartElement(writer, X(name)) < 0) return false;
    for (const auto& [key, value] : dictionary) {
        if (xmlTextWriterStartElement(writer, X("item")) < 0) return false;
        if (!element(writer, "key", key) || !element(writer, "value", value)) return false;
        if (xmlTextWriterEndElement(writer) < 0) return false;
    }
    // A full end keeps an empty dictionary as a start and end tag pair.
    return xmlTextWriterFullEndElement(writer) >= 0;
}

std::string characterText(NBFChar character) {
    char* utf8 = NBFCharGetUTF8(character);
    std::string text = utf8 ? utf8 : "";
    std::free(utf8);
    return text;
}

bool writeInfo(xmlTextWriterPtr writer, NBFFileInfoNodeRef info) {
    if (xmlTextWriterWriteComment(writer, X(" General document info section ")) < 0) return false;
    if (xmlTextWriterStartElement(writer, X("info")) < 0) return false;
    if (!element(writer, "version", versionText(NBFFileInfoNodeGetVersion(info)))) return false;
    if (NBFFileInfoNodeIsEvaluationTest(info) && !element(writer, "mode", "test")) return false;
    return xmlTextWriterEndElement(writer) >= 0;
}

bool writeSettings(xmlTextWriterPtr writer, NBFFileSettingsNodeRef settings) {
    if (xmlTextWriterWriteString(writer, X("\n")) < 0) return false;
    if (xmlTextWriterWriteComment(writer, X("Document specific settings section ")) < 0)
        return false;
    if (xmlTextWriterStartElement(writer, X("settings")) < 0) return false;
    if (settings) {
        if (settings->decimalPlaces != 65535 &&
            !element(writer, "dp", std::to_string(settings->decimalPlaces)))
            return false;
        if (settings->trigonometryMode != 0 &&
            !element(writer, "trig_mode",
                     std::to_string(static_cast<int32_t>(settings->trigonometryMode))))
            return false;
        if (settings->decimalPointChar != 0 &&
            !element(writer, "dp_char", characterText(settings->decimalPointChar)))
            return false;
        if (settings->thousandsSeparatorChar != 0 &&
            !element(writer, "th_char", characterText(settings->thousandsSeparatorChar)))
            return false;
        if (settings->misc && !dictionaryElement(writer, "misc", *settings->misc)) return false;
    }
    return xmlTextWriterEndElement(writer) >= 0;
}

// The entity the text writer puts for a character of element content; null for none.
const char* entityOf(char character) {
    switch (character) {
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '&':
            return "&amp;";
        case '"':
            return "&quot;";
        case '\r':
            return "&#13;";
        default:
            return nullptr;
    }
}

// Text as the text writer escapes element content. The text writer takes C strings: a text
// ends at its first NUL, which no XML document may carry.
void appendEscaped(std::string& out, std::string_view text) {
    text = text.substr(0, text.find('\0'));
    size_t plain = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        const char* entity = entityOf(text[at]);
        if (!entity) continue;
        out.append(text.data() + plain, at - plain);
        out += entity;
        plain = at + 1;
    }
    out.append(text.data() + plain, text.size() - plain);
}

bool writeRaw(xmlTextWriterPtr writer, const std::string& text) {
    return xmlTextWriterWriteRawLen(writer, X(text.c_str()), static_cast<int>(text.size())) >= 0;
}

void appendElement(std::string& out, std::string_view indent, std::string_view name,
                   const std::string& text) {
    out += indent;
    out += '<';
    out += name;
    out += '>';
    appendEscaped(out, text);
    out += "</";
    out += name;
    out += ">\n";
}

// One "line" element, laid out exactly as the text writer lays it out at its depth.
void appendLine(std::string& out, const LineRecord& record) {
    out += "\t\t<line>\n";
    if (record.expression) appendElement(out, "\t\t\t", "expression", *record.expression);
    if (record.answer) appendElement(out, "\t\t\t", "answer", *record.answer);
    if (record.formattingAttributes.empty()) {
        out += "\t\t\t<formatting></formatting>\n";
    } else {
        out += "\t\t\t<formatting>\n";
        for (const auto& [key, value] : record.formattingAttributes) {
            out += "\t\t\t\t<item>\n";
            appendElement(out, "\t\t\t\t\t", "key", key);
            appendElement(out, "\t\t\t\t\t", "value", value);
            out += "\t\t\t\t</item>\n";
        }
        out += "\t\t\t</formatting>\n";
    }
    out += "\t\t</line>\n";
}

// The lines are the bulk of a document: they are laid out here and handed to the text writer
// in large pieces, not as some forty writer calls per line.
bool writeLines(xmlTextWriterPtr writer, NBFFileLinesNodeRef lines) {
    if (xmlTextWriterWriteString(writer, X("\n")) < 0) return false;
    if (xmlTextWriterWriteComment(writer, X(" Main body ")) < 0) return false;
    if (xmlTextWriterStartElement(writer, X("lines")) < 0) return false;
    if (lines && !lines->lines.empty()) {
        constexpr size_t kPiece = 256 * 1024;
        // The line break after the open tag and, at the end, the indent of the close tag are
        // what the text writer itself puts around children.
        std::string piece = "\n";
        piece.reserve(kPiece + 4096);
        for (const LineRecord& record : lines->lines) {
            appendLine(piece, record);
            if (piece.size() < kPiece) continue;
            if (!writeRaw(writer, piece)) return false;
            piece.clear();
        }
        piece += "\t";
        if (!writeRaw(writer, piece)) return false;
    }
    return xmlTextWriterFullEndElement(writer) >= 0;
}

bool fail(int number, const std::string& message, int* errorNumber, std::string* errorMessage) {
    if (errorNumber) *errorNumber = number;
    if (errorMessage) *errorMessage = message;
    return false;
}

// A symbolic link keeps pointing at the document: the new file replaces the link's target.
std::string resolvedTarget(const char* path) {
    struct stat info;
    if (lstat(path, &info) == 0 && S_ISLNK(info.st_mode)) {
        if (char* real = realpath(path, nullptr)) {
            std::string target = real;
            std::free(real);
            return target;
        }
    }
    return path;
}

// A document's temporary file while it is saved: hidden, beside it, named after it so that a
// save killed half-way leaves something we know as ours.
constexpr std::string_view kTemporaryInfix = ".saving-";

std::pair<std::string, std::string> folderAndName(const std::string& target) {
    const size_t slash = target.find_last_of('/');
    if (slash == std::string::npos) return {".", target};
    return {slash == 0 ? "/" : target.substr(0, slash), target.substr(slash + 1)};
}

std::string temporaryTemplate(const std::string& target) {
    const auto [folder, name] = folderAndName(target);
    return folder + "/." + name + std::string(kTemporaryInfix) + "XXXXXX";
}

// "." name ".saving-" and the six letters or digits mkstemp puts in.
bool isTemporaryOf(std::string_view entry, const std::string& name) {
    const std::string prefix = "." + name + std::string(kTemporaryInfix);
    if (entry.size() != prefix.size() + 6 || entry.substr(0, prefix.size()) != prefix) return false;
    for (char c : entry.substr(prefix.size()))
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    return true;
}

bool writeAll(int descriptor, std::string_view bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t count = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        written += static_cast<size_t>(count);
    }
    return true;
}

}  // namespace

NBFFileWriterRef NBFFileWriterCreate() { return new NBFFileWriter(); }
void NBFFileWriterFree(NBFFileWriterRef writer) { delete writer; }

void NBFFileWriterSetInfoNode(NBFFileWriterRef writer, NBFFileInfoNodeRef node) {
    if (writer) writer->info = node;
}

void NBFFileWriterSetSettingsNode(NBFFileWriterRef writer, NBFFileSettingsNodeRef node) {
    if (writer) writer->settings = node;
}

void NBFFileWriterSetLinesNode(NBFFileWriterRef writer, NBFFileLinesNodeRef node) {
    if (writer) writer->lines = node;
}

namespace {

// About what a document takes: its lines' texts and formatting plus their layout.
size_t estimatedSize(NBFFileLinesNodeRef lines) {
    size_t size = 4096;
    if (!lines) return size;
    for (const LineRecord& record : lines->lines) {
        size += 64;
        if (record.expression) size += record.expression->size() + 40;
        if (record.answer) size += record.answer->size() + 32;
        for (const auto& [key, value] : record.formattingAttributes)
            size += key.size() + value.size() + 80;
    }
    return size;
}

struct BufferFree {
    void operator()(xmlBufferPtr buffer) const { xmlBufferFree(buffer); }
};
using Buffer = std::unique_ptr<xmlBuffer, BufferFree>;

// The whole document in a buffer of the text writer's; none when the writer fails.
Buffer documentBuffer(NBFFileWriterRef writer) {
    if (!writer) return nullptr;
    Buffer buffer(xmlBufferCreateSize(estimatedSize(writer->lines)));
    // The default exact scheme reallocates on every append: quadratic for large documents.
    if (buffer) xmlBufferSetAllocationScheme(buffer.get(), XML_BUFFER_ALLOC_DOUBLEIT);
    xmlTextWriterPtr textWriter = buffer ? xmlNewTextWriterMemory(buffer.get(), 0) : nullptr;
    if (!textWriter || xmlTextWriterSetIndent(textWriter, 1) < 0 ||
        xmlTextWriterSetIndentString(textWriter, X("\t")) < 0 ||
        xmlTextWriterStartDocument(textWriter, "1.0", "UTF-8", nullptr) < 0) {
        Diagnostics::error("Error creating buffer, writer and starting document");
        if (textWriter) xmlFreeTextWriter(textWriter);
        return nullptr;
    }
    bool written =
        xmlTextWriterStartElement(textWriter, X("data")) >= 0 &&
        writeInfo(textWriter, writer->info) && writeSettings(textWriter, writer->settings) &&
        writeLines(textWriter, writer->lines) && xmlTextWriterEndDocument(textWriter) >= 0;
    // Freeing the writer flushes it into the buffer.
    xmlFreeTextWriter(textWriter);
    return written ? std::move(buffer) : nullptr;
}

std::string_view contentOf(const Buffer& buffer) {
    return std::string_view(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())),
                            static_cast<size_t>(xmlBufferLength(buffer.get())));
}

}  // namespace

bool NBFFileWriterWriteToBuffer(NBFFileWriterRef writer, std::string& out) {
    Buffer buffer = documentBuffer(writer);
    if (!buffer) return false;
    out.assign(contentOf(buffer));
    return true;
}

bool NBFFileWriterWriteFile(NBFFileWriterRef writer, const char* path, int* errorNumber,
                            std::string* errorMessage) {
    if (!writer || !path || !*path) return fail(EINVAL, "No file path", errorNumber, errorMessage);
    Buffer buffer = documentBuffer(writer);
    if (!buffer)
        return fail(ENOMEM, "Error creating buffer, writer and starting document", errorNumber,
                    errorMessage);
    std::string_view document = contentOf(buffer);

    std::string target = resolvedTarget(path);
    NBFFileRemoveStaleTemporaryFiles(target.c_str());
    std::string temporary = temporaryTemplate(target);
    int descriptor = mkostemp(temporary.data(), O_CLOEXEC);
    // Held while the file is written: a save still running is told from one that was killed.
    if (descriptor >= 0) flock(descriptor, LOCK_EX | LOCK_NB);
    if (descriptor < 0) {
        int number = errno;
        Diagnostics::errorf("NBFFileWriter: err: %d could not open file for writing at path: '%s'",
                            number, path);
        return fail(number, std::string("Could not open file for writing: ") + strerror(number),
                    errorNumber, errorMessage);
    }
    // The new file takes the old one's permissions; a new document those of a usual file.
    struct stat old;
    mode_t mode = stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool ok =
        fchmod(descriptor, mode) == 0 && writeAll(descriptor, document) && fsync(descriptor) == 0;
    int number = ok ? 0 : errno;
    if (::close(descriptor) != 0 && ok) {
        ok = false;
        number = errno;
    }
    if (ok && std::rename(temporary.c_str(), target.c_str()) != 0) {
        ok = false;
        number = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return fail(number, std::string("Could not write file: ") + strerror(number), errorNumber,
                    errorMessage);
    }
    // The rename itself reaches the disk with the folder's entry.
    std::string folder = target.substr(0, target.find_last_of('/') + 1);
    int folderDescriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (folderDescriptor >= 0) {
        fsync(folderDescriptor);
        ::close(folderDescriptor);
    }
    return true;
}

size_t NBFFileRemoveStaleTemporaryFiles(const char* path) {
    if (!path || !*path) return 0;
    const auto [folder, name] = folderAndName(resolvedTarget(path));
    DIR* directory = ::opendir(folder.c_str());
    if (!directory) return 0;
    const int folderDescriptor = ::dirfd(directory);
    size_t removed = 0;
    while (const dirent* entry = ::readdir(directory)) {
        if (!isTemporaryOf(entry->d_name, name)) continue;
        const int descriptor = ::openat(folderDescriptor, entry->d_name,
                                        O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (descriptor < 0) continue;
        struct stat status;
        // The lock is free only when no save holds the file any more.
        if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) &&
            ::flock(descriptor, LOCK_EX | LOCK_NB) == 0 &&
            ::unlinkat(folderDescriptor, entry->d_name, 0) == 0) {
            ++removed;
            Diagnostics::errorf("Removed the temporary file of an unfinished save: '%s/%s'",
                                folder.c_str(), entry->d_name);
        }
        ::close(descriptor);
    }
    ::closedir(directory);
    return removed;
}

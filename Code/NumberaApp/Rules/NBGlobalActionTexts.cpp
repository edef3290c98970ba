#include "NBGlobalActionTexts.h"

#include "NBInterfaceRules.h"
#include "NBTextConversion.h"
#include "NKFunctions.h"

namespace NBGlobalActionTexts {

namespace {

std::u16string replacePlaceholders(std::u16string format,
                                   std::initializer_list<std::u16string> values) {
    size_t from = 0;
    for (const std::u16string& value : values) {
        const size_t at = format.find(u"%@", from);
        if (at == std::u16string::npos) break;
        format.replace(at, 2, value);
        from = at + value.size();
    }
    return format;
}

// Everything but the characters a URL may hold as they are is escaped, byte by byte of its
// UTF-8; "&", "=" and "?" inside the texts are escaped too, so that a text cannot end its
// own part of the query.
std::string escapeForURL(const std::u16string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : NBUtf8(text)) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
                           c == '!' || c == '$' || c == '\'' || c == '(' || c == ')' || c == '*' ||
                           c == ',' || c == ';' || c == ':' || c == '@' || c == '/';
        if (plain) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0xF]);
        }
    }
    return out;
}

std::string mailURL(const std::string& address, const std::u16string& subject,
                    const std::u16string& body) {
    return "mailto:" + escapeForURL(NBUtf16(address)) + "?" + "SUBJECT=" + escapeForURL(subject) +
           "&" + "BODY=" + escapeForURL(body);
}

}  // namespace

std::u16string versionText() {
    const NKApplicationIdentity identity = NKGetApplicationIdentity();
    return replacePlaceholders(u"%@ (Build %@%@)", {identity.shortVersionString.value_or(u""),
                                                    identity.version.value_or(u""), u""});
}

std::u16string feedbackMailBody() {
    return replacePlaceholders(u"Feedback for Numbera %@:\n\ninsert feedback here...",
                               {versionText()});
}

std::u16string bugReportMailBody() {
    return replacePlaceholders(
        u"Hello,\n\nI seem to have found a bug!\n\nShort description\ninsert short description "
        u"of bug...\n\nConditions\ndescribe in as much detail as possible what you were doing "
        u"when the bug happened (perhaps even attach a Numbera document if relevant)...\n\n"
        u"Other Information\ninsert any other information...\n\nMy Computer\nMac OS "
        u"%@\nProcessor: %@\nNumbera %@",
        {operatingSystemVersion(), processorType(), versionText()});
}

std::string feedbackMailURL() {
    return mailURL(kFeedbackAddress, u"Numbera 2 Feedback", feedbackMailBody());
}

std::string bugReportMailURL() {
    return mailURL(kBugReportAddress, u"Numbera 2 Bug Report", bugReportMailBody());
}

std::string introductionMovieURL() {
    return std::string(kWebHost) + "/numbera/videos/introduction";
}

}  // namespace NBGlobalActionTexts

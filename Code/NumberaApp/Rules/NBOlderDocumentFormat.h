// The older document format: a keyed archive (a binary property list of the archiver's object
// table) whose root dictionary holds the document's styled text under "expressions". Only the
// plain text is taken. The bytes are untrusted: every object reference is checked against the
// table, and nesting is bounded, so a damaged or hostile file is an error, never a crash.
#ifndef NUMBERA_APP_RULES_NB_OLDER_DOCUMENT_FORMAT_H
#define NUMBERA_APP_RULES_NB_OLDER_DOCUMENT_FORMAT_H

#include <optional>
#include <string>

// The document's text; none, with the reason in `why` (may be null), when the bytes are no
// keyed archive or the archive holds no readable "expressions".
std::optional<std::u16string> olderDocumentText(const std::string& bytes, std::string* why);

#endif

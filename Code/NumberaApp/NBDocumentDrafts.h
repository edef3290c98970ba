// Unsaved work kept in the data folder: each edited document writes a draft (the document file
// format) into "Drafts", naming the file it belongs to, if any. A save or a decision not to
// save removes it; whatever drafts are left at the next launch (after a crash, or a quit that
// closed documents without asking) are opened again, still unsaved.
#ifndef NUMBERA_APP_NB_DOCUMENT_DRAFTS_H
#define NUMBERA_APP_NB_DOCUMENT_DRAFTS_H

#include <QString>
#include <QStringList>

namespace NBDocumentDrafts {

// Keys of the draft's own settings.
inline constexpr const char* kFilePathKey = "NBDraftFilePath";
inline constexpr const char* kDisplayNameKey = "NBDraftDisplayName";
// A pause after the first unsaved change before the draft is written.
inline constexpr int kDraftDelayMilliseconds = 1000;

QString folder(const QString& dataFolder);
// A new, unused draft path in the folder (created when missing); empty when it cannot be made.
QString newDraftPath(const QString& dataFolder);
// The drafts in the folder, oldest first.
QStringList drafts(const QString& dataFolder);

}  // namespace NBDocumentDrafts

#endif

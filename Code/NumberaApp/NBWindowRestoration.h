// The application's own window restoration: the documents open at quit, with their window
// geometry, in "WindowState.json" of the data folder; reopened at the next launch. Unsaved
// documents come back from their drafts (NBDocumentDrafts). An unreadable state file restores
// nothing.
#ifndef NUMBERA_APP_NB_WINDOW_RESTORATION_H
#define NUMBERA_APP_NB_WINDOW_RESTORATION_H

#include <QByteArray>
#include <QString>
#include <vector>

#include "NSKeyedArchive.h"

namespace NBWindowRestoration {

struct Entry {
    QString filePath;
    QByteArray geometry;  // QWidget::saveGeometry()
    // The draft of its unsaved work, when it has one; an untitled document has only that.
    QString draftPath = {};
    // One archive per line (NBLineState), in line order.
    std::vector<NSKeyedArchive> lineStates = {};
    // Stored as "answerPaletteVisible"; absent reads as hidden.
    bool answerPaletteVisible = false;
};

QString stateFilePath(const QString& dataFolder);
// Written atomically; false, with a log line, when it cannot be.
bool save(const QString& dataFolder, const std::vector<Entry>& entries);
// Entries whose files or drafts still exist, in their order.
std::vector<Entry> read(const QString& dataFolder);

}  // namespace NBWindowRestoration

#endif

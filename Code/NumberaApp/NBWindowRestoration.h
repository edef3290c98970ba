// The application's own window restoration: the documents open at quit, with their window
// geometry, in "WindowState.json" of the data folder; reopened at the next launch. Documents
// without a file are not kept. An unreadable state file restores nothing.
#ifndef NUMBERA_APP_NB_WINDOW_RESTORATION_H
#define NUMBERA_APP_NB_WINDOW_RESTORATION_H

#include <QByteArray>
#include <QString>
#include <vector>

namespace NBWindowRestoration {

struct Entry {
    QString filePath;
    QByteArray geometry;  // QWidget::saveGeometry()
};

QString stateFilePath(const QString& dataFolder);
// Written atomically; false, with a log line, when it cannot be.
bool save(const QString& dataFolder, const std::vector<Entry>& entries);
// Entries whose files still exist, in their order.
std::vector<Entry> read(const QString& dataFolder);

}  // namespace NBWindowRestoration

#endif

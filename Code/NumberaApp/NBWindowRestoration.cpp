#include "NBWindowRestoration.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include "Diagnostics.h"

namespace NBWindowRestoration {

namespace {

constexpr qint64 kMaximumStateSize = 1 << 20;

}  // namespace

QString stateFilePath(const QString& dataFolder) {
    return dataFolder + QStringLiteral("/WindowState.json");
}

bool save(const QString& dataFolder, const std::vector<Entry>& entries) {
    QJsonArray documents;
    for (const Entry& entry : entries) {
        QJsonObject document;
        document[QStringLiteral("path")] = entry.filePath;
        document[QStringLiteral("geometry")] = QString::fromLatin1(entry.geometry.toBase64());
        if (!entry.draftPath.isEmpty()) document[QStringLiteral("draft")] = entry.draftPath;
        documents.append(document);
    }
    QJsonObject root;
    root[QStringLiteral("version")] = 1;
    root[QStringLiteral("documents")] = documents;
    QSaveFile file(stateFilePath(dataFolder));
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(root).toJson()) < 0 ||
        !file.commit()) {
        Diagnostics::error("Could not save the window state: " + file.errorString().toStdString());
        return false;
    }
    return true;
}

std::vector<Entry> read(const QString& dataFolder) {
    std::vector<Entry> entries;
    QFile file(stateFilePath(dataFolder));
    if (!file.exists()) return entries;
    if (file.size() > kMaximumStateSize || !file.open(QIODevice::ReadOnly)) {
        Diagnostics::error("Could not read the window state");
        return entries;
    }
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !json.isObject()) {
        Diagnostics::error("Ignored an unreadable window state file");
        return entries;
    }
    for (const QJsonValue& value : json.object().value(QStringLiteral("documents")).toArray()) {
        const QJsonObject document = value.toObject();
        const QString path = document.value(QStringLiteral("path")).toString();
        QString draft = document.value(QStringLiteral("draft")).toString();
        if (!draft.isEmpty() && !QFileInfo(draft).isFile()) draft.clear();
        if (draft.isEmpty() && (path.isEmpty() || !QFileInfo(path).isFile())) continue;
        entries.push_back({path,
                           QByteArray::fromBase64(
                               document.value(QStringLiteral("geometry")).toString().toLatin1()),
                           draft});
    }
    return entries;
}

}  // namespace NBWindowRestoration

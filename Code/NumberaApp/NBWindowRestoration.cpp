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

constexpr qint64 kMaximumStateSize = 16 << 20;

// Values keep their kinds: {"b": true}, {"i": 3}, {"d": 0.5} or {"s": "text"}.
QJsonObject archiveToJson(const NSKeyedArchive& archive) {
    QJsonObject object;
    for (const auto& [key, value] : archive.values()) {
        QJsonObject typed;
        if (const bool* b = std::get_if<bool>(&value))
            typed["b"] = *b;
        else if (const int64_t* i = std::get_if<int64_t>(&value))
            typed["i"] = QString::number(*i);
        else if (const double* d = std::get_if<double>(&value))
            typed["d"] = *d;
        else
            typed["s"] = QString::fromStdU16String(std::get<std::u16string>(value));
        object[QString::fromStdString(key)] = typed;
    }
    return object;
}

NSKeyedArchive archiveFromJson(const QJsonObject& object) {
    NSKeyedArchive archive;
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QJsonObject typed = it.value().toObject();
        const std::string key = it.key().toStdString();
        if (typed.contains("b") && typed["b"].isBool()) {
            archive.encodeBool(typed["b"].toBool(), key);
        } else if (typed.contains("i")) {
            bool ok = false;
            const qlonglong value = typed["i"].toString().toLongLong(&ok);
            if (ok) archive.encodeInteger(value, key);
        } else if (typed.contains("d") && typed["d"].isDouble()) {
            archive.encodeDouble(typed["d"].toDouble(), key);
        } else if (typed.contains("s") && typed["s"].isString()) {
            archive.encodeObject(typed["s"].toString().toStdU16String(), key);
        }
    }
    return archive;
}

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
        QJsonArray lines;
        for (const NSKeyedArchive& state : entry.lineStates) lines.append(archiveToJson(state));
        document[QStringLiteral("lineStates")] = lines;
        document[QStringLiteral("answerPaletteVisible")] = entry.answerPaletteVisible;
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
        for (const QJsonValue& state : document.value(QStringLiteral("lineStates")).toArray())
            entries.back().lineStates.push_back(archiveFromJson(state.toObject()));
        entries.back().answerPaletteVisible =
            document.value(QStringLiteral("answerPaletteVisible")).toBool(false);
    }
    return entries;
}

}  // namespace NBWindowRestoration

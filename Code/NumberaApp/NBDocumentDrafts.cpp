#include "NBDocumentDrafts.h"

#include <QDir>
#include <QFileInfo>
#include <QUuid>

namespace NBDocumentDrafts {

QString folder(const QString& dataFolder) { return dataFolder + QStringLiteral("/Drafts"); }

QString newDraftPath(const QString& dataFolder) {
    if (dataFolder.isEmpty() || !QDir().mkpath(folder(dataFolder))) return {};
    return folder(dataFolder) + QStringLiteral("/draft-") +
           QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".numbera");
}

QStringList drafts(const QString& dataFolder) {
    if (dataFolder.isEmpty()) return {};
    QStringList paths;
    const QFileInfoList files = QDir(folder(dataFolder))
                                    .entryInfoList({QStringLiteral("draft-*.numbera")}, QDir::Files,
                                                   QDir::Time | QDir::Reversed);
    for (const QFileInfo& file : files) paths << file.absoluteFilePath();
    return paths;
}

}  // namespace NBDocumentDrafts

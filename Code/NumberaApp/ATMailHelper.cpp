#include "ATMailHelper.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "Diagnostics.h"
#include "NBAppResources.h"
#include "NSLocalizedString.h"

namespace {

QString localized(const char16_t* key) { return NBAppResources::toQString(NSLocalizedString(key)); }

}  // namespace

QString ATMailHelper::attachmentsFolder() {
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty() || QDir::isRelativePath(cache)) cache = QDir::homePath() + "/.cache";
    return cache + QStringLiteral("/Numbera/Mail");
}

void ATMailHelper::pruneAttachments() {
    QDir folder(attachmentsFolder());
    if (!folder.exists()) return;
    if (!folder.removeRecursively())
        Diagnostics::error("Could not remove the old mail attachments in " +
                           folder.path().toStdString());
}

QString ATMailHelper::fileNameForTitle(const QString& title) {
    QString name;
    for (QChar c : title)
        name += (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control) ? u'_' : c;
    while (name.startsWith(u'.') || name.startsWith(u' ')) name.remove(0, 1);
    name = name.trimmed().left(120);
    if (name.isEmpty()) name = localized(u"Untitled");
    return name + QStringLiteral(".html");
}

bool ATMailHelper::mailWebArchive(const QByteArray& page, const QString& title, QString* error,
                                  std::function<void(const QString&)> laterFailure) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (program.isEmpty()) {
        if (error)
            *error = localized(u"No mail program was found (the command “xdg-email” is missing).");
        return false;
    }
    // A folder of its own for every mail: two mails with one title never share a file.
    if (!QDir().mkpath(attachmentsFolder())) {
        if (error) *error = localized(u"The mail could not be prepared.");
        return false;
    }
    QTemporaryDir folder(attachmentsFolder() + QStringLiteral("/mail-XXXXXX"));
    folder.setAutoRemove(false);
    const QString path = folder.isValid() ? folder.filePath(fileNameForTitle(title)) : QString();
    QSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(page) != page.size() ||
        !file.commit()) {
        if (error)
            *error = localized(u"The mail could not be prepared.") + ' ' + file.errorString();
        return false;
    }
    const QStringList arguments = {QStringLiteral("--subject"), title, QStringLiteral("--attach"),
                                   path};
    // The process belongs to nobody: a window that closes must not end the mail program.
    auto* process = new QProcess;
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(process, &QProcess::finished, process,
                     [process, laterFailure](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (exitCode == 0 && status == QProcess::NormalExit) return;
                         Diagnostics::errorf("xdg-email failed with exit code %d", exitCode);
                         if (laterFailure)
                             laterFailure(localized(u"The mail program reported an error."));
                     });
    process->start(program, arguments);
    if (!process->waitForStarted()) {
        if (error) *error = localized(u"The mail program could not be started.");
        process->deleteLater();
        return false;
    }
    return true;
}

// Puts a document into a new mail: the page is written to the cache folder and handed to the
// desktop's mail program with `xdg-email`, the page attached and the title as the subject.
// The attachments stay until the next launch, when the mail program has long read them.
#ifndef NUMBERA_APP_AT_MAIL_HELPER_H
#define NUMBERA_APP_AT_MAIL_HELPER_H

#include <QByteArray>
#include <QString>
#include <functional>

class ATMailHelper {
  public:
    // The page (HTML, UTF-8) as an attachment named after the title. The title is untrusted:
    // it reaches the mail program as one argument and the file name only with its unsafe
    // characters replaced. False with a message for the user when the page could not be
    // written or no mail program could be started; a mail program that starts and then
    // fails reports later, through `laterFailure` (on the GUI thread), when one is given.
    static bool mailWebArchive(const QByteArray& page, const QString& title, QString* error,
                               std::function<void(const QString&)> laterFailure = {});
    // "$XDG_CACHE_HOME/Numbera/Mail" (default "~/.cache").
    static QString attachmentsFolder();
    // Removes the attachments of earlier launches.
    static void pruneAttachments();
    // A file name made of the title: no slashes, control characters or leading dots.
    static QString fileNameForTitle(const QString& title);
};

#endif

// One running application per data folder. The first instance listens on a local socket named
// after its data folder; a later one hands it its command line (URLs and files) and exits
// without touching the data. A message is one line per item, "url <text>" or "open <path>",
// or the single line "activate".
#ifndef NUMBERA_APP_NB_INSTANCE_CHANNEL_H
#define NUMBERA_APP_NB_INSTANCE_CHANNEL_H

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

class NBInstanceChannel : public QObject {
    Q_OBJECT

  public:
    // The socket's name for a data folder: one per user and folder.
    static QString serverNameForDataFolder(const QString& dataFolder);

    explicit NBInstanceChannel(QString serverName, QObject* parent = nullptr);
    ~NBInstanceChannel() override;

    // True when a running instance took the arguments; the caller then quits.
    bool forwardToRunningInstance(const QStringList& arguments, int timeoutMs = 2000);
    // Starts listening; a socket left behind by a crashed instance is removed first. False
    // (with a log line) when another instance answers or the socket cannot be made.
    bool listen();
    bool isListening() const;
    // Whether an instance accepts connections under the name (it may still not read them).
    bool anotherInstanceAnswers(int timeoutMs = 500) const;
    const QString& serverName() const { return m_serverName; }

    // What a second instance's arguments hand over.
    static QStringList messageLinesForArguments(const QStringList& arguments);

  signals:
    void urlReceived(const QString& url);
    void fileReceived(const QString& path);
    void activationRequested();

  private:
    void handleLine(const QString& line);

    QString m_serverName;
    QLocalServer* m_server = nullptr;
};

#endif

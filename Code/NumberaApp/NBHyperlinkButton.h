// A borderless button drawn as a blue, underlined link that opens its address in the default
// browser. Only http and https addresses are opened; anything else is refused with a log line.
#ifndef NUMBERA_APP_NB_HYPERLINK_BUTTON_H
#define NUMBERA_APP_NB_HYPERLINK_BUTTON_H

#include <QPushButton>
#include <QString>
#include <functional>

class QUrl;

class NBHyperlinkButton : public QPushButton {
    Q_OBJECT

  public:
    explicit NBHyperlinkButton(QWidget* parent = nullptr);

    QString urlString() const { return m_urlString; }
    void setUrlString(const QString& address) { m_urlString = address; }
    // False, with a log line, for an address that is not http or https.
    bool openURLInBrowser();

    // Tests replace the desktop's opener; null restores it.
    using Opener = std::function<bool(const QUrl&)>;
    static void setOpener(Opener opener);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString m_urlString;
};

#endif

// Turns the document's HTML page into RTF: the rich-text renderer reads the page, and a small
// writer of our own (Qt writes no RTF) puts out its text with fonts, sizes, weights and
// colours, one paragraph for every line of the document, the columns of a line apart by tabs.
#ifndef NUMBERA_APP_NB_HTML_RTF_CONVERTER_H
#define NUMBERA_APP_NB_HTML_RTF_CONVERTER_H

#include <QByteArray>
#include <QString>

class NBHTMLRTFConverter {
  public:
    explicit NBHTMLRTFConverter(QString html) : m_html(std::move(html)) {}

    const QString& html() const { return m_html; }
    // Plain ASCII: "\", "{" and "}" escaped, every other character as "\uN?".
    QByteArray RTFData() const;

  private:
    QString m_html;
};

#endif

// Turns a document's line collection into the bytes of each export format and writes them:
// HTML, CSV and text from the kit's exporter, PDF and RTF from the HTML page, mail as the page
// with its style inlined. A fresh helper is filled by the document for every use.
#ifndef NUMBERA_APP_NB_EXPORT_HELPER_H
#define NUMBERA_APP_NB_EXPORT_HELPER_H

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "NKLineCollectionExporterHTMLStyle.h"

class NCLineCollection;
class NCResultFormattingOptions;

// The numbers of the formats, shared by the sheet, the helper and "NBDefaultExportFormat".
enum NBExportFormat : int32_t {
    NBExportFormatPDF = 0,
    NBExportFormatHTML = 1,
    NBExportFormatCSV = 2,
    NBExportFormatText = 3,
    NBExportFormatRTF = 4,
    NBExportFormatMail = 5,
    NBExportFormatInlinedHTML = 6,
};

class NBExportHelper {
  public:
    NBExportHelper();

    // Never null; the style's switches decide what the HTML page shows.
    const std::shared_ptr<NKLineCollectionExporterHTMLStyle>& htmlStyle() const {
        return m_htmlStyle;
    }
    void setHtmlStyle(std::shared_ptr<NKLineCollectionExporterHTMLStyle> style);
    // Whose decimal and thousands signs the exporter applies; may be null.
    const std::shared_ptr<NCResultFormattingOptions>& resultFormattingOptions() const {
        return m_resultFormattingOptions;
    }
    void setResultFormattingOptions(std::shared_ptr<NCResultFormattingOptions> options) {
        m_resultFormattingOptions = std::move(options);
    }
    // Written into the page and proposed as the file's name.
    const QString& documentTitle() const { return m_documentTitle; }
    void setDocumentTitle(QString title) { m_documentTitle = std::move(title); }
    int32_t statistic() const { return m_statistic; }
    void setStatistic(int32_t statistic) { m_statistic = statistic; }

    // The rendering of formats 1, 2, 3 and 6; none for the others (PDF and RTF are made from
    // format 1 by their writers) and without a line collection.
    std::optional<std::u16string> exportData(const std::shared_ptr<NCLineCollection>& lines,
                                             int32_t format) const;
    // Writes the file atomically: HTML as UTF-16 with a byte-order mark (the page declaring
    // UTF-16), CSV and text as UTF-8, PDF and RTF from the HTML page. False with a message for
    // the user when nothing was written. There is no hidden-extension attribute on Linux: the flag
    // is kept for the callers' sake and changes nothing.
    bool exportLineCollection(const std::shared_ptr<NCLineCollection>& lines, const QString& path,
                              int32_t format, bool hideExtension, QString* error) const;
    // Hands the page with its style inlined to the mail program. False with a message for the
    // user when no mail program took it; a later failure of the mail program goes to
    // `laterFailure`.
    bool exportLineCollectionToMail(const std::shared_ptr<NCLineCollection>& lines, QString* error,
                                    std::function<void(const QString&)> laterFailure = {}) const;

    // "pdf", "html", "csv", "txt", "rtf"; empty for the others.
    static QString fileExtensionForExportFormat(int32_t format);
    // The format's word in the save panel ("PDF" ... "RTF"), localised; empty for the others.
    static QString fileNameForFormat(int32_t format);
    // PDF, HTML, RTF and mail have presentation options.
    static bool formatHasOptions(int32_t format);

    // The style the pages are made with: without syntax colouring the tokens lose their
    // colours.
    NKLineCollectionExporterHTMLStyle pageStyle() const;

  private:
    std::shared_ptr<NKLineCollectionExporterHTMLStyle> m_htmlStyle;
    std::shared_ptr<NCResultFormattingOptions> m_resultFormattingOptions;
    QString m_documentTitle;
    int32_t m_statistic = 1;
};

#endif

#include "NBExportHelper.h"

#include <QByteArray>
#include <QSaveFile>

#include "ATMailHelper.h"
#include "Diagnostics.h"
#include "NBAppResources.h"
#include "NBHTMLPrinter.h"
#include "NBHTMLRTFConverter.h"
#include "NBProcessWindow.h"
#include "NKLineCollectionExporter.h"
#include "NSLocalizedString.h"

namespace {

QString localized(const char16_t* key) { return NBAppResources::toQString(NSLocalizedString(key)); }

// The whole file or nothing: the file that was there stays when writing fails.
bool writeAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

QByteArray utf16WithByteOrderMark(const std::u16string& text) {
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(2 * (text.size() + 1)));
    auto put = [&bytes](char16_t unit) {
        bytes.append(static_cast<char>(unit & 0xFF));
        bytes.append(static_cast<char>(unit >> 8));
    };
    put(0xFEFF);
    for (char16_t unit : text) put(unit);
    return bytes;
}

// The page's own declaration of its encoding, made to name UTF-16.
std::u16string declaringUTF16(std::u16string page) {
    const std::u16string declared = u"charset=utf-8";
    const size_t at = page.find(declared);
    if (at != std::u16string::npos) page.replace(at, declared.size(), u"charset=utf-16");
    return page;
}

QByteArray utf8(const std::u16string& text) { return QString::fromStdU16String(text).toUtf8(); }

}  // namespace

NBExportHelper::NBExportHelper()
    : m_htmlStyle(std::make_shared<NKLineCollectionExporterHTMLStyle>()) {}

void NBExportHelper::setHtmlStyle(std::shared_ptr<NKLineCollectionExporterHTMLStyle> style) {
    m_htmlStyle = style ? std::move(style) : std::make_shared<NKLineCollectionExporterHTMLStyle>();
}

NKLineCollectionExporterHTMLStyle NBExportHelper::pageStyle() const {
    NKLineCollectionExporterHTMLStyle style = *m_htmlStyle;
    if (style.enableSyntaxColoring()) return style;
    // As in the window with colouring off: every token in the text's colour, titles and
    // labels still bold.
    style.setNumberColor(std::nullopt);
    style.setOperatorColor(std::nullopt);
    style.setWordColor(std::nullopt);
    style.setUnitColor(std::nullopt);
    style.setVariableColor(std::nullopt);
    style.setFunctionColor(std::nullopt);
    style.setBracketColor(std::nullopt);
    style.setRightwardsTitleColor(std::nullopt);
    style.setLeftwardsTitleColor(std::nullopt);
    style.setInlineCommentColor(std::nullopt);
    style.setLeftwardsCommentColor(std::nullopt);
    style.setRightwardsCommentColor(std::nullopt);
    return style;
}

std::optional<std::u16string> NBExportHelper::exportData(
    const std::shared_ptr<NCLineCollection>& lines, int32_t format) const {
    if (!lines) return std::nullopt;
    NKLineCollectionExporter exporter(lines);
    exporter.setLocaleFormattingOptions(m_resultFormattingOptions);
    exporter.setDelimitEmptyAnswers(false);
    exporter.setDocumentTitle(NBAppResources::toU16(m_documentTitle));
    exporter.setDocumentStatistic(m_statistic);
    const NKLineCollectionExporterHTMLStyle style = pageStyle();
    switch (format) {
        case NBExportFormatHTML:
            return exporter.HTMLSourceWithStyle(style);
        case NBExportFormatInlinedHTML:
            return exporter.HTMLSourceWithInlinedStyle(style);
        case NBExportFormatCSV:
            // Spreadsheets read quotes doubled, not escaped with a backslash.
            return exporter.CSVText(nullptr, false);
        case NBExportFormatText:
            return exporter.columnatedTextWithSeparator(u" = ", u"", false);
        case NBExportFormatPDF:
            Diagnostics::error("Sorry we don't currenctly support the export source for PDF");
            return std::nullopt;
        case NBExportFormatRTF:
            Diagnostics::error("Sorry we don't currenctly support the export source for RTF");
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

bool NBExportHelper::exportLineCollection(const std::shared_ptr<NCLineCollection>& lines,
                                          const QString& path, int32_t format,
                                          bool /*hideExtension*/, QString* error) const {
    QString reason;
    bool written = false;
    switch (format) {
        case NBExportFormatPDF: {
            const std::optional<std::u16string> page = exportData(lines, NBExportFormatHTML);
            if (!page) break;
            NBHTMLPrinter printer;
            printer.setHtml(NBAppResources::toQString(*page));
            written = printer.writePDFRepresentationToFile(path, false, &reason);
            if (!written) Diagnostics::error("Warning: PDF file could not be saved");
            break;
        }
        case NBExportFormatHTML: {
            const std::optional<std::u16string> page = exportData(lines, NBExportFormatHTML);
            if (!page) break;
            // The file is UTF-16: its page says so, or a browser would read it as UTF-8.
            written = writeAtomically(path, utf16WithByteOrderMark(declaringUTF16(*page)), &reason);
            if (!written) Diagnostics::error("Warning: HTML file could not be saved");
            break;
        }
        case NBExportFormatRTF: {
            const std::optional<std::u16string> page = exportData(lines, NBExportFormatHTML);
            if (!page) break;
            const NBHTMLRTFConverter converter(NBAppResources::toQString(*page));
            NBRunKeepingInterfaceResponsive(
                [&] { written = writeAtomically(path, converter.RTFData(), &reason); });
            if (!written) Diagnostics::error("Warning: RTF file could not be saved");
            break;
        }
        case NBExportFormatCSV:
        case NBExportFormatText: {
            const std::optional<std::u16string> text = exportData(lines, format);
            if (!text) break;
            written = writeAtomically(path, utf8(*text), &reason);
            if (!written)
                Diagnostics::error(
                    "Warning: " + fileExtensionForExportFormat(format).toStdString() +
                    " file could not be saved");
            break;
        }
        default:
            reason = localized(u"This format cannot be saved to a file.");
            break;
    }
    if (!written && error)
        *error = reason.isEmpty() ? localized(u"The document has no lines.") : reason;
    return written;
}

bool NBExportHelper::exportLineCollectionToMail(
    const std::shared_ptr<NCLineCollection>& lines, QString* error,
    std::function<void(const QString&)> laterFailure) const {
    const std::optional<std::u16string> page = exportData(lines, NBExportFormatInlinedHTML);
    if (!page) {
        if (error) *error = localized(u"The document has no lines.");
        return false;
    }
    return ATMailHelper::mailWebArchive(utf8(*page), m_documentTitle, error,
                                        std::move(laterFailure));
}

QString NBExportHelper::fileExtensionForExportFormat(int32_t format) {
    switch (format) {
        case NBExportFormatPDF:
            return QStringLiteral("pdf");
        case NBExportFormatHTML:
            return QStringLiteral("html");
        case NBExportFormatCSV:
            return QStringLiteral("csv");
        case NBExportFormatText:
            return QStringLiteral("txt");
        case NBExportFormatRTF:
            return QStringLiteral("rtf");
        default:
            return {};
    }
}

QString NBExportHelper::fileNameForFormat(int32_t format) {
    switch (format) {
        case NBExportFormatPDF:
            return localized(u"PDF");
        case NBExportFormatHTML:
            return localized(u"HTML");
        case NBExportFormatCSV:
            return localized(u"CSV");
        case NBExportFormatText:
            return localized(u"Text");
        case NBExportFormatRTF:
            return localized(u"RTF");
        default:
            return {};
    }
}

bool NBExportHelper::formatHasOptions(int32_t format) {
    return format >= 0 && format <= 5 && ((0b110011 >> format) & 1) != 0;
}

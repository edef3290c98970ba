#include "NBHTMLPrinter.h"

#include <QLocale>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <algorithm>
#include <vector>

#include "Diagnostics.h"
#include "NBAppResources.h"
#include "NBProcessWindow.h"
#include "NSLocalizedString.h"

namespace {

QString localized(const char16_t* key) { return NBAppResources::toQString(NSLocalizedString(key)); }

QPageSize defaultPageSize() {
    return QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                : QPageSize::A4);
}

QPageSize pageSizeNamed(const QString& name) {
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
        const auto size = static_cast<QPageSize::PageSizeId>(id);
        if (QPageSize::key(size) == name) return QPageSize(size);
    }
    return defaultPageSize();
}

// The width in pixels a selector's rule gives in the page's style sheet; 0 when none.
int sheetWidth(const QString& html, const QString& selector) {
    const QRegularExpression rule(QRegularExpression::escape(selector) +
                                  QStringLiteral("\\s*\\{[^}]*?(?<![-\\w])width:\\s*(\\d+)px"));
    const QRegularExpressionMatch match = rule.match(html);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

}  // namespace

// Print info

NBPrintInfo NBPrintInfo::addingEntries(const QVariantMap& entries) const {
    QVariantMap dictionary = m_dictionary;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        dictionary.insert(it.key(), it.value());
    return NBPrintInfo(std::move(dictionary));
}

QPageLayout NBPrintInfo::pageLayout() const {
    const QString paper = m_dictionary.value(kPaperName).toString();
    const QPageSize size = paper.isEmpty() ? defaultPageSize() : pageSizeNamed(paper);
    const auto orientation = m_dictionary.value(kOrientation).toInt() == 1 ? QPageLayout::Landscape
                                                                           : QPageLayout::Portrait;
    return QPageLayout(size, orientation, QMarginsF(kMargin, kMargin, kMargin, kMargin),
                       QPageLayout::Point);
}

void NBPrintInfo::applyTo(QPrinter& printer) const {
    if (m_dictionary.value(kJobDisposition).toString() == QLatin1String(kSaveJob)) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_dictionary.value(kSavePath).toString());
    } else if (m_dictionary.contains(kPrinterName)) {
        printer.setPrinterName(m_dictionary.value(kPrinterName).toString());
    }
    if (m_dictionary.contains(kCopies))
        printer.setCopyCount(std::max(1, m_dictionary.value(kCopies).toInt()));
    printer.setFullPage(false);
    printer.setPageLayout(pageLayout());
}

NBPrintInfo NBPrintInfo::fromPrinter(const QPrinter& printer) {
    QVariantMap dictionary;
    if (printer.outputFormat() == QPrinter::NativeFormat)
        dictionary.insert(kPrinterName, printer.printerName());
    dictionary.insert(kCopies, printer.copyCount());
    const QPageLayout layout = printer.pageLayout();
    dictionary.insert(kPaperName, QPageSize::key(layout.pageSize().id()));
    dictionary.insert(kOrientation, layout.orientation() == QPageLayout::Landscape ? 1 : 0);
    return NBPrintInfo(std::move(dictionary));
}

// Print operation

NBPrintOperation::NBPrintOperation(const QString& html, const NBPrintInfo& info)
    : m_html(html), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    info.applyTo(*m_printer);
}

NBPrintOperation::~NBPrintOperation() = default;

bool NBPrintOperation::run(QString* error) {
    // A print panel may have changed the margins: the page keeps its own.
    m_printer->setPageMargins(QMarginsF(NBPrintInfo::kMargin, NBPrintInfo::kMargin,
                                        NBPrintInfo::kMargin, NBPrintInfo::kMargin),
                              QPageLayout::Point);
    // A file is written as the PDF of a save job is: atomically, and a failure is known.
    if (m_printer->outputFormat() == QPrinter::PdfFormat &&
        !m_printer->outputFileName().isEmpty()) {
        bool written = false;
        QString reason;
        const QString html = m_html, path = m_printer->outputFileName();
        const QPageLayout layout = m_printer->pageLayout();
        NBRunKeepingInterfaceResponsive(
            [&] { written = NBHTMLPrinter::writePDF(html, path, layout, &reason); });
        if (error) *error = reason;
        if (!written) Diagnostics::error("The print operation could not write its PDF file");
        return written;
    }
    bool printed = false;
    QPrinter* printer = m_printer.get();
    const QString html = m_html;
    NBRunKeepingInterfaceResponsive([&] { printed = NBHTMLPrinter::printHTML(html, *printer); });
    if (printed && m_printer->printerState() != QPrinter::Error) return true;
    if (error) *error = localized(u"The document could not be printed.");
    Diagnostics::error("The print operation failed");
    return false;
}

// Printer

NBHTMLPrinter::NBHTMLPrinter(QObject* parent) : QObject(parent) {}

QString NBHTMLPrinter::printableHTML(const QString& html) {
    QString page = html;
    // It reads "inherit" as a font's name: without the declarations the values are inherited.
    static const QRegularExpression inherited(QStringLiteral("[-\\w]+:\\s*inherit\\s*;?"));
    page.replace(inherited, QString());
    page.replace(
        QStringLiteral("<table class=\"document_table\""),
        QStringLiteral("<table class=\"document_table\" width=\"100%\" cellspacing=\"0\""));
    // Table cells centre their text vertically in a browser; here they would sit at the top.
    page.replace(QStringLiteral("<td "), QStringLiteral("<td valign=\"middle\" "));
    // The answers' column takes the width of its widest answer (laidOutPage): a fixed width
    // would break numbers apart.
    const QString name = QStringLiteral("line_number");
    if (const int width = sheetWidth(html, QStringLiteral("td.") + name))
        page.replace(
            QStringLiteral("<td valign=\"middle\" class=\"%1\"").arg(name),
            QStringLiteral("<td valign=\"middle\" class=\"%1\" width=\"%2\"").arg(name).arg(width));
    return page;
}

namespace {

// The tables of the frame and the frames within it, outermost first.
void collectTables(QTextFrame* frame, std::vector<QTextTable*>& tables) {
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child)) tables.push_back(table);
        collectTables(child, tables);
    }
}

}  // namespace

void NBHTMLPrinter::keepAnswersWhole(QTextDocument& page) {
    std::vector<QTextTable*> tables;
    collectTables(page.rootFrame(), tables);
    for (QTextTable* table : tables) {
        const int last = table->columns() - 1;
        if (last < 1) continue;
        // The answers (and the statistic's value) are the last column: no line of one breaks,
        // so the column is as wide as its widest answer, as a browser lays a nowrap cell out.
        for (int row = 0; row < table->rows(); ++row) {
            const QTextTableCell cell = table->cellAt(row, last);
            if (!cell.isValid() || cell.column() != last) continue;
            for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
                const QTextBlock block = it.currentBlock();
                if (!block.isValid()) continue;
                QTextCursor cursor(block);
                QTextBlockFormat format = block.blockFormat();
                format.setNonBreakableLines(true);
                cursor.setBlockFormat(format);
            }
        }
        QTextTableFormat format = table->format();
        QList<QTextLength> widths = format.columnWidthConstraints();
        if (widths.size() == table->columns()) {
            widths[last] = QTextLength();
            format.setColumnWidthConstraints(widths);
            table->setFormat(format);
        }
    }
}

void NBHTMLPrinter::laidOutPage(const QString& html, QTextDocument& page) {
    page.setDocumentMargin(0);
    page.setHtml(printableHTML(html));
    keepAnswersWhole(page);
}

bool NBHTMLPrinter::printHTML(const QString& html, QPagedPaintDevice& device) {
    QTextDocument page;
    laidOutPage(html, page);
    // One pixel of the page is one point of paper, unless the page is too wide for it.
    const QRectF paper = device.pageLayout().paintRect(QPageLayout::Point);
    if (paper.width() <= 0 || paper.height() <= 0) return false;
    page.setTextWidth(paper.width());
    const qreal width = std::max<qreal>(paper.width(), page.idealWidth());
    page.setPageSize(QSizeF(width, width * paper.height() / paper.width()));
    page.print(&device);
    return true;
}

bool NBHTMLPrinter::writePDF(const QString& html, const QString& path, const QPageLayout& layout,
                             QString* error) {
    QSaveFile file(path);
    bool written = false;
    if (file.open(QIODevice::WriteOnly)) {
        {
            QPdfWriter writer(&file);
            writer.setCreator(QStringLiteral("Numbera"));
            writer.setPageLayout(layout);
            written = printHTML(html, writer);
        }
        written = written && file.commit();
    }
    if (!written && error) *error = file.errorString();
    return written;
}

bool NBHTMLPrinter::writePDFRepresentationToFile(const QString& path, bool, QString* error) {
    m_state = WritingPDF;
    // Laying out and writing a long page takes a while: the processing window stands for the
    // print system's progress panel meanwhile, and the windows go on painting.
    NBProcessWindow& process = NBProcessWindow::sharedInstance();
    process.setProcessTitle(localized(u"Preparing Document..."));
    process.showWindowAndLetItPaint();
    const QString html = m_html;
    const QPageLayout layout = m_printInfo.pageLayout();
    bool written = false;
    QString reason;
    NBRunKeepingInterfaceResponsive([&] { written = writePDF(html, path, layout, &reason); });
    process.closeWindow();
    if (error) *error = reason;
    m_state = Idle;
    return written;
}

void NBHTMLPrinter::preparePrintOperation(const NBPrintInfo& info) {
    m_state = PreparingPrintOperation;
    m_printInfo = info;
    QMetaObject::invokeMethod(this, &NBHTMLPrinter::pageDidLoad, Qt::QueuedConnection);
}

void NBHTMLPrinter::pageDidLoad() {
    if (m_state != PreparingPrintOperation) return;
    auto operation = std::make_unique<NBPrintOperation>(m_html, m_printInfo);
    m_printInfo = NBPrintInfo();
    m_state = Idle;
    if (m_delegate) m_delegate->HTMLPrinter(*this, std::move(operation));
}

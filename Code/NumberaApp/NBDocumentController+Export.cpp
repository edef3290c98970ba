// The document's way out: the export sheet, saving as PDF, mail and printing.
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>

#include "NBAppResources.h"
#include "NBColorController.h"
#include "NBDocumentController.h"
#include "NBExportHelper.h"
#include "NBExportWindowController.h"
#include "NBHTMLPrinter.h"
#include "NBProcessWindow.h"
#include "NBTextView.h"
#include "NBUserDefaultsController.h"
#include "NBUserDefaultsKeys.h"
#include "NBViewController.h"
#include "NSLocalizedString.h"

namespace {

QString localized(const char16_t* key) { return NBAppResources::toQString(NSLocalizedString(key)); }

// Whether the print panel shows is kept for the printer's callback; one print is prepared at a
// time, whichever document asked.
bool s_showsPrintPanel = true;

struct DocumentPrintDelegate : NBHTMLPrinterDelegate {
    explicit DocumentPrintDelegate(NBDocumentController& document) : m_document(document) {}
    void HTMLPrinter(NBHTMLPrinter& printer, std::unique_ptr<NBPrintOperation> operation) override {
        m_document.HTMLPrinter(printer, std::move(operation));
    }
    NBDocumentController& m_document;
};

}  // namespace

QString NBDocumentController::exportTitle() const {
    if (m_fileURL.isEmpty()) return localized(u"Untitled");
    QString name = QFileInfo(m_fileURL).fileName();
    name.remove(QStringLiteral(".numbera"));
    return name;
}

std::shared_ptr<NBExportHelper> NBDocumentController::exportHelper() const {
    auto helper = std::make_shared<NBExportHelper>();
    std::shared_ptr<NKLineCollectionExporterHTMLStyle> style = NBColorController::htmlStyle();
    if (m_textView) {
        const QFont font = m_textView->document()->defaultFont();
        style->setFontName(NBAppResources::toU16(font.family()));
        style->setFontSize(static_cast<uint64_t>(std::max(1.0, font.pointSizeF())));
    }
    style->setAnswerWidth(100);
    style->setShowsDocumentTitle(NBUserDefaultsController::boolForKey(NBExportShowsTitle));
    style->setShowsDocumentDate(NBUserDefaultsController::boolForKey(NBExportShowsDate));
    // The page shows the line numbers and the statistic as the window does; before the
    // window exists, as the user defaults say.
    style->setShowsLineNumbers(m_viewController ? m_viewController->numberLineVisibile()
                                                : NBUserDefaultsController::lineNumbersVisible());
    style->setShowsDocumentStatistic(m_viewController
                                         ? m_viewController->statisticsBarVisibile()
                                         : NBUserDefaultsController::statisticsBarVisible());
    style->setEnableSyntaxColoring(
        NBUserDefaultsController::boolForKey(NBExportWantsSyntaxColoring));
    helper->setHtmlStyle(style);
    helper->setResultFormattingOptions(NBUserDefaultsController::defaultResultFormattingOptions());
    helper->setDocumentTitle(exportTitle());
    helper->setStatistic(
        m_viewController
            ? m_viewController->currentStatistic()
            : static_cast<int32_t>(NBUserDefaultsController::integerForKey(NBChosenStatistic)));
    return helper;
}

NBExportWindowController& NBDocumentController::exportWindowController() {
    if (!m_exportWindowController) m_exportWindowController = new NBExportWindowController(this);
    return *m_exportWindowController;
}

void NBDocumentController::exportDocument() {
    NBExportWindowController& sheet = exportWindowController();
    sheet.setParentWindow(qobject_cast<QWidget*>(parent()));
    sheet.setExportHelper(exportHelper());
    sheet.setLineCollection(lineCollection());
    sheet.openSheet();
}

void NBDocumentController::saveDocumentAsPDFTo() {
    NBExportWindowController& sheet = exportWindowController();
    sheet.setParentWindow(qobject_cast<QWidget*>(parent()));
    sheet.setExportHelper(exportHelper());
    sheet.setLineCollection(lineCollection());
    sheet.displaySaveSheetForFormat(NBExportFormatPDF);
}

void NBDocumentController::sendToMail() {
    QString error;
    QPointer<QWidget> window = qobject_cast<QWidget*>(parent());
    auto failed = [window](const QString& reason) {
        NBExportWindowController::showFailure(
            window, localized(u"The document could not be mailed."), reason);
    };
    if (!exportHelper()->exportLineCollectionToMail(lineCollection(), &error,
                                                    [window, failed](const QString& reason) {
                                                        if (window) failed(reason);
                                                    }))
        failed(error);
}

const NBPrintInfo& NBDocumentController::printInfo() const {
    static const NBPrintInfo none;
    return m_printInfo ? *m_printInfo : none;
}

void NBDocumentController::printDocumentWithSettings(const QVariantMap& settings,
                                                     bool showPrintPanel) {
    NBProcessWindow& process = NBProcessWindow::sharedInstance();
    process.setProcessTitle(localized(u"Preparing Document..."));
    // Painted before the page is made: it would stand blank while the GUI thread works.
    if (!process.isVisible()) process.showWindowAndLetItPaint();
    const NBPrintInfo info = settings.isEmpty() ? printInfo() : printInfo().addingEntries(settings);
    s_showsPrintPanel = showPrintPanel;
    if (!m_printDelegate) m_printDelegate = std::make_shared<DocumentPrintDelegate>(*this);
    auto* printer = new NBHTMLPrinter(this);
    printer->setObjectName(QStringLiteral("documentPrinter"));
    printer->setDelegate(m_printDelegate.get());
    const std::optional<std::u16string> page =
        exportHelper()->exportData(lineCollection(), NBExportFormatHTML);
    printer->setHtml(page ? NBAppResources::toQString(*page) : QString());
    printer->preparePrintOperation(info);
}

void NBDocumentController::HTMLPrinter(NBHTMLPrinter& printer,
                                       std::unique_ptr<NBPrintOperation> prepared) {
    std::shared_ptr<NBPrintOperation> operation = std::move(prepared);
    operation->setShowsPrintPanel(s_showsPrintPanel);
    NBProcessWindow::sharedInstance().closeWindow();
    QPointer<NBHTMLPrinter> context = &printer;
    if (!operation->showsPrintPanel()) {
        QString error;
        const bool printed = operation->run(&error);
        document(printed, context, error);
        return;
    }
    auto* panel = new QPrintDialog(&operation->printer(), qobject_cast<QWidget*>(parent()));
    panel->setObjectName(QStringLiteral("printPanel"));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowModality(Qt::WindowModal);
    connect(panel, &QDialog::finished, this, [this, operation, context](int result) {
        if (result != QDialog::Accepted) {
            document(false, context, QString());
            return;
        }
        // The choices of the panel are this document's from now on.
        m_printInfo = std::make_shared<NBPrintInfo>(NBPrintInfo::fromPrinter(operation->printer()));
        QString error;
        const bool printed = operation->run(&error);
        document(printed, context, error);
    });
    panel->open();
}

void NBDocumentController::document(bool didPrint, NBHTMLPrinter* printer, const QString& error) {
    if (printer) printer->deleteLater();
    if (!didPrint && !error.isEmpty())
        NBExportWindowController::showFailure(qobject_cast<QWidget*>(parent()),
                                              localized(u"The document could not be printed."),
                                              error);
}

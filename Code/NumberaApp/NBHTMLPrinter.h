// Prints the document's HTML page and writes it as PDF: the page is laid out by the rich-text
// renderer at the paper's width (wider pages are scaled down to it), paginated, with margins
// of 36 points on every side. Print settings travel as a print info, a dictionary of the
// print system's keys, so a document can keep its own and a caller can add to a copy.
#ifndef NUMBERA_APP_NB_HTML_PRINTER_H
#define NUMBERA_APP_NB_HTML_PRINTER_H

#include <QObject>
#include <QPageLayout>
#include <QString>
#include <QVariantMap>
#include <memory>

class QPagedPaintDevice;
class QPrinter;
class QTextDocument;
class NBHTMLPrinter;

class NBPrintInfo {
  public:
    static constexpr const char* kJobDisposition = "NSPrintJobDisposition";
    static constexpr const char* kSaveJob = "NSPrintSaveJob";
    static constexpr const char* kSavePath = "NSPrintSavePath";
    static constexpr const char* kPrinterName = "NSPrintPrinterName";
    static constexpr const char* kCopies = "NSPrintCopies";
    // A page-size key of `QPageSize` ("A4", "Letter"...).
    static constexpr const char* kPaperName = "NSPaperName";
    // 0 portrait, 1 landscape.
    static constexpr const char* kOrientation = "NSOrientation";
    static constexpr double kMargin = 36.0;

    NBPrintInfo() = default;
    explicit NBPrintInfo(QVariantMap dictionary) : m_dictionary(std::move(dictionary)) {}

    const QVariantMap& dictionary() const { return m_dictionary; }
    // A copy with the entries added (replacing those of the same key).
    NBPrintInfo addingEntries(const QVariantMap& entries) const;
    // The paper (the locale's A4 or Letter when none is set) and orientation, with the
    // margins on every side.
    QPageLayout pageLayout() const;
    // Page layout, copies, and the printer or, for a save job, the PDF file.
    void applyTo(QPrinter& printer) const;
    // What the user chose in a print panel, to be kept for the next print; not the job's
    // disposition.
    static NBPrintInfo fromPrinter(const QPrinter& printer);

  private:
    QVariantMap m_dictionary;
};

// A printer set up from a print info and the page to run over it.
class NBPrintOperation {
  public:
    NBPrintOperation(const QString& html, const NBPrintInfo& info);
    ~NBPrintOperation();

    QPrinter& printer() { return *m_printer; }
    bool showsPrintPanel() const { return m_showsPrintPanel; }
    void setShowsPrintPanel(bool shows) { m_showsPrintPanel = shows; }
    // Prints every page; false with a message for the user when the printer failed.
    bool run(QString* error);

  private:
    QString m_html;
    std::unique_ptr<QPrinter> m_printer;
    bool m_showsPrintPanel = true;
};

struct NBHTMLPrinterDelegate {
    virtual ~NBHTMLPrinterDelegate() = default;
    virtual void HTMLPrinter(NBHTMLPrinter& printer,
                             std::unique_ptr<NBPrintOperation> operation) = 0;
};

class NBHTMLPrinter : public QObject {
    Q_OBJECT

  public:
    enum State { Idle = 0, WritingPDF = 1, PreparingPrintOperation = 2 };

    explicit NBHTMLPrinter(QObject* parent = nullptr);

    const QString& html() const { return m_html; }
    void setHtml(QString html) { m_html = std::move(html); }
    State state() const { return m_state; }
    // Not owned; receives the prepared operation.
    void setDelegate(NBHTMLPrinterDelegate* delegate) { m_delegate = delegate; }

    // Writes the page as a PDF file, atomically, at once. False with a message for the user.
    // Linux keeps no hidden-extension attribute: the flag changes nothing.
    bool writePDFRepresentationToFile(const QString& path, bool hideExtension = false,
                                      QString* error = nullptr);
    // Prepares a print operation with the info (the default one when none is given) and hands
    // it to the delegate from the event loop, as a page load would.
    void preparePrintOperation(const NBPrintInfo& info = NBPrintInfo());

    // The page as the rich-text renderer needs it: it ignores the widths of the style sheet,
    // so the table's and the columns' widths are written into the elements.
    static QString printableHTML(const QString& html);
    // The page read into the rich-text renderer as it is printed: the answers never broken
    // inside a line, their column as wide as the widest.
    static void laidOutPage(const QString& html, QTextDocument& page);
    // Lays the page out over the device's pages; false when the device could not be painted.
    static bool printHTML(const QString& html, QPagedPaintDevice& device);
    // The page as a PDF file on paper of that layout, written atomically. False with a
    // message for the user.
    static bool writePDF(const QString& html, const QString& path, const QPageLayout& layout,
                         QString* error);

  private:
    static void keepAnswersWhole(QTextDocument& page);
    void pageDidLoad();

    QString m_html;
    State m_state = Idle;
    NBPrintInfo m_printInfo;
    NBHTMLPrinterDelegate* m_delegate = nullptr;
};

#endif

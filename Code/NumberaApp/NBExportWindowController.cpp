#include "NBExportWindowController.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include "NBAppResources.h"
#include "NBHTMLPrinter.h"
#include "NBUserDefaultsController.h"
#include "NBUserDefaultsKeys.h"
#include "NSLocalizedString.h"

namespace {

QString localized(const char16_t* key) { return NBAppResources::toQString(NSLocalizedString(key)); }

// The sheet's width without its options, and its size with them.
constexpr int kNarrowWidth = 248;
constexpr QSize kOptionsSize(560, 480);

}  // namespace

// Key forwarding window

NBKeyForwardingWindow::NBKeyForwardingWindow(QWidget* parent) : QDialog(parent) {
    // The controls would take the digits for themselves (a pop-up searches its items).
    qApp->installEventFilter(this);
}

NBKeyForwardingWindow::~NBKeyForwardingWindow() { qApp->removeEventFilter(this); }

bool NBKeyForwardingWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !m_delegate || !isVisible()) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return false;
    return m_delegate->window(*this, static_cast<QKeyEvent&>(*event));
}

// Controller

NBExportWindowController::NBExportWindowController(QObject* parent)
    : QObject(parent), m_exportHelper(std::make_shared<NBExportHelper>()) {
    m_selectedExportFormat =
        static_cast<int32_t>(NBUserDefaultsController::integerForKey(NBDefaultExportFormat));
    if (m_selectedExportFormat < 0 || m_selectedExportFormat > NBExportFormatMail)
        m_selectedExportFormat = NBExportFormatPDF;
}

NBExportWindowController::~NBExportWindowController() { endLife(); }

void NBExportWindowController::endLife() {
    if (m_window) {
        m_window->setDelegate(nullptr);
        delete m_window;
    }
    delete m_savePanel;
}

QWidget* NBExportWindowController::optionsView() const { return m_optionsView; }

QTextBrowser* NBExportWindowController::preview() const { return m_preview; }

void NBExportWindowController::setExportHelper(std::shared_ptr<NBExportHelper> helper) {
    if (!helper || helper == m_exportHelper) return;
    m_exportHelper = std::move(helper);
    const NKLineCollectionExporterHTMLStyle& style = *m_exportHelper->htmlStyle();
    m_showsTitle = style.showsDocumentTitle();
    m_showsDate = style.showsDocumentDate();
    m_showsLineNumbers = style.showsLineNumbers();
    m_showsStatistic = style.showsDocumentStatistic();
    m_wantsSyntaxColoring = style.enableSyntaxColoring();
    syncControls();
}

void NBExportWindowController::setShowsTitle(bool on) {
    if (on == m_showsTitle) return;
    m_showsTitle = on;
    flagDidChange(NBExportShowsTitle, on);
}

void NBExportWindowController::setShowsDate(bool on) {
    if (on == m_showsDate) return;
    m_showsDate = on;
    flagDidChange(NBExportShowsDate, on);
}

void NBExportWindowController::setShowsLineNumbers(bool on) {
    if (on == m_showsLineNumbers) return;
    m_showsLineNumbers = on;
    flagDidChange(nullptr, on);
}

void NBExportWindowController::setShowsStatistic(bool on) {
    if (on == m_showsStatistic) return;
    m_showsStatistic = on;
    flagDidChange(nullptr, on);
}

void NBExportWindowController::setWantsSyntaxColoring(bool on) {
    if (on == m_wantsSyntaxColoring) return;
    m_wantsSyntaxColoring = on;
    flagDidChange(NBExportWantsSyntaxColoring, on);
}

void NBExportWindowController::flagDidChange(const char* defaultsKey, bool value) {
    if (defaultsKey) NBUserDefaultsController::setValueForKey(defaultsKey, value);
    NKLineCollectionExporterHTMLStyle& style = *m_exportHelper->htmlStyle();
    style.setShowsDocumentTitle(m_showsTitle);
    style.setShowsDocumentDate(m_showsDate);
    style.setShowsLineNumbers(m_showsLineNumbers);
    style.setShowsDocumentStatistic(m_showsStatistic);
    style.setEnableSyntaxColoring(m_wantsSyntaxColoring);
    syncControls();
    reloadPreview();
}

void NBExportWindowController::setSelectedExportFormat(int32_t format) {
    if (format == m_selectedExportFormat) return;
    m_selectedExportFormat = format;
    syncControls();
    updateOptionsView();
}

void NBExportWindowController::loadWindow() {
    if (m_window) return;
    m_window = new NBKeyForwardingWindow(m_parentWindow);
    m_window->setObjectName(QStringLiteral("exportSheet"));
    m_window->setWindowModality(Qt::WindowModal);
    m_window->setDelegate(this);

    m_formatLabel = new QLabel(m_window);
    m_formatLabel->setObjectName(QStringLiteral("formatLabel"));
    m_formatPopUp = new QComboBox(m_window);
    m_formatPopUp->setObjectName(QStringLiteral("formatPopUp"));
    for (int32_t format = NBExportFormatPDF; format <= NBExportFormatMail; ++format) {
        const QString name = format == NBExportFormatMail
                                 ? QStringLiteral("Mail")
                                 : NBExportHelper::fileNameForFormat(format);
        m_formatPopUp->addItem(
            NBAppResources::toQString(NSLocalizedString(NBAppResources::toU16(name))), format);
    }
    auto* formatRow = new QHBoxLayout;
    formatRow->addWidget(m_formatLabel);
    formatRow->addWidget(m_formatPopUp, 1);

    m_optionsView = new QWidget(m_window);
    m_optionsView->setObjectName(QStringLiteral("optionsView"));
    auto makeBox = [this](const char* name) {
        auto* box = new QCheckBox(m_optionsView);
        box->setObjectName(QString::fromLatin1(name));
        return box;
    };
    m_titleBox = makeBox("titleCheckBox");
    m_dateBox = makeBox("dateCheckBox");
    m_lineNumbersBox = makeBox("lineNumbersCheckBox");
    m_statisticBox = makeBox("statisticCheckBox");
    m_syntaxColoringBox = makeBox("syntaxColoringCheckBox");
    m_preview = new QTextBrowser(m_optionsView);
    m_preview->setObjectName(QStringLiteral("preview"));
    // A picture of the page: no selection, no menu, no links, no focus.
    m_preview->setTextInteractionFlags(Qt::NoTextInteraction);
    m_preview->setContextMenuPolicy(Qt::NoContextMenu);
    m_preview->setOpenLinks(false);
    m_preview->setFocusPolicy(Qt::NoFocus);
    m_preview->setFrameShape(QFrame::Box);
    auto* boxes = new QGridLayout;
    boxes->addWidget(m_titleBox, 0, 0);
    boxes->addWidget(m_dateBox, 0, 1);
    boxes->addWidget(m_syntaxColoringBox, 0, 2);
    boxes->addWidget(m_lineNumbersBox, 1, 0);
    boxes->addWidget(m_statisticBox, 1, 1);
    auto* options = new QVBoxLayout(m_optionsView);
    options->setContentsMargins(0, 0, 0, 0);
    options->addLayout(boxes);
    options->addWidget(m_preview, 1);

    auto* buttons = new QDialogButtonBox(m_window);
    QPushButton* saveButton = buttons->addButton(localized(u"Save"), QDialogButtonBox::AcceptRole);
    saveButton->setObjectName(QStringLiteral("saveButton"));
    saveButton->setDefault(true);
    QPushButton* cancelButton =
        buttons->addButton(localized(u"Cancel"), QDialogButtonBox::RejectRole);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));

    auto* layout = new QVBoxLayout(m_window);
    layout->addLayout(formatRow);
    layout->addWidget(m_optionsView, 1);
    layout->addWidget(buttons);

    connect(m_formatPopUp, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) setSelectedExportFormat(m_formatPopUp->itemData(index).toInt());
    });
    connect(m_titleBox, &QCheckBox::toggled, this, &NBExportWindowController::setShowsTitle);
    connect(m_dateBox, &QCheckBox::toggled, this, &NBExportWindowController::setShowsDate);
    connect(m_lineNumbersBox, &QCheckBox::toggled, this,
            &NBExportWindowController::setShowsLineNumbers);
    connect(m_statisticBox, &QCheckBox::toggled, this,
            &NBExportWindowController::setShowsStatistic);
    connect(m_syntaxColoringBox, &QCheckBox::toggled, this,
            &NBExportWindowController::setWantsSyntaxColoring);
    connect(saveButton, &QPushButton::clicked, this, &NBExportWindowController::save);
    connect(m_window, &QDialog::rejected, this, [this] { m_window->hide(); });
    awakeFromNib();
}

void NBExportWindowController::awakeFromNib() {
    // The switches the user keeps; the helper brings the rest when it is set.
    if (!m_exportHelper->htmlStyle()) return;
    m_titleBox->setText(localized(u"Show Title"));
    m_dateBox->setText(localized(u"Show Date"));
    m_lineNumbersBox->setText(localized(u"Show Line Numbers"));
    m_statisticBox->setText(localized(u"Show Statistic"));
    m_syntaxColoringBox->setText(localized(u"Syntax Coloring"));
    m_formatLabel->setText(localized(u"Format:"));
    syncControls();
}

void NBExportWindowController::syncControls() {
    if (!m_window) return;
    const QSignalBlocker blockPopUp(m_formatPopUp);
    m_formatPopUp->setCurrentIndex(m_formatPopUp->findData(m_selectedExportFormat));
    const std::pair<QCheckBox*, bool> boxes[] = {{m_titleBox, m_showsTitle},
                                                 {m_dateBox, m_showsDate},
                                                 {m_lineNumbersBox, m_showsLineNumbers},
                                                 {m_statisticBox, m_showsStatistic},
                                                 {m_syntaxColoringBox, m_wantsSyntaxColoring}};
    for (const auto& [box, on] : boxes) {
        const QSignalBlocker block(box);
        box->setChecked(on);
    }
}

void NBExportWindowController::updateOptionsView() {
    if (!m_window) return;
    if (NBExportHelper::formatHasOptions(m_selectedExportFormat)) {
        m_optionsView->show();
        m_window->setFixedSize(kOptionsSize);
        reloadPreview();
    } else {
        m_optionsView->hide();
        m_window->setFixedSize(kNarrowWidth, m_window->layout()->minimumSize().height());
    }
}

void NBExportWindowController::reloadPreview() {
    if (!m_preview || m_optionsView->isHidden()) return;
    // The HTML page, whatever the format: it is what PDF, RTF and mail are made of.
    const std::optional<std::u16string> page =
        m_exportHelper->exportData(m_lineCollection, NBExportFormatHTML);
    // Laid out as it prints: the answers' column as wide as its widest answer.
    auto* document = new QTextDocument(m_preview);
    if (page) NBHTMLPrinter::laidOutPage(NBAppResources::toQString(*page), *document);
    // The view deletes a document of its own making; one of ours goes once replaced.
    QPointer<QTextDocument> previous = m_preview->document();
    const bool ours = previous && previous->parent() == m_preview;
    m_preview->setDocument(document);
    if (ours && previous) previous->deleteLater();
}

void NBExportWindowController::openSheet() {
    loadWindow();
    syncControls();
    updateOptionsView();
    m_window->open();
}

void NBExportWindowController::cancel() {
    if (m_window) m_window->reject();
}

void NBExportWindowController::save() {
    if (m_window) m_window->accept();
    if (m_selectedExportFormat != NBExportFormatMail) {
        displaySaveSheetForFormat(m_selectedExportFormat);
        return;
    }
    QString error;
    QPointer<QWidget> window = m_parentWindow;
    const bool mailed = m_exportHelper->exportLineCollectionToMail(
        m_lineCollection, &error, [window](const QString& reason) {
            if (window)
                showFailure(window, localized(u"The document could not be mailed."), reason);
        });
    if (!mailed)
        m_alert =
            showFailure(m_parentWindow, localized(u"The document could not be mailed."), error);
}

void NBExportWindowController::displaySaveSheetForFormat(int32_t format) {
    setSelectedExportFormat(format);
    const QString extension = NBExportHelper::fileExtensionForExportFormat(format);
    if (extension.isEmpty()) return;
    delete m_savePanel;
    auto* panel = new QFileDialog(m_parentWindow);
    m_savePanel = panel;
    panel->setObjectName(QStringLiteral("exportSavePanel"));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    // The label names the format: only our own panel has one to set.
    panel->setOption(QFileDialog::DontUseNativeDialog);
    panel->setAcceptMode(QFileDialog::AcceptSave);
    panel->setFileMode(QFileDialog::AnyFile);
    panel->setNameFilter(
        QStringLiteral("%1 (*.%2)").arg(NBExportHelper::fileNameForFormat(format), extension));
    panel->setLabelText(
        QFileDialog::FileName,
        localized(u"Save %@ As:")
            .replace(QStringLiteral("%@"), NBExportHelper::fileNameForFormat(format)));
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
    panel->setDirectory(folder);
    panel->selectFile(m_exportHelper->documentTitle() + '.' + extension);
    panel->setWindowModality(Qt::WindowModal);
    connect(panel, &QFileDialog::accepted, this, [this, panel] {
        const QStringList files = panel->selectedFiles();
        if (!files.isEmpty()) saveToPath(files.front(), false);
    });
    panel->open();
}

bool NBExportWindowController::saveToPath(const QString& givenPath, bool hideExtension) {
    const QString extension = NBExportHelper::fileExtensionForExportFormat(m_selectedExportFormat);
    QString path = givenPath;
    if (QFileInfo(path).suffix().compare(extension, Qt::CaseInsensitive) != 0)
        path += '.' + extension;
    QString error;
    if (!m_exportHelper->exportLineCollection(m_lineCollection, path, m_selectedExportFormat,
                                              hideExtension, &error)) {
        m_alert = showFailure(m_parentWindow,
                              localized(u"The document could not be exported as “%@”.")
                                  .replace(QStringLiteral("%@"), QFileInfo(path).fileName()),
                              error);
        return false;
    }
    // Remembered only once the file exists.
    NBUserDefaultsController::setValueForKey(NBDefaultExportFormat,
                                             static_cast<int64_t>(m_selectedExportFormat));
    return true;
}

QWidget* NBExportWindowController::showFailure(QWidget* window, const QString& message,
                                               const QString& reason) {
    auto* alert =
        new QMessageBox(QMessageBox::Warning, QString(), message, QMessageBox::Ok, window);
    alert->setObjectName(QStringLiteral("exportAlert"));
    alert->setInformativeText(reason);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    alert->open();
    return alert;
}

bool NBExportWindowController::window(NBKeyForwardingWindow&, QKeyEvent& event) {
    const QString text = event.text();
    if (text.size() != 1 || text < QStringLiteral("1") || text > QStringLiteral("5")) return false;
    setSelectedExportFormat(text.at(0).unicode() - u'1');
    return true;
}

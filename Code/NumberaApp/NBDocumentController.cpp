#include "NBDocumentController.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextDocument>
#include <QThread>
#include <cerrno>
#include <cstring>

#include "Diagnostics.h"
#include "NBAnswerPaletteController.h"
#include "NBAppController.h"
#include "NBAppResources.h"
#include "NBEnvironmentController.h"
#include "NBFFile.h"
#include "NBOlderDocumentFormat.h"
#include "NBTextAttributes.h"
#include "NBTextView.h"
#include "NBTextViewMetrics.h"
#include "NBUserDefaultsController.h"
#include "NCFile.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NKFunctions.h"
#include "NSUserDefaults+SimpleLocale.h"
#include "PropertyListFile.h"
#include "ResourceBundle.h"

NBDocumentController::NBDocumentController(QObject* parent) : QObject(parent) {
    if (NBAppController* app = NBAppController::appController())
        if (NBEnvironmentController* environment = app->environmentController())
            environment->completeLoading();
    m_lineCollectionController.setNotifyMode(NKNotifyModeSilent);
    m_answerColumnController = new NBAnswerColumnController(this);
    m_answerColumnController->setDelegate(this);
    m_answerColumnController->setDocumentController(this);
    m_textViewController = new NBTextViewController(this);
    m_textViewController->setDelegate(this);
    m_lineCollectionController.setDelegate(this);
    m_keyLineNumbers = NSIndexSet(0);
}

NBDocumentController::~NBDocumentController() {
    m_lineCollectionController.setDelegate(nullptr);
    m_textViewController->setDelegate(nullptr);
    m_answerColumnController->setDelegate(nullptr);
    m_answerColumnController->setDocumentController(nullptr);
}

// Reading and writing

namespace {

// Why the path cannot be opened as a document, before anything reads it: a pipe or a device
// would make the read wait, perhaps forever. Empty when it is a regular file we may read.
QString unopenableReason(const std::string& filePath, const QString& name) {
    struct stat status;
    if (::stat(filePath.c_str(), &status) != 0) {
        if (errno == EACCES)
            return QCoreApplication::translate("NBDocumentController",
                                               "The document “%1” could not be opened: "
                                               "permission denied.")
                .arg(name);
        return QCoreApplication::translate("NBDocumentController",
                                           "The document “%1” could not be found.")
            .arg(name);
    }
    if (S_ISDIR(status.st_mode))
        return QCoreApplication::translate("NBDocumentController",
                                           "The document “%1” could not be opened: it is a "
                                           "folder.")
            .arg(name);
    if (!S_ISREG(status.st_mode))
        return QCoreApplication::translate("NBDocumentController",
                                           "The document “%1” could not be opened: it is not a "
                                           "regular file.")
            .arg(name);
    if (::access(filePath.c_str(), R_OK) != 0)
        return QCoreApplication::translate("NBDocumentController",
                                           "The document “%1” could not be opened: %2.")
            .arg(name, errno == EACCES ? QStringLiteral("permission denied")
                                       : QString::fromLocal8Bit(std::strerror(errno)));
    return QString();
}

}  // namespace

bool NBDocumentController::readFromURL(const QString& path, QString* error) {
    const std::string filePath = QFile::encodeName(path).toStdString();
    if (const QString reason = unopenableReason(filePath, QFileInfo(path).fileName());
        !reason.isEmpty()) {
        if (error) *error = reason;
        return false;
    }
    NBFFileRemoveStaleTemporaryFiles(filePath.c_str());
    m_representedFile = NCFile::initWithContentsOfFileAtPath(filePath);
    m_viewStateFile = m_representedFile;
    const QString name = QFileInfo(path).fileName();
    switch (m_representedFile->fileFormat()) {
        case NCFileFormatXML: {
            std::shared_ptr<NCLineCollection> collection = m_representedFile->lineCollection();
            if (!collection) break;
            m_lineCollectionController.setLineCollection(collection);
            const auto defaults = NBUserDefaultsController::defaultResultFormattingOptions();
            for (const std::shared_ptr<NCLine>& line : collection->lines()) {
                const auto& options = line->customFormattingOptions();
                if (!options || !defaults) continue;
                options->scientificNotationBaseString = defaults->scientificNotationBaseString;
                options->scientificNotationBaseStringFontSizeScale =
                    defaults->scientificNotationBaseStringFontSizeScale;
                options->scientificNotationExponentStringFontSizeScale =
                    defaults->scientificNotationExponentStringFontSizeScale;
            }
            m_fileURL = QFileInfo(path).absoluteFilePath();
            return true;
        }
        case NCFileFormatPlainText: {
            // Not XML: perhaps a document of the older keyed-archive format.
            NSError readError;
            const std::optional<std::string> bytes =
                PropertyListFile::readContents(filePath, &readError);
            std::string why;
            const std::optional<std::u16string> text =
                bytes ? olderDocumentText(*bytes, &why) : std::nullopt;
            if (!text) {
                Diagnostics::error("Warning: Could not open old NB Document");
                if (!why.empty()) Diagnostics::error("Warning: " + why);
                if (error)
                    *error = QCoreApplication::translate(
                                 "NBDocumentController",
                                 "The document “%1” could not be opened. It is not a Numbera "
                                 "document.")
                                 .arg(name);
                m_representedFile.reset();
                return false;
            }
            auto collection = std::make_shared<NCLineCollection>();
            size_t start = 0;
            for (;;) {
                const size_t end = text->find(u'\n', start);
                collection->addLine(NCLine::lineWithExpressionString(
                    text->substr(start, end == std::u16string::npos ? end : end - start)));
                if (end == std::u16string::npos) break;
                start = end + 1;
            }
            m_lineCollectionController.setLineCollection(collection);
            m_fileURL = QFileInfo(path).absoluteFilePath();
            // Its lines are not in any file of today's format yet: the document is edited.
            m_opensEdited = true;
            return true;
        }
        case NCFileFormatInvalid:
            break;
        default:
            Diagnostics::error("Warning: Couldn't open the document " + name.toStdString() +
                               ". Not a recognised file type");
            if (error)
                *error = QCoreApplication::translate("NBDocumentController",
                                                     "The document “%1” could not be found.")
                             .arg(name);
            m_representedFile.reset();
            return false;
    }
    if (error)
        *error = QCoreApplication::translate("NBDocumentController",
                                             "The document “%1” could not be opened. Its "
                                             "contents cannot be read (error -4).")
                     .arg(name);
    m_representedFile.reset();
    return false;
}

bool NBDocumentController::revertToContentsOfURL(const QString& path, QString* error) {
    const std::shared_ptr<NCFile> previousFile = m_representedFile;
    const std::shared_ptr<NCFile> previousViewState = m_viewStateFile;
    const std::shared_ptr<NCLineCollection> previousCollection = lineCollection();
    if (!readFromURL(path, error)) {
        m_representedFile = previousFile;
        m_viewStateFile = previousViewState;
        if (lineCollection() != previousCollection)
            m_lineCollectionController.setLineCollection(previousCollection);
        return false;
    }
    if (!m_viewIsSetup) return true;
    updateControllersLineCollections();
    if (m_viewStateFile) updateViewPropertiesFromFile(m_viewStateFile.get());
    forceSynchronize();
    updateChangeCount(NBChangeCleared);
    return true;
}

bool NBDocumentController::writeToURL(const QString& path, QString* error) {
    // The collection and the view state are read as they are written: one thread only.
    if (QThread::currentThread() != thread()) {
        Diagnostics::error("Warning: a document write off the GUI thread was refused");
        if (error) *error = QStringLiteral("The document can only be saved from its window.");
        return false;
    }
    const std::shared_ptr<NCLineCollection>& collection = lineCollection();
    if (!collection) {
        if (error) *error = QStringLiteral("The document has no lines to save.");
        return false;
    }
    std::string message;
    if (collection->archiveToPath(QFile::encodeName(path).toStdString(), documentInfoDictionary(),
                                  &message))
        return true;
    Diagnostics::error("Warning: the document could not be written to " + path.toStdString() +
                       ": " + message);
    if (error) *error = QString::fromStdString(message);
    return false;
}

bool NBDocumentController::saveToURL(const QString& path, QString* error) {
    if (!writeToURL(path, error)) return false;
    m_fileURL = QFileInfo(path).absoluteFilePath();
    m_representedFile =
        NCFile::initWithContentsOfFileAtPath(QFile::encodeName(m_fileURL).toStdString());
    m_viewStateFile = m_representedFile;
    NBUserDefaultsController::setValueForKey("NBLastSavedFilePath", m_fileURL.toStdU16String());
    updateChangeCount(NBChangeCleared);
    discardDraft();
    return true;
}

bool NBDocumentController::isExampleDocument() const {
    if (m_fileURL.isEmpty()) return false;
    const std::shared_ptr<ResourceBundle> bundle = ResourceBundle::main();
    if (!bundle) return false;
    // By canonical folder, not by text: a user's file whose path merely contains the
    // resources path is the user's.
    const QString resources =
        QFileInfo(QString::fromStdString(bundle->bundlePath())).canonicalFilePath();
    const QString file = QFileInfo(m_fileURL).canonicalFilePath();
    if (resources.isEmpty() || file.isEmpty()) return false;
    return file.startsWith(resources + QLatin1Char('/'));
}

bool NBDocumentController::cameFromOlderFormat() const {
    return m_representedFile && m_representedFile->fileFormat() == NCFileFormatPlainText;
}

void NBDocumentController::forgetOlderFormat() { m_representedFile.reset(); }

bool NBDocumentController::hasBeenUserSaved() const {
    if (isExampleDocument() || m_fileURL.isEmpty()) return false;
    return true;
}

bool NBDocumentController::isDocumentEdited() const {
    if (isExampleDocument()) return false;
    const bool textEdited = m_textView && m_textView->document()->isModified();
    return m_changeDone || textEdited;
}

void NBDocumentController::updateChangeCount(NBDocumentChangeType change) {
    if (isExampleDocument()) change = NBChangeCleared;
    const bool wasEdited = isDocumentEdited();
    if (change == NBChangeCleared) {
        m_changeDone = false;
        if (m_textView) m_textView->document()->setModified(false);
    } else if (change == NBChangeDone) {
        m_changeDone = true;
    }
    if (isDocumentEdited() != wasEdited) emit documentEditedChanged(isDocumentEdited());
}

void NBDocumentController::makeDocumentDirty() {
    if (!isDocumentEdited()) updateChangeCount(NBChangeDone);
}

std::vector<std::string> NBDocumentController::documentInfoBoolKeys() {
    return {"NBNumberLineVisible", "NBStatisticsBarVisible", "NBFormattingBarVisible"};
}

std::vector<std::string> NBDocumentController::documentInfoNumberKeys() {
    return {"NBChosenStatistic"};
}

std::map<std::string, NSArchiveValue> NBDocumentController::documentInfoDictionary() const {
    std::map<std::string, NSArchiveValue> info;
    info["NBNumberLineVisible"] = NBUserDefaultsController::lineNumbersVisible();
    info["NBStatisticsBarVisible"] = NBUserDefaultsController::statisticsBarVisible();
    info["NBFormattingBarVisible"] = NBUserDefaultsController::formattingBarVisible();
    info["NBChosenStatistic"] = int64_t{0};
    // The window's own states, once it has them, in place of the defaults.
    for (const auto& [key, value] : m_viewInfo) info[key] = value;
    if (m_textView) {
        const NSRange selection = m_textView->selectedRange();
        const uint64_t length = static_cast<uint64_t>(m_textView->document()->characterCount() - 1);
        if (NSMaxRange(selection) <= length) {
            info["NBTextSelectionLocation"] = static_cast<int64_t>(selection.location);
            info["NBTextSelectionLength"] = static_cast<int64_t>(selection.length);
        }
    }
    const NKApplicationIdentity identity = NKGetApplicationIdentity();
    if (identity.shortVersionString) info["CreatorVersion"] = *identity.shortVersionString;
    if (identity.identifier) info["CreatorID"] = *identity.identifier;
    return info;
}

void NBDocumentController::updateViewPropertiesFromFile(NCFile* file) {
    if (!file) {
        Diagnostics::errorf("Warning: %s [Line %d] No File Set",
                            "-[NBDocumentController(Syncing) updateViewPropertiesFromFile:]", 384);
        return;
    }
    const std::optional<double> location = file->numberForKey("NBTextSelectionLocation");
    const std::optional<double> length = file->numberForKey("NBTextSelectionLength");
    if ((location || length) && m_textView) {
        const double start = location.value_or(0), count = length.value_or(0);
        const double textLength = m_textView->document()->characterCount() - 1;
        // A stored selection that does not lie in the text is ignored.
        if (start >= 0 && count >= 0 && start + count <= textLength)
            m_textView->setSelectedRange(
                {static_cast<uint64_t>(start), static_cast<uint64_t>(count)});
    }
    // The line numbers, statistics and formatting bars do not exist in this window yet; their
    // stored states are written back unchanged from the settings.
}

// Set-up

void NBDocumentController::windowControllerDidLoadNib(NBTextView* textView,
                                                      NBAnswerColumnView* answerColumn) {
    if (!m_lineCollectionController.lineCollection())
        m_lineCollectionController.setLineCollection(std::make_shared<NCLineCollection>());
    m_textView = textView;
    m_textViewController->setTextView(textView);
    m_answerColumnController->setAnswersColumn(answerColumn);
    answerColumn->setTextView(textView);
    // The info buttons follow the pointer over the answers from the start.
    m_answerColumnController->answerPaletteController();
    connect(textView->document(), &QTextDocument::modificationChanged, this,
            [this] { emit documentEditedChanged(isDocumentEdited()); });
    m_viewIsSetup = true;
    updateControllersLineCollections();
    if (m_viewStateFile) updateViewPropertiesFromFile(m_viewStateFile.get());
    forceSynchronize();
    // Opening is no change: the synchronisation evaluated what the file held.
    updateChangeCount(NBChangeCleared);
    m_lineCollectionController.setNotifyMode(NKNotifyModeAutomaticUpdates);
    // Unsaved work is kept as a draft a moment after it changes, and forgotten once clean.
    connect(this, &NBDocumentController::documentEditedChanged, this, [this](bool edited) {
        if (edited)
            scheduleDraft();
        else
            discardDraft();
    });
    connect(textView->document(), &QTextDocument::contentsChanged, this, [this] {
        if (isDocumentEdited()) scheduleDraft();
    });
    // A draft or an older-format document opens with work still to save.
    if (m_opensEdited) updateChangeCount(NBChangeDone);
}

void NBDocumentController::updateControllersLineCollections() {
    const std::shared_ptr<NCLineCollection>& collection = lineCollection();
    m_textViewController->setLineCollection(collection);
    m_answerColumnController->setLineCollection(collection);
    checkAllIsWell();
    emit controllersLineCollectionsUpdated();
}

void NBDocumentController::checkAllIsWell() const {
    const std::shared_ptr<NCLineCollection>& collection = lineCollection();
    if (m_textViewController->lineCollection() != collection ||
        m_textViewController->textActionGenerator().lineCollection() != collection ||
        m_answerColumnController->lineCollection() != collection)
        Diagnostics::error("Error! The document's controllers hold different line collections");
}

void NBDocumentController::lineCollectionControllerDidLoadLineCollection(
    NKLineCollectionController*, NCLineCollection* collection) {
    if (collection) {
        const int32_t style = static_cast<int32_t>(NBUserDefaultsController::notationStyle());
        for (const std::shared_ptr<NCLine>& line : collection->lines()) {
            const auto& options = line->customFormattingOptions();
            if (!options) continue;
            options->scientificNotationMode = 2;
            options->scientificNotationStyle = style;
            options->scientificNotationBaseString = u"\u00D710";
            options->scientificNotationBaseStringFontSizeScale = 0.8;
            options->scientificNotationExponentStringFontSizeScale = 0.7;
            options->scientificNotationConvertsExponentCharactersIntoSuperscript = false;
            options->fallbackToDefaultDisplayFormat = false;
        }
    }
    if (m_viewIsSetup) updateControllersLineCollections();
}

// Key lines

void NBDocumentController::setKeyLineNumber(int64_t line) {
    const bool changed = line != m_keyLineNumber;
    m_keyLineNumber = line;
    // A visible answer palette goes with the key line.
    if (changed && line >= 0 && answerPaletteIsVisible())
        m_answerColumnController->answerPaletteController().showAnswerPaletteOnLineIndex(
            static_cast<uint64_t>(line), true);
}

void NBDocumentController::setKeyLineNumbers(const NSIndexSet& lines) {
    if (lines == m_keyLineNumbers) return;
    const NSIndexSet previous = m_keyLineNumbers;
    m_keyLineNumbers = lines;
    emit keyLineNumbersChanged(previous);
}

void NBDocumentController::tvcLineNumberDidChange(NBTextViewController* controller, int64_t,
                                                  int64_t) {
    if (controller->textIsBeingEdited()) return;
    setKeyLineNumber(controller->currentLineNumber());
    setKeyLineNumbers(controller->selectedLineNumbers());
}

void NBDocumentController::tvcSelectedLinesDidChange(NBTextViewController* controller,
                                                     const NSIndexSet&, const NSIndexSet&) {
    if (!controller->textIsBeingEdited()) setKeyLineNumbers(controller->selectedLineNumbers());
}

void NBDocumentController::tvcFormattingDidChange(NBTextViewController*) {
    // The answers are drawn in the text's font: a new size or family reaches them too.
    m_answerColumnController->updateAnswerColumnFormatting();
}

// Line collection controller delegate

std::u16string NBDocumentController::expressionForLineAtIndex(uint64_t index) {
    NBTextViewMetrics* lines = metrics();
    if (!lines) return {};
    return lines->stringForLineAtIndex(index, false, true).value_or(u"");
}

NKLocale NBDocumentController::defaultLocale() { return simpleLocale(); }

NCTrigonometryMode NBDocumentController::defaultTrigonometryMode() {
    return static_cast<NCTrigonometryMode>(NBUserDefaultsController::defaultTrionometryMode());
}

int32_t NBDocumentController::defaultTextAlignment() {
    return NBTextAttributes::defaultTextViewAlignment();
}

std::shared_ptr<NCResultFormattingOptions> NBDocumentController::defaultFormattingOptions() {
    return NBUserDefaultsController::defaultResultFormattingOptions();
}

NBTextViewMetrics* NBDocumentController::metrics() const {
    return m_textView ? m_textView->metricsInfo().get() : nullptr;
}

uint64_t NBDocumentController::textLineCount() const {
    NBTextViewMetrics* lines = metrics();
    return lines ? lines->countOfLines() : 0;
}

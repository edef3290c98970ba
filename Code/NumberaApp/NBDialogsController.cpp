#include "NBDialogsController.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

#include "Diagnostics.h"
#include "NBAppResources.h"
#include "NBInterfaceLocalizer.h"
#include "NBLocalizationHelper.h"
#include "NBOnScreenPlacement.h"
#include "NBUserDefaultsController.h"
#include "NBWindowShortcuts.h"
#include "NSLocalizedString.h"

namespace {

NBDialogsController* s_shared = nullptr;

constexpr const char* kSelectedSectionKey = "NBReferenceWindowSelectedSection";

// Section names are plain identifiers; anything else read back from the settings is ignored.
bool isPlainSectionID(const QString& id) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_.:-]{1,128}$"));
    return plain.match(id).hasMatch();
}

void bringToFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

// Every anchor of the document with the vertical position of its block.
std::vector<std::pair<QString, qreal>> anchorsOf(QTextDocument* document) {
    std::vector<std::pair<QString, qreal>> anchors;
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const qreal y = layout->blockBoundingRect(block).top();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isAnchor()) continue;
            for (const QString& name : format.anchorNames()) anchors.emplace_back(name, y);
        }
    }
    return anchors;
}

}  // namespace

NBDialogsController::NBDialogsController(std::optional<std::string> localization, Actions actions,
                                         QObject* parent)
    : QObject(parent), m_localization(std::move(localization)), m_actions(std::move(actions)) {
    s_shared = this;
    buildReferenceWindow();
    if (m_localization) {
        if (auto width = referenceWindowWidthForLanguage(*m_localization))
            m_referenceWindow->setFixedWidth(*width);
    }
}

NBDialogsController::~NBDialogsController() {
    if (s_shared == this) s_shared = nullptr;
    delete m_welcomeWindow;
    delete m_referenceWindow;
    delete m_disclaimerWindow;
}

NBDialogsController* NBDialogsController::sharedInstance() { return s_shared; }

void NBDialogsController::setWindowPreparer(std::function<void(QWidget*)> preparer) {
    m_windowPreparer = std::move(preparer);
    for (QWidget* window :
         {m_welcomeWindow.data(), m_referenceWindow.data(), m_disclaimerWindow.data()})
        prepare(window);
}

void NBDialogsController::prepare(QWidget* window) {
    if (window && m_windowPreparer) m_windowPreparer(window);
}

std::optional<int> NBDialogsController::referenceWindowWidthForLanguage(
    const std::string& language) {
    if (language == "ja") return 558;
    if (language == "de") return 500;
    if (language == "ru") return 560;
    return std::nullopt;
}

// Welcome window

void NBDialogsController::buildWelcomeWindow() {
    auto* window = new QWidget(nullptr, Qt::Window);
    window->setObjectName(QStringLiteral("welcomeWindow"));
    window->setWindowTitle(QStringLiteral("Welcome to Numbera"));
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(28, 24, 28, 20);
    layout->setSpacing(14);

    auto* header = new QHBoxLayout;
    auto* icon = new QLabel(window);
    const QIcon appIcon = QApplication::windowIcon();
    if (!appIcon.isNull()) icon->setPixmap(appIcon.pixmap(64, 64));
    header->addWidget(icon, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    auto* title = new QLabel(QStringLiteral("Welcome to Numbera"), window);
    title->setObjectName(QStringLiteral("welcomeTitle"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);
    texts->addWidget(title);
    auto* body = new QLabel(
        QStringLiteral("Write a calculation on each line and its answer appears beside it. "
                       "Lines can use units, currencies, percentages, variables and the "
                       "answers of other lines."),
        window);
    body->setWordWrap(true);
    body->setTextFormat(Qt::PlainText);
    texts->addWidget(body);
    auto* hint =
        new QLabel(QStringLiteral("The example document shows what a line can hold; the Quick "
                                  "Reference in the Help menu lists everything."),
                   window);
    hint->setWordWrap(true);
    hint->setTextFormat(Qt::PlainText);
    texts->addWidget(hint);
    header->addLayout(texts, 1);
    layout->addLayout(header);

    auto* buttons = new QHBoxLayout;
    auto* disclaimer = new QPushButton(QStringLiteral("Disclaimer"), window);
    disclaimer->setObjectName(QStringLiteral("disclaimerButton"));
    auto* video = new QPushButton(QStringLiteral("Watch Introduction Video"), window);
    video->setObjectName(QStringLiteral("introductionButton"));
    auto* example = new QPushButton(QStringLiteral("Open Example"), window);
    example->setObjectName(QStringLiteral("openExampleButton"));
    auto* proceed = new QPushButton(QStringLiteral("Continue"), window);
    proceed->setObjectName(QStringLiteral("continueButton"));
    proceed->setDefault(true);
    proceed->setAutoDefault(true);
    buttons->addWidget(disclaimer);
    buttons->addWidget(video);
    buttons->addStretch(1);
    buttons->addWidget(example);
    buttons->addWidget(proceed);
    layout->addLayout(buttons);

    connect(disclaimer, &QPushButton::clicked, this, &NBDialogsController::showDisclaimerWindow);
    connect(video, &QPushButton::clicked, this, &NBDialogsController::goToIntroductionMovies);
    connect(example, &QPushButton::clicked, this, &NBDialogsController::openGeneralExample);
    connect(proceed, &QPushButton::clicked, this, &NBDialogsController::continueToNumbera);

    NBInterfaceLocalizer::localizeWidget(window);
    window->setFixedWidth(560);
    window->adjustSize();
    // Return goes on, as the default button of a welcome does.
    proceed->setFocus();
    // In the middle of the screen the user works on, as a welcome is.
    NBCenterWindowOnScreen(window);
    NBKeepWindowOnScreen(window);
    // Closed without a choice, it goes on as "Continue" does.
    window->installEventFilter(this);
    m_welcomeWindow = window;
    prepare(window);
}

QWidget* NBDialogsController::welcomeWindow() const { return m_welcomeWindow; }

void NBDialogsController::showWelcomeWindow() {
    if (!m_welcomeWindow) buildWelcomeWindow();
    bringToFront(m_welcomeWindow);
}

void NBDialogsController::openGeneralExample() {
    if (m_actions.openExampleDocument) m_actions.openExampleDocument();
    if (m_welcomeWindow) m_welcomeWindow->hide();
}

void NBDialogsController::goToIntroductionMovies() {
    if (m_actions.watchIntroductionMovie) m_actions.watchIntroductionMovie();
}

void NBDialogsController::continueToNumbera() {
    // The document first: hiding the last window would end the application.
    if (m_actions.continueToNumbera) m_actions.continueToNumbera();
    if (m_welcomeWindow) m_welcomeWindow->hide();
}

// Reference window

void NBDialogsController::buildReferenceWindow() {
    auto* window = new QWidget(nullptr, Qt::Tool);
    window->setObjectName(QStringLiteral("referenceWindow"));
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    m_referenceView = new QTextBrowser(window);
    m_referenceView->setObjectName(QStringLiteral("referenceView"));
    m_referenceView->setOpenExternalLinks(true);
    layout->addWidget(m_referenceView);
    window->resize(560, 640);
    NBInterfaceLocalizer::localizeWidget(window);
    window->installEventFilter(this);
    NBAddCloseShortcuts(window);
    NBKeepWindowOnScreen(window);
    m_referenceWindow = window;
    prepare(window);
}

QWidget* NBDialogsController::referenceWindow() const { return m_referenceWindow; }

void NBDialogsController::showReferenceWindow() {
    if (!m_referenceView->source().isEmpty()) {
        bringToFront(m_referenceWindow);
        return;
    }
    m_referenceWindow->setWindowTitle(
        NBAppResources::toQString(NSLocalizedString(u"Quick Reference")));
    const auto page =
        NBAppResources::pathForResource("reference_index", "html", m_localization, "Reference");
    if (!page) {
        Diagnostics::error("Warning! Could not find the quick reference page");
        return;
    }
    m_referenceView->setSource(QUrl::fromLocalFile(*page));
    if (m_referenceView->document()->isEmpty()) {
        Diagnostics::error("Warning! Could not read the quick reference page " +
                           page->toStdString());
        m_referenceView->setSource(QUrl());
        return;
    }
    referenceDidFinishLoad();
}

void NBDialogsController::referenceDidFinishLoad() {
    bringToFront(m_referenceWindow);
    // The page is laid out for the window's width before a section can be found (a size of
    // the document's own choosing would leave it wider than the window).
    m_referenceView->document()->setTextWidth(m_referenceView->viewport()->width());
    if (auto section = NBUserDefaultsController::stringForKey(kSelectedSectionKey))
        showSection(NBAppResources::toQString(*section));
}

std::optional<QString> NBDialogsController::currentSectionID() const {
    if (m_referenceView->source().isEmpty()) return std::nullopt;
    const auto anchors = anchorsOf(m_referenceView->document());
    if (anchors.empty()) return std::nullopt;
    const qreal top = m_referenceView->verticalScrollBar()->value();
    std::optional<QString> current;
    for (const auto& [name, y] : anchors) {
        // A section whose heading is just below the top edge is the one being read.
        if (y <= top + 8 || !current) current = name;
        if (y > top + 8) break;
    }
    return current;
}

bool NBDialogsController::showSection(const QString& sectionID) {
    if (!isPlainSectionID(sectionID)) return false;
    for (const auto& anchor : anchorsOf(m_referenceView->document())) {
        if (anchor.first != sectionID) continue;
        m_referenceView->scrollToAnchor(sectionID);
        return true;
    }
    return false;
}

void NBDialogsController::persistChosenReferencePane() {
    if (m_referenceView->source().isEmpty()) return;
    const auto section = currentSectionID();
    if (!section || !isPlainSectionID(*section)) return;
    NBUserDefaultsController::setValueForKey(kSelectedSectionKey, NBAppResources::toU16(*section));
}

bool NBDialogsController::referenceWindowVisible() const {
    return m_referenceWindow && m_referenceWindow->isVisible();
}

void NBDialogsController::hideReferenceWindow() {
    if (m_referenceWindow) m_referenceWindow->hide();
}

bool NBDialogsController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_referenceWindow && event->type() == QEvent::Close)
        persistChosenReferencePane();
    // The user closed the welcome window: a document takes its place, so that the application
    // never runs on with no window.
    if (watched == m_welcomeWindow && event->type() == QEvent::Close && m_actions.continueToNumbera)
        m_actions.continueToNumbera();
    return QObject::eventFilter(watched, event);
}

// Disclaimer

void NBDialogsController::buildDisclaimerWindow() {
    auto* window = new QWidget(nullptr, Qt::Window);
    window->setObjectName(QStringLiteral("disclaimerWindow"));
    window->setWindowTitle(QStringLiteral("Disclaimer"));
    auto* layout = new QVBoxLayout(window);
    m_disclaimerView = new QTextBrowser(window);
    m_disclaimerView->setObjectName(QStringLiteral("disclaimerView"));
    m_disclaimerView->setOpenExternalLinks(true);
    layout->addWidget(m_disclaimerView);
    window->resize(520, 420);
    NBInterfaceLocalizer::localizeWidget(window);
    NBAddCloseShortcuts(window);
    NBKeepWindowOnScreen(window);
    m_disclaimerWindow = window;
    prepare(window);
}

QWidget* NBDialogsController::disclaimerWindow() const { return m_disclaimerWindow; }

void NBDialogsController::showDisclaimerWindow() {
    const auto page = NBAppResources::pathForResource("Disclaimer", "html", m_localization);
    if (!page) {
        Diagnostics::error("Warning! Could not find the disclaimer");
        return;
    }
    if (!m_disclaimerWindow) buildDisclaimerWindow();
    m_disclaimerView->setSource(QUrl::fromLocalFile(*page));
    NBCenterWindowOnScreen(m_disclaimerWindow);
    bringToFront(m_disclaimerWindow);
}

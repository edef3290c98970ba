#include "NBGlobalActionController.h"

#include <pwd.h>
#include <unistd.h>

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "Diagnostics.h"
#include "NBAppResources.h"
#include "NBDialogsController.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBEnvironmentController.h"
#include "NBGlobalActionTexts.h"
#include "NBInterfaceLocalizer.h"
#include "NBNumeralsWindowController.h"
#include "NBOnScreenPlacement.h"
#include "NBTextAttributes.h"
#include "NBUserDefaultsController.h"
#include "NBWindowShortcuts.h"
#include "NSLocalizedString.h"

namespace {

NBGlobalActionController* s_shared = nullptr;

void openURL(const std::string& address) {
    // The result is not checked: the desktop reports its own failures.
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address), QUrl::StrictMode));
}

}  // namespace

NBGlobalActionController::NBGlobalActionController(NBDialogsController& dialogs,
                                                   NBDocumentManager& documents, QObject* parent)
    : QObject(parent), m_dialogs(dialogs), m_documents(documents) {
    s_shared = this;
}

NBGlobalActionController::~NBGlobalActionController() {
    if (s_shared == this) s_shared = nullptr;
    delete m_aboutPanel;
    delete m_numeralsWindowController;
}

NBGlobalActionController* NBGlobalActionController::sharedInstance() { return s_shared; }

void NBGlobalActionController::makeFontBigger() { NBTextAttributes::increaseDefaultFontSize(); }

void NBGlobalActionController::makeFontSmaller() { NBTextAttributes::decreaseDefaultFontSize(); }

void NBGlobalActionController::showWelcomeWindow() { m_dialogs.showWelcomeWindow(); }

void NBGlobalActionController::showDisclaimerWindow() { m_dialogs.showDisclaimerWindow(); }

void NBGlobalActionController::showReferenceSheet() { m_dialogs.showReferenceWindow(); }

void NBGlobalActionController::toggleReferenceSheet() {
    if (m_dialogs.referenceWindowVisible())
        m_dialogs.hideReferenceWindow();
    else
        m_dialogs.showReferenceWindow();
}

void NBGlobalActionController::sendFeedback() { openURL(NBGlobalActionTexts::feedbackMailURL()); }

void NBGlobalActionController::submitBugReport() {
    openURL(NBGlobalActionTexts::bugReportMailURL());
}

NBDocumentWindow* NBGlobalActionController::openExampleDocument() {
    const auto path = NBAppResources::pathForResource("General Examples", "numbera", std::nullopt);
    if (!path) {
        Diagnostics::error("Warning! Could not find general example document");
        return nullptr;
    }
    NBDocumentWindow* document = m_documents.openDocument(*path);
    if (!document) {
        Diagnostics::error("Couldn't open the general example document");
        return nullptr;
    }
    document->setSelectedLocation(0);
    return document;
}

void NBGlobalActionController::watchIntroductionMovie() {
    openURL(NBGlobalActionTexts::introductionMovieURL());
}

void NBGlobalActionController::goToWebsite() {
    if (auto address = NBUserDefaultsController::stringForKey("NBURLWebsite");
        address && !address->empty())
        openURL(NBAppResources::toQString(*address).toStdString());
}

QString NBGlobalActionController::userFullName() {
    if (const passwd* entry = ::getpwuid(::getuid())) {
        const QString gecos = QString::fromLocal8Bit(entry->pw_gecos ? entry->pw_gecos : "");
        const QString fullName = gecos.section(',', 0, 0).trimmed();
        if (!fullName.isEmpty()) return fullName;
        if (entry->pw_name) return QString::fromLocal8Bit(entry->pw_name);
    }
    return qEnvironmentVariable("USER");
}

QString NBGlobalActionController::creditsHTML(const QString& creditsPage, const QString& userName) {
    const QString thanks = NBAppResources::toQString(
                               NSLocalizedString(u" We'd also like to thank %@ for using Numbera."))
                               .replace(QStringLiteral("%@"), userName.toHtmlEscaped());
    const QString paragraph = QStringLiteral("<p>") + thanks + QStringLiteral("</p>");
    QString page = creditsPage;
    const qsizetype bodyEnd = page.lastIndexOf(QStringLiteral("</body>"), -1, Qt::CaseInsensitive);
    if (bodyEnd >= 0) return page.insert(bodyEnd, paragraph);
    return page + paragraph;
}

void NBGlobalActionController::showAboutPanel() {
    if (!m_aboutPanel) {
        auto* panel = new QWidget(nullptr, Qt::Window);
        panel->setObjectName(QStringLiteral("aboutPanel"));
        panel->setWindowTitle(QStringLiteral("About Numbera"));
        auto* layout = new QVBoxLayout(panel);
        auto* icon = new QLabel(panel);
        if (!QApplication::windowIcon().isNull())
            icon->setPixmap(QApplication::windowIcon().pixmap(64, 64));
        icon->setAlignment(Qt::AlignCenter);
        layout->addWidget(icon);
        auto* name = new QLabel(QStringLiteral("Numbera"), panel);
        QFont nameFont = name->font();
        nameFont.setBold(true);
        nameFont.setPointSizeF(nameFont.pointSizeF() * 1.4);
        name->setFont(nameFont);
        name->setAlignment(Qt::AlignCenter);
        layout->addWidget(name);
        auto* version =
            new QLabel(NBAppResources::toQString(NBGlobalActionTexts::versionText()), panel);
        version->setObjectName(QStringLiteral("aboutVersion"));
        version->setTextFormat(Qt::PlainText);
        version->setAlignment(Qt::AlignCenter);
        layout->addWidget(version);
        auto* credits = new QTextBrowser(panel);
        credits->setObjectName(QStringLiteral("aboutCredits"));
        credits->setOpenExternalLinks(true);
        QString page;
        if (auto path = NBAppResources::pathForResource("Credits", "html", std::nullopt)) {
            QFile file(*path);
            if (file.open(QIODevice::ReadOnly)) page = QString::fromUtf8(file.readAll());
        }
        if (page.isEmpty()) Diagnostics::error("Warning! Could not read the credits");
        credits->setHtml(creditsHTML(page, userFullName()));
        layout->addWidget(credits, 1);
        panel->resize(420, 460);
        NBInterfaceLocalizer::localizeWidget(panel);
        NBAddCloseShortcuts(panel);
        NBCenterWindowOnScreen(panel);
        NBKeepWindowOnScreen(panel);
        m_aboutPanel = panel;
    }
    m_aboutPanel->show();
    m_aboutPanel->raise();
    m_aboutPanel->activateWindow();
}

void NBGlobalActionController::setNumeralsEnvironment(
    NBEnvironmentController* environment, QUndoGroup* undoGroup,
    std::function<void(QMainWindow*)> windowPreparer) {
    m_numeralsEnvironment = environment;
    m_undoGroup = undoGroup;
    m_windowPreparer = std::move(windowPreparer);
}

NBNumeralsWindowController* NBGlobalActionController::numeralsWindowController() {
    if (!m_numeralsWindowController && m_numeralsEnvironment) {
        m_numeralsEnvironment->completeLoading();
        m_numeralsWindowController =
            new NBNumeralsWindowController(*m_numeralsEnvironment, m_undoGroup);
        if (m_windowPreparer) m_windowPreparer(m_numeralsWindowController);
        NBKeepWindowOnScreen(m_numeralsWindowController);
    }
    return m_numeralsWindowController;
}

NBNumeralsWindowController* NBGlobalActionController::loadedNumeralsWindow() const {
    return m_numeralsWindowController;
}

void NBGlobalActionController::showNumeralsWindow() {
    if (NBNumeralsWindowController* window = numeralsWindowController())
        window->showNumeralsWindow();
}

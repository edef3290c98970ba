#include "NBDocumentToolbar.h"

#include <QAction>
#include <QTextDocument>

#include "NBAppResources.h"
#include "NBDocumentController.h"
#include "NBDocumentWindow.h"
#include "NBGlobalActionController.h"
#include "NBTextView.h"
#include "NSLocalizedString.h"

namespace {

QString localized(const char16_t* key) { return NBAppResources::toQString(NSLocalizedString(key)); }

}  // namespace

NBDocumentToolbar::NBDocumentToolbar(NBDocumentWindow& window)
    : QToolBar(&window), m_window(window) {
    setObjectName(QStringLiteral("documentToolbar"));
    setWindowTitle(localized(u"Toolbar"));
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setContextMenuPolicy(Qt::PreventContextMenu);
    toggleViewAction()->setVisible(false);
    addItem(QStringLiteral("showBigAnswer:"), u"Big Answer");
    addItem(QStringLiteral("showAnswerPalette:"), u"Answer Palette");
    addItem(QStringLiteral("insertNewToken:"), u"Reference Line Above");
    addSeparator();
    addItem(QStringLiteral("showNumerals:"), u"Numbers");
    addItem(QStringLiteral("toggleReferenceWindow:"), u"Quick Reference");
    // The items follow the key line and the text while they show.
    connect(&window.document(), &NBDocumentController::keyLineNumbersChanged, this,
            [this] { validateLater(); });
    connect(window.textView()->document(), &QTextDocument::contentsChanged, this,
            [this] { validateLater(); });
    connect(this, &QToolBar::visibilityChanged, this, [this](bool shown) {
        if (shown) validateToolbarItems();
    });
}

void NBDocumentToolbar::addItem(const QString& command, const char16_t* label) {
    QAction* item = addAction(localized(label));
    item->setObjectName(command);
    item->setToolTip(localized(label));
    connect(item, &QAction::triggered, this, [this, command] {
        if (command == QLatin1String("showNumerals:")) {
            if (NBGlobalActionController* global = NBGlobalActionController::sharedInstance())
                global->showNumeralsWindow();
        } else if (command == QLatin1String("toggleReferenceWindow:")) {
            if (NBGlobalActionController* global = NBGlobalActionController::sharedInstance())
                global->toggleReferenceSheet();
        } else {
            m_window.document().performCommand(command, -1, true);
        }
        validateLater();
    });
}

QAction* NBDocumentToolbar::item(const QString& command) const {
    for (QAction* action : actions())
        if (action->objectName() == command) return action;
    return nullptr;
}

void NBDocumentToolbar::validateToolbarItems() {
    for (QAction* action : actions())
        if (!action->isSeparator())
            action->setEnabled(m_window.document().validateToolbarItem(action->objectName()));
}

void NBDocumentToolbar::validateLater() {
    if (m_validationQueued || isHidden()) return;
    m_validationQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_validationQueued = false;
            validateToolbarItems();
        },
        Qt::QueuedConnection);
}

#include "NBWindowShortcuts.h"

#include <QAction>
#include <QKeySequence>
#include <QWidget>

void NBAddCloseShortcuts(QWidget* window) {
    if (!window || window->findChild<QAction*>(QStringLiteral("closeWindowShortcut"),
                                               Qt::FindDirectChildrenOnly))
        return;
    auto* close = new QAction(window);
    close->setObjectName(QStringLiteral("closeWindowShortcut"));
    close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    close->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(close, &QAction::triggered, window, [window] { window->close(); });
    window->addAction(close);
}

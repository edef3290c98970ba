// The document window's toolbar: the big answer, the answer palette, a reference to the line
// above, the Numbers window and the quick reference. Hidden until the user shows it; its
// items are validated by the document as the key line and the text change.
#ifndef NUMBERA_APP_NB_DOCUMENT_TOOLBAR_H
#define NUMBERA_APP_NB_DOCUMENT_TOOLBAR_H

#include <QToolBar>

class NBDocumentWindow;

inline constexpr const char* NBDocumentWindowToolbarWillChangeVisibleState =
    "NBDocumentWindowToolbarWillChangeVisibleState";
inline constexpr const char* NBDocumentWindowToolbarDidChangeVisibleState =
    "NBDocumentWindowToolbarDidChangeVisibleState";

class NBDocumentToolbar : public QToolBar {
    Q_OBJECT

  public:
    explicit NBDocumentToolbar(NBDocumentWindow& window);

    // The item of a command ("showBigAnswer:"...); null when there is none.
    QAction* item(const QString& command) const;
    // Enables each item as the document says, while the toolbar shows.
    void validateToolbarItems();

  private:
    void addItem(const QString& command, const char16_t* label);
    void validateLater();

    NBDocumentWindow& m_window;
    bool m_validationQueued = false;
};

#endif

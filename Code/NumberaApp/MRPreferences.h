// A toolbar window with one pane per settings group: the toolbar, the switch between panes
// (the window resizes with its top edge in place while the new pane fades in) and the pane
// remembered for the next showing. The panes come from a delegate.
#ifndef NUMBERA_APP_MR_PREFERENCES_H
#define NUMBERA_APP_MR_PREFERENCES_H

#include <QIcon>
#include <QMainWindow>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>

class MRPreferences;
class QActionGroup;
class QGraphicsOpacityEffect;
class QToolBar;
class QVariantAnimation;

// What the preferences ask of their delegate. An identifier that is not one of the panes has
// no label, icon or view (a null view).
struct MRPreferencesDelegate {
    virtual ~MRPreferencesDelegate() = default;
    virtual QString preferencesIdentifier(MRPreferences& preferences) = 0;
    virtual QStringList preferencesPaneIdentifiers(MRPreferences& preferences) = 0;
    virtual QString preferencesLabelForPaneIdentifier(MRPreferences& preferences,
                                                      const QString& identifier) = 0;
    virtual QIcon preferencesIconForPaneIdentifier(MRPreferences& preferences,
                                                   const QString& identifier) = 0;
    // Borrowed: the delegate owns the view until it is shown, then the window does.
    virtual QWidget* preferencesViewForPaneIdentifier(MRPreferences& preferences,
                                                      const QString& identifier) = 0;
    virtual void preferencesWillDisplayPaneWithIdentifier(MRPreferences&, const QString&) {}
    virtual void preferencesDidDisplayPaneWithIdentifier(MRPreferences&, const QString&) {}
};

// The window: its resize lasts a little longer than a plain one.
class MRPreferencesTransitionWindow : public QMainWindow {
    Q_OBJECT

  public:
    explicit MRPreferencesTransitionWindow(QWidget* parent = nullptr);
    // 1.1 times the platform's resize time for the change of size, in milliseconds.
    static int animationResizeTime(QSize from, QSize to);
};

// The content view: holds the pane shown and fades the next one in while the window resizes.
class MRPreferencesTransitionView : public QWidget {
    Q_OBJECT

  public:
    explicit MRPreferencesTransitionView(QWidget* parent = nullptr);
    QWidget* paneView() const { return m_pane; }
    // Takes the new pane in at no opacity; the old one leaves (hidden, kept by its owner).
    void prepareTransitionToView(QWidget* view);
    // Progress 0 to 1 of the resize: the new pane's opacity.
    void setTransitionProgress(double progress);
    void endTransition();
    bool inTransition() const { return m_effect != nullptr; }

  private:
    QPointer<QWidget> m_pane;
    QGraphicsOpacityEffect* m_effect = nullptr;
};

class MRPreferences : public QObject {
    Q_OBJECT

  public:
    explicit MRPreferences(QObject* parent = nullptr);
    ~MRPreferences() override;

    MRPreferencesDelegate* delegate() const { return m_delegate; }
    // Not owned; cleared by the owner.
    void setDelegate(MRPreferencesDelegate* delegate) { m_delegate = delegate; }

    // Null until the window is first needed.
    MRPreferencesTransitionWindow* window() const { return m_window; }
    MRPreferencesTransitionView* transitionView() const { return m_transitionView; }
    const QString& currentPaneIdentifier() const { return m_currentPaneIdentifier; }
    QWidget* currentPaneView() const { return m_currentPaneView; }
    bool loadedNibs() const { return m_loadedNibs; }
    QToolBar* toolbar() const { return m_toolbar; }

    // Sets the window up, shows the remembered pane (else the first) when none is current,
    // and brings the window to the front.
    void showWindow();
    void show() { showWindow(); }
    // An unknown identifier, or the pane already shown, changes nothing.
    void switchToPaneWithIdentifier(const QString& identifier);
    // Ends a running resize at its final size at once.
    void finishTransition();
    // Grows (or with a negative amount shrinks) the window's height, its top edge in place;
    // the pane's own height is its owner's to change.
    void resizeWindowHeightBy(int amount) { resizeWindowBy(0, amount); }
    void resizeWindowBy(int widthChange, int heightChange);
    // The pane stored for the next showing ("currentPaneIdentifier" of "NBPreferences").
    static QString restoredPaneIdentifier();

  protected:
    // Hooks for subclasses; nothing in the base.
    virtual void registerDefaultPreferences() {}
    virtual void loadPreferences() {}
    virtual void loadNeededNibs() {}

  private:
    void setUpWindow();
    void setUpToolbar();
    QSize windowSizeForView(QWidget* view) const;
    void animateToSize(QSize size, bool centre);
    void storePaneIdentifier(const QString& identifier);

    MRPreferencesDelegate* m_delegate = nullptr;
    QPointer<MRPreferencesTransitionWindow> m_window;
    MRPreferencesTransitionView* m_transitionView = nullptr;
    QToolBar* m_toolbar = nullptr;
    QActionGroup* m_toolbarActions = nullptr;
    QVariantAnimation* m_resize = nullptr;
    QString m_currentPaneIdentifier;
    QPointer<QWidget> m_currentPaneView;
    bool m_loadedNibs = false;
};

#endif

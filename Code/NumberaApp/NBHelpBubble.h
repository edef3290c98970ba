// The speech bubble of the first-run tutorial: a frameless tool window shaped as a rounded box
// with a pointer, white bold text, moving with the window it belongs to. It keeps the stage
// of the tutorial; a click or advanceToNextStage asks its delegate to move the tutorial on.
#ifndef NUMBERA_APP_NB_HELP_BUBBLE_H
#define NUMBERA_APP_NB_HELP_BUBBLE_H

#include <QLabel>
#include <QPointer>
#include <QString>
#include <QWidget>

class NBHelpBubble;

struct NBHelpBubbleDelegate {
    virtual ~NBHelpBubbleDelegate() = default;
    virtual void helpBubbleWantsToAdvanceToNextStage(NBHelpBubble& bubble, bool bubbleClicked) = 0;
};

class NBHelpBubble : public QWidget {
    Q_OBJECT

  public:
    // Where the pointer is: on the top edge pointing up, or on the bottom edge pointing down.
    enum PointerOrientation { PointerDown = 0, PointerUp = 1 };
    static constexpr int kPointerHeight = 10;

    // Follows the mother window when it moves; hidden, stage 0, text "The Text".
    explicit NBHelpBubble(QWidget* motherWindow);
    ~NBHelpBubble() override;

    QString theTitle() const { return m_textField->text(); }
    void setTitle(const QString& title);
    // The text's size plus 20 each way, plus the pointer; the top-left corner stays.
    void resizeWindowToFit();

    void setPointerOrientation(PointerOrientation orientation);
    PointerOrientation pointerOrientation() const { return m_orientation; }
    // The pointer's tip, from the bubble's left edge.
    void setPointerOffset(int offset);
    int pointerOffset() const { return m_pointerOffset; }

    // Puts the top-left corner at `origin` with the pointer that far from the left edge, or as
    // near as keeps the bubble wholly on its window's screen, the pointer still on its spot.
    void moveOnScreen(const QPoint& origin, int pointerOffset);
    // Fades in; a visible bubble stays as it is.
    void showWithAnimation();
    // Hidden at once: a bubble that is going must not take clicks meant for the text.
    void hideWindowWithAnimation();

    // Tells the delegate (not clicked), then raises the stage unless the delegate reset it.
    // Without a delegate nothing happens.
    void advanceToNextStage();
    void resetStages();
    int stage() const { return m_stage; }
    void setStage(int stage) { m_stage = stage; }
    const QString& identifier() const { return m_identifier; }
    void setIdentifier(const QString& identifier) { m_identifier = identifier; }
    NBHelpBubbleDelegate* delegate() const { return m_delegate; }
    // Not owned.
    void setDelegate(NBHelpBubbleDelegate* delegate) { m_delegate = delegate; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void advance(bool clicked);
    QPainterPath shape() const;
    QRect contentRect() const;

    QLabel* m_textField;
    QPointer<QWidget> m_motherWindow;
    QPoint m_motherPosition;
    PointerOrientation m_orientation = PointerUp;
    int m_pointerOffset = 0;
    // Where it was asked to be, before the screen's edges had their say.
    QPoint m_intendedOrigin;
    int m_intendedPointerOffset = -1;
    int m_stage = 0;
    QString m_identifier;
    NBHelpBubbleDelegate* m_delegate = nullptr;
};

#endif

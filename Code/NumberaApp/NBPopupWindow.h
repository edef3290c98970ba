// The borderless, fading pop-up window with a pointed balloon shape that the answer palette,
// the token editor and the tutorial bubbles use. It stays above its mother window only (never
// above other windows), follows it when it moves, and fades in and out over 0.2 seconds.
#ifndef NUMBERA_APP_NB_POPUP_WINDOW_H
#define NUMBERA_APP_NB_POPUP_WINDOW_H

#include <QColor>
#include <QPainterPath>
#include <QPointer>
#include <QWidget>
#include <utility>
#include <vector>

class QPropertyAnimation;

inline constexpr const char* NBPopupWindowWillResignKey = "NBPopupWindowWillResignKey";

// The balloon: a rounded rectangle with a triangular pointer on one edge, filled with a
// vertical gradient and stroked.
class NBPopupShapeView : public QWidget {
    Q_OBJECT

  public:
    // Right: the pointer on the right edge, for a popup that opens left of what it points at.
    enum PointerOrientation { Left = 0, Top = 1, Bottom = 2, Right = 3 };
    explicit NBPopupShapeView(QWidget* parent = nullptr);

    int pointerOrientation = Left;
    double pointerWidth = 15;
    double pointerOffset = -1;  // along the pointer's edge; negative: half the height
    double pointerHeight = 11;
    double strokeWidth = 1;
    double cornerRadius = 10;
    QColor strokeColor = QColor::fromRgbF(0.88f, 0.88f, 0.88f);
    // (location 0 at the bottom edge .. 1 at the top, colour); at most ten stops.
    std::vector<std::pair<double, QColor>> gradient = {
        {0.0, QColor::fromRgbF(0.77f, 0.77f, 0.77f)}, {1.0, QColor::fromRgbF(0.85f, 0.85f, 0.85f)}};

    // The rectangle inset by 1 point, and by the pointer's height on its side.
    QRectF contentRectForFrameRect(const QRectF& frame) const;
    QSizeF frameSizeForContentSize(const QSizeF& content) const;
    QPainterPath outline() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

class NBPopupWindow : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kFadeMilliseconds = 200;

    explicit NBPopupWindow(QWidget* parent = nullptr);
    ~NBPopupWindow() override;

    NBPopupShapeView* shapeView() const { return m_shapeView; }
    int style() const { return m_style; }
    // 0 light, 1 dark; no effect when unchanged.
    void setStyle(int style);
    bool clickToClose() const { return m_clickToClose; }
    void setClickToClose(bool close) { m_clickToClose = close; }
    bool isPopupVisible() const { return m_isVisible; }
    QWidget* motherWindow() const { return m_motherWindow; }
    void setMotherWindow(QWidget* window) { m_motherWindow = window; }
    // Whether it follows its mother window (set by an animated show).
    bool isAttachedToMother() const { return m_attached; }
    // After moving an attached window itself: it follows its mother from where it is now.
    void rememberOffsetFromMother() {
        if (m_attached && m_motherWindow) m_offsetFromMother = pos() - m_motherWindow->pos();
    }

    void showWithAnimation(bool animated);
    // Out of sight while its mother window is not the active one, without being hidden: it
    // comes back as it was when the window is active again.
    void setSuspended(bool suspended);
    bool isSuspended() const { return m_suspended; }
    // Not animated: closes at once; animated: fades out, then closes.
    void hideWindowWithAnimation(bool animated);
    // Keeps the top edge where it is.
    void fitToHeight(int height);

  signals:
    void willResignKey(NBPopupWindow* window);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void detach();

    NBPopupShapeView* m_shapeView;
    int m_style = 0;
    bool m_clickToClose = false;
    bool m_isVisible = false;
    bool m_announcesResign = true;
    bool m_attached = false;
    bool m_suspended = false;
    QPointer<QWidget> m_motherWindow;
    QPoint m_offsetFromMother;
    QPropertyAnimation* m_fade;
};

#endif

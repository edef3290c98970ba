// The big answer: one line's answer in very large white type on a dark rounded panel across the
// middle of the screen, readable from a distance. Any key, a click or a switch to another
// window closes it with a fade. Where a compositor blends windows the panel is translucent;
// elsewhere it is drawn opaque so that no black corners show.
#ifndef NUMBERA_APP_NB_BIG_ANSWER_VIEWER_H
#define NUMBERA_APP_NB_BIG_ANSWER_VIEWER_H

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QScreen>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "NBAttributedText.h"

class NCResult;
class NCResultFormattingOptions;
class QPropertyAnimation;
class QTimer;

// The borderless panel window; it takes the keyboard while it shows.
class NBBigAnswerWindow : public QWidget {
    Q_OBJECT

  public:
    explicit NBBigAnswerWindow(bool translucent);
    // The panel's rectangle inside the window, its corner radius and its text.
    void setPanel(const QRect& panel, double cornerRadius, const NBAttributedText& text);
    void setTextShown(bool shown);
    QRect panelRect() const { return m_panel; }
    double cornerRadius() const { return m_cornerRadius; }
    QString text() const { return m_text.plainText(); }
    QFont textFont() const { return m_text.baseFont(); }
    const NBAttributedText& attributedText() const { return m_text; }
    bool isTranslucent() const { return m_translucent; }

  signals:
    void windowDidReceiveMouseDown();
    void windowWantsToClose();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    QRect m_panel;
    double m_cornerRadius = 0;
    NBAttributedText m_text;
    bool m_textShown = true;
    bool m_translucent;
};

class NBBigAnswerViewer : public QObject {
    Q_OBJECT

  public:
    static constexpr int kFadeMilliseconds = 350;
    static constexpr int kShadowMargin = 30;

    explicit NBBigAnswerViewer(QObject* parent = nullptr);
    ~NBBigAnswerViewer() override;

    // Retained; null shows "No Answer".
    void setResult(std::shared_ptr<NCResult> result) { m_result = std::move(result); }
    void setFormattingOptions(std::shared_ptr<NCResultFormattingOptions> options) {
        m_formattingOptions = std::move(options);
    }
    // Null means the primary screen.
    void setScreen(QScreen* screen) { m_screen = screen; }

    bool visible() const { return m_visible; }
    // No effect when unchanged; showing forgets the last close.
    void setVisible(bool visible);
    // Whether the last fade-out began less than the time ago.
    bool closedWithinMilliseconds(qint64 milliseconds) const;
    void clearLastClosedDate() { m_lastClosed.reset(); }

    // The screen's frame less 15 % of its width at each side and 28 % of its height at top
    // and bottom; empty without a screen.
    QRect maximalDisplayRect() const;
    // The largest bold font size, found by bisection between 1 and 4000 points, at which the
    // text fits the size; 0 when the size is wider than 10000 or higher than 4000.
    static double fittingFontSize(const QString& text, const QFont& font, const QSizeF& size);
    // The same for a text whose runs are laid out anew at each size.
    static double fittingFontSize(const std::function<NBAttributedText(const QFont&)>& text,
                                  const QFont& font, const QSizeF& size);
    // Whether windows are composited (translucent windows blend with what lies below).
    static bool compositorAvailable();

    // Made on the first show and kept; null before.
    NBBigAnswerWindow* window() const { return m_window; }

  private:
    void showWindow();
    void hideWindow();
    void closeWindow();
    QString answerText() const;
    // In the font, white: a value in the formatter's parts (exponent raised, units in the
    // answer's type), anything else plain.
    NBAttributedText answerTextInFont(const QFont& font) const;

    std::shared_ptr<NCResult> m_result;
    std::shared_ptr<NCResultFormattingOptions> m_formattingOptions;
    QPointer<QScreen> m_screen;
    bool m_visible = false;
    std::optional<qint64> m_lastClosed;
    QPointer<NBBigAnswerWindow> m_window;
    QPropertyAnimation* m_fade = nullptr;
    QTimer* m_closeTimer = nullptr;
};

#endif

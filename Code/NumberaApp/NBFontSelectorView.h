// The font choice of the preferences: a read-only line naming the chosen font and its size,
// and a button opening the font dialog. A font chosen there becomes the selected font and is
// reported to the delegate.
#ifndef NUMBERA_APP_NB_FONT_SELECTOR_VIEW_H
#define NUMBERA_APP_NB_FONT_SELECTOR_VIEW_H

#include <QFont>
#include <QFontDialog>
#include <QPointer>
#include <QWidget>

class NBFontSelectorView;
class QLineEdit;
class QPushButton;

struct NBFontSelectorDelegate {
    virtual ~NBFontSelectorDelegate() = default;
    virtual void fontDidChange(NBFontSelectorView& selector, const QFont& font) = 0;
};

class NBFontSelectorView : public QWidget {
    Q_OBJECT

  public:
    // Shows the system font at 14 points until told otherwise.
    explicit NBFontSelectorView(QWidget* parent = nullptr);
    ~NBFontSelectorView() override;

    const QFont& selectedFont() const { return m_selectedFont; }
    // A font equal to the selected one changes nothing; another is shown and reported.
    void setSelectedFont(const QFont& font);
    NBFontSelectorDelegate* delegate() const { return m_delegate; }
    // Not owned; null stops the reports.
    void setDelegate(NBFontSelectorDelegate* delegate) { m_delegate = delegate; }

    // The font dialog, not modal, starting at the selected font; its choice goes through
    // changeFont.
    void showFontPanel();
    QFontDialog* fontPanel() const { return m_fontPanel; }
    // The dialog's choice: a font sized in pixels is turned into points first.
    void changeFont(const QFont& font);

    QLineEdit* textField() const { return m_textField; }
    QPushButton* button() const { return m_button; }

    // "<family> - <size> pt", the size with one decimal.
    static QString displayText(const QFont& font);
    // The same font sized in points: a pixel size converts at the given dots per inch.
    static QFont pointSizedFont(const QFont& font, double dotsPerInch);

  private:
    void layoutSubviews();

    QLineEdit* m_textField;
    QPushButton* m_button;
    QFont m_selectedFont;
    NBFontSelectorDelegate* m_delegate = nullptr;
    QPointer<QFontDialog> m_fontPanel;
};

#endif

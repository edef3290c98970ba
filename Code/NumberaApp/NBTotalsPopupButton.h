// The statistics bar's pop-up button. Its title is the statistic's name (left component), a
// delimiter, its value (right component) and an optional comment drawn in the 9-point system
// font. Without a name or a value it shows its placeholder and may hide itself. The menu and
// texts are its owner's.
#ifndef NUMBERA_APP_NB_TOTALS_POPUP_BUTTON_H
#define NUMBERA_APP_NB_TOTALS_POPUP_BUTTON_H

#include <QFont>
#include <QPushButton>
#include <QSizeF>
#include <QString>

#include "NBAttributedText.h"
#include "NSAttributedString.h"

class NBTotalsPopupButton : public QPushButton {
    Q_OBJECT

  public:
    static constexpr double kCommentFontSize = 9.0;

    explicit NBTotalsPopupButton(QWidget* parent = nullptr);

    // Each is stored only; the title changes at the next updateTitle().
    const QString& leftComponent() const { return m_leftComponent; }
    void setLeftComponent(const QString& text) { m_leftComponent = text; }
    const QString& rightCompontent() const { return m_rightCompontent; }
    // Drops the drawn form: the value is drawn as its text.
    void setRightCompontent(const QString& text) {
        m_rightCompontent = text;
        m_drawnRightComponent = {};
    }
    // The value with the text it stands for and the runs it is drawn in (an exponent raised).
    void setRightCompontent(const QString& text, const NSAttributedString& drawn) {
        m_rightCompontent = text;
        m_drawnRightComponent = drawn;
    }
    const QString& deliniator() const { return m_deliniator; }
    void setDeliniator(const QString& text) { m_deliniator = text; }
    const QString& comment() const { return m_comment; }
    void setComment(const QString& text) { m_comment = text; }
    const QString& placeHolder() const { return m_placeHolder; }
    void setPlaceHolder(const QString& text) { m_placeHolder = text; }
    bool hidesWhenShowingPlaceHolder() const { return m_hidesWhenShowingPlaceHolder; }
    void setHidesWhenShowingPlaceHolder(bool hides) { m_hidesWhenShowingPlaceHolder = hides; }

    // Whether the owner wants the button shown while it has a value (QWidget's own visibility
    // is the button's current state). A change updates the title.
    bool isVisibleWithValue() const { return m_visible; }
    void setVisibleWithValue(bool visible);

    bool isShowingPlaceholder() const;
    bool isShowingComment() const { return !m_comment.isEmpty(); }
    // The 9-point system font.
    QFont commentFont() const;

    // Joins the parts, or shows the placeholder; shows or hides the button as asked.
    void updateTitle();

    // The value as drawn, in the button's font and colour.
    NBAttributedText drawnRightComponent() const;
    QSizeF leftComponentSize() const;
    QSizeF rightComponentSize() const;
    QSizeF deliniatorSize() const;
    QSizeF totalStringSize() const;
    QSizeF commentSize() const;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QSizeF sizeOf(const QString& text, const QFont& font) const;

    bool m_hidesWhenShowingPlaceHolder = false;
    bool m_visible = true;
    QString m_leftComponent, m_rightCompontent, m_deliniator, m_comment;
    QString m_placeHolder = QStringLiteral("Placeholder");
    NSAttributedString m_drawnRightComponent;
};

#endif

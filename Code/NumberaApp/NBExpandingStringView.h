// A label of the 9-point system font, left-aligned with a faint white shadow under it, that
// sizes itself to its title and says so ("NBExpandingStringViewChangedSize", sender the view)
// whenever a new title has another width.
#ifndef NUMBERA_APP_NB_EXPANDING_STRING_VIEW_H
#define NUMBERA_APP_NB_EXPANDING_STRING_VIEW_H

#include <QFont>
#include <QSizeF>
#include <QString>
#include <QWidget>

inline constexpr const char* NBExpandingStringViewChangedSize = "NBExpandingStringViewChangedSize";

class NBExpandingStringView : public QWidget {
    Q_OBJECT

  public:
    explicit NBExpandingStringView(QWidget* parent = nullptr);

    const QString& title() const { return m_title; }
    void setTitle(const QString& title);
    QFont textFont() const;
    // The title's size in the view's font.
    QSizeF drawingSize() const;
    // Takes the title's size.
    void sizeToFit();

    QSize sizeHint() const override;

  signals:
    void changedSize();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString m_title;
};

#endif

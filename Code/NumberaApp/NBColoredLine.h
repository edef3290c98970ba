// A thin line in one colour while its window is active and another (or nothing) otherwise:
// the groove along the top of the statistics bar.
#ifndef NUMBERA_APP_NB_COLORED_LINE_H
#define NUMBERA_APP_NB_COLORED_LINE_H

#include <QColor>
#include <QWidget>

class NBColoredLine : public QWidget {
    Q_OBJECT

  public:
    // White both ways, shown while inactive.
    explicit NBColoredLine(QWidget* parent = nullptr);

    QColor activeColor() const { return m_activeColor; }
    void setActiveColor(const QColor& color);
    QColor inactiveColor() const { return m_inactiveColor; }
    void setInactiveColor(const QColor& color);
    bool showsWhileInactive() const { return m_showsWhileInactive; }
    void setShowsWhileInactive(bool shows);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    QColor m_activeColor = Qt::white;
    QColor m_inactiveColor = Qt::white;
    bool m_showsWhileInactive = true;
};

#endif

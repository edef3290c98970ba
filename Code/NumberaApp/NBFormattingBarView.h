// The formatting bar's strip: a light gradient, thin dividers between its sections, and an
// ellipsis at its right end when sections had to be hidden for want of room. Its sections are
// its children.
#ifndef NUMBERA_APP_NB_FORMATTING_BAR_VIEW_H
#define NUMBERA_APP_NB_FORMATTING_BAR_VIEW_H

#include <QColor>
#include <QWidget>
#include <vector>

class NBFormattingBarView : public QWidget {
    Q_OBJECT

  public:
    explicit NBFormattingBarView(QWidget* parent = nullptr);

    const std::vector<double>& dividerPositions() const { return m_dividerPositions; }
    void setDividerPositions(std::vector<double> positions);
    bool drawsDividers() const { return m_drawsDividers; }
    void setDrawsDividers(bool draws);
    bool drawsEllipsis() const { return m_drawsEllipsis; }
    void setDrawsEllipsis(bool draws);
    static QColor dividerColor() { return QColor::fromRgbF(0.356f, 0.356f, 0.356f); }

  signals:
    void changedSize();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    std::vector<double> m_dividerPositions;
    bool m_drawsDividers = false;
    bool m_drawsEllipsis = false;
};

#endif

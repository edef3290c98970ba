// The bar behind the panels' bottom controls: a grey gradient, a lighter right-hand section
// set apart by a dark and a light line, and a soft shadow along the top.
#ifndef NUMBERA_APP_NB_GREY_SECTION_VIEW_H
#define NUMBERA_APP_NB_GREY_SECTION_VIEW_H

#include <QWidget>

class NBGreySectionView : public QWidget {
    Q_OBJECT

  public:
    explicit NBGreySectionView(QWidget* parent = nullptr) : QWidget(parent) {}
    double rightSectionWidth() const { return m_rightSectionWidth; }
    void setRightSectionWidth(double width) {
        m_rightSectionWidth = width;
        update();
    }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    double m_rightSectionWidth = 0;
};

#endif

// The small round info button that sits at the right of an answer row and opens or closes the
// answer palette for that line. A two-state button; its look follows its state, a press, the
// row's selection and the pointer over it.
#ifndef NUMBERA_APP_NB_LITTLE_INFO_BUTTON_H
#define NUMBERA_APP_NB_LITTLE_INFO_BUTTON_H

#include <QAbstractButton>
#include <cstdint>

#include "NBAnswerPaletteRules.h"

class NBLittleInfoButton : public QAbstractButton {
    Q_OBJECT

  public:
    static constexpr int kSize = 16;

    explicit NBLittleInfoButton(QWidget* parent = nullptr);

    // The line it sits on; kAnswerPaletteNoLine for none.
    uint64_t tag() const { return m_tag; }
    void setTag(uint64_t tag) { m_tag = tag; }
    // 1 while its row is selected.
    int backgroundStyle() const { return m_backgroundStyle; }
    void setBackgroundStyle(int style);
    bool underMouse() const { return m_underMouse; }
    // The image it draws now.
    QString imageName() const;

    QSize sizeHint() const override { return {kSize, kSize}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    uint64_t m_tag = kAnswerPaletteNoLine;
    int m_backgroundStyle = 0;
    bool m_underMouse = false;
};

#endif

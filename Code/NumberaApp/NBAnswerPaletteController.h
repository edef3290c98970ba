// Decides which line the answer palette represents, where its pointer touches the answer
// column and what it lists. Owned by the answer column controller; the palette follows the
// column's selection, scrolling and window, and hides with the answers, on full screen and
// when the document window closes.
#ifndef NUMBERA_APP_NB_ANSWER_PALETTE_CONTROLLER_H
#define NUMBERA_APP_NB_ANSWER_PALETTE_CONTROLLER_H

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "NBAnswerPalette.h"
#include "NBLittleInfoButton.h"

class NBAnswerColumnController;
class NCLine;
class QTimer;

inline constexpr const char* NBAnswerPaletteDidHide = "NBAnswerPaletteDidHide";
inline constexpr const char* NBAnswerPaletteWasReloaded = "NBAnswerPaletteWasReloaded";

class NBAnswerPaletteController : public QObject {
    Q_OBJECT

  public:
    static constexpr int kCoalescingMilliseconds = 10;

    explicit NBAnswerPaletteController(NBAnswerColumnController& owner);
    ~NBAnswerPaletteController() override;

    // Creates the window once the column sits in its window; runs again harmlessly.
    void setup();
    NBAnswerPalette* answerPalette() const { return m_answerPalette; }

    // The animation flag is not used: the palette always fades in.
    void showAnswerPaletteOnLineIndex(uint64_t index, bool animated);
    void closeAnswerPaletteWithAnimation(bool animated);
    bool paletteIsVisible() const;
    void setNeedsPositionUpdate();
    void updatePalettePosition();

    // The line shown, which differs from the one asked for while that one is out of view.
    std::shared_ptr<NCLine> actualRepresentedLine() const { return m_actualRepresentedLine; }
    std::shared_ptr<NCLine> preferredRepresentedLine() const { return m_preferredRepresentedLine; }
    // In screen coordinates: the window's right edge less 5, level with the row's middle;
    // none for a row out of view.
    std::optional<QPoint> popupLocationForLineIndex(uint64_t index) const;
    const std::vector<NBAnswerPaletteEntry>& dataSource() const { return m_dataSource; }

    void cellClicked(int row, int column);

    // The info buttons: one follows the pointer over answered rows, one marks the palette's line.
    bool showsButtons() const { return m_showsButtons; }
    void setShowsButtons(bool shows);
    bool buttonVisibileOnLine(uint64_t index) const;
    // From where the pointer is now.
    void setButtonsNeedReposition();
    void setButtonsStateRefresh();
    void repositionButtonsForLineNumber(int64_t line);
    NBLittleInfoButton* button1() const { return m_button1; }
    NBLittleInfoButton* button2() const { return m_button2; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::shared_ptr<NCLine> actualLineForPreferredLine(const std::shared_ptr<NCLine>& preferred);
    void reloadPaletteAtLocation(const QPoint& location);
    void selectionChanged();
    void setupInfoButtons(QWidget* column);
    NBLittleInfoButton* availableButton() const;
    NBLittleInfoButton* occupiedButton() const;
    bool buttonCanGoOnLine(int64_t line) const;
    void displayButtonOnLine(NBLittleInfoButton* button, uint64_t line);
    void hideButton(NBLittleInfoButton* button);
    void buttonAction(NBLittleInfoButton* button);
    void redrawRow(uint64_t line);
    // The buttons show only while the document window (or its palette) is the active one.
    void followActivationLater();

    NBAnswerColumnController& m_owner;
    QPointer<NBAnswerPalette> m_answerPalette;
    // The same window as a plain object: its events arrive while it is being destroyed, when it
    // may no longer be taken for a palette.
    QPointer<QObject> m_paletteObject;
    QPointer<QWidget> m_parentWindow;
    std::shared_ptr<NCLine> m_preferredRepresentedLine;
    std::shared_ptr<NCLine> m_actualRepresentedLine;
    std::vector<NBAnswerPaletteEntry> m_dataSource;
    QTimer* m_reloadTimer;
    bool m_updateInProgress = false;
    bool m_showsButtons = true;
    bool m_buttonsHiddenWhileInactive = false;
    QPointer<NBLittleInfoButton> m_button1;
    QPointer<NBLittleInfoButton> m_button2;
};

#endif

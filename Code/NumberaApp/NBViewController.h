// Lays out one document window: the formatting bar at the top (27 points), the panes of text,
// answers and line numbers, and the 24-point statistics bar at the bottom with its pop-up
// button. It shows and hides the three optional areas, with or without animation, keeps the
// statistics button showing the chosen statistic of the document or of the selected lines,
// and passes the line-number selection to the text.
#ifndef NUMBERA_APP_NB_VIEW_CONTROLLER_H
#define NUMBERA_APP_NB_VIEW_CONTROLLER_H

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTextEdit>
#include <memory>
#include <vector>

#include "NBNumberLineController.h"
#include "NSIndexSet.h"
#include "NotificationCenter.h"

class NBColoredLine;
class NBDocumentController;
class NBKettraView;
class NBLineFormattingController;
class NBTotalsPopupButton;
class NCLineCollection;
class NCLineCollectionStatistics;
class QAbstractAnimation;
class QAction;
class QMainWindow;
class QMenu;
class QTimer;
class QWidget;

inline constexpr const char* NBFormattingBarWasToggled = "NBFormattingBarWasToggled";
inline constexpr const char* NBNumberLineWasToggled = "NBNumberLineWasToggled";

class NBViewController : public QObject, private NBNumberLineControllerDelegate {
    Q_OBJECT

  public:
    static constexpr int kBottomBarHeight = 24;
    static constexpr int kAnimationMilliseconds = 300;

    // The window's central widget must be the panes; the document is not owned.
    NBViewController(QMainWindow* window, NBKettraView* kettraView, NBDocumentController* document);
    ~NBViewController() override;

    // Once per window, after the document has bound its views.
    void setupViews();
    void registerForNotifications();
    void deregisterForNotifications();

    NBDocumentController* documentController() const { return m_documentController; }
    QMainWindow* documentWindow() const { return m_documentWindow; }
    NBKettraView* kettraView() const { return m_kettraView; }
    NBNumberLineView* numberLineView() const;
    NBNumberLineController* numberLineController() const { return m_numberLineController; }
    NBLineFormattingController* formattingBarController() const {
        return m_formattingBarController;
    }
    QWidget* contentView() const { return m_contentView; }
    const std::shared_ptr<NCLineCollection>& lineCollection() const { return m_lineCollection; }
    void setLineCollection(std::shared_ptr<NCLineCollection> lines);
    const std::shared_ptr<NCLineCollectionStatistics>& lineCollectionStatistics() const {
        return m_lineCollectionStatistics;
    }

    // The three optional areas. A request for the state an area is in logs a warning.
    bool formattingBarVisible() const { return m_formattingBarVisible; }
    bool statisticsBarVisibile() const { return m_statisticsBarVisibile; }
    bool numberLineVisibile() const;
    // The window grows or shrinks at its bottom; the text keeps its size.
    void setStatisticsBarVisible(bool visible, bool animate);
    void setFormattingBarVisible(bool visible, bool animate);
    void setLineNumbersVisible(bool visible, bool animate);
    bool isAnimatingFormattingBar() const;
    bool isAnimatingNumberLine() const;

    // Statistics.
    int32_t currentStatistic() const { return m_currentStatistic; }
    int32_t selectedStatistic() const { return m_currentStatistic; }
    void setSelectedStatistic(int32_t type);
    // The statistics menu's choice: stores "NBChosenStatistic" and edits the document.
    void selectStatistic(int32_t tag);
    void copySelectedStatistic();
    void updateStatsButtonWithReevaluation(bool reevaluate);
    QString statisticValueForType(int32_t type, bool mustBeEvaluatable) const;
    QString statisticsLabelForType(int32_t type, int32_t representation, bool includeRange) const;
    QMenu* statsMenu();
    void updateStatisticsMenu();
    // Works the chosen statistic out afresh for the button.
    void setStatisticsButtonValue();
    void repositionPopupButton();
    NBTotalsPopupButton* statisticsButton() const { return m_statisticsButton; }
    // Whether a re-evaluation of the statistic waits for typing to pause.
    bool statisticWaitsForAPause() const;
    QLabel* statisticsSelectionDetailLabel() const { return m_statisticsSelectionDetailLabel; }
    QAction* copyStatisticAction() const { return m_copyStatisticAction; }

    // The document's key lines changed.
    void keyLineNumbersChanged(const NSIndexSet& previous);
    void documentNeedsRedrawing();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createStatsMenu();
    void setupTotalsButton();
    void layoutContent();
    void applyDocumentViewProperties();
    void lineFormattingOptionsChanged();
    void globalFormattingChanged();
    void textDidChange();
    void answerColumnChangedSize();
    void relayoutCellsIfNecessary();
    void repositionPopupButtonDetailForPopupButtonRect(QRect buttonRect);
    void animationDidEnd(QAbstractAnimation* animation);
    void resizeWindowBy(int heightChange);
    // Tells the document what its file keeps of this window.
    void storeViewInfo();
    // After a drag of the divider: a new width is stored with the view and edits the document.
    void answerColumnWidthMayHaveChanged();
    // The key of the answer column's width in the document's view state.
    static constexpr const char* kAnswerColumnWidthKey = "NBAnswerColumnWidth";
    // The text's extra selections that do not show number-line rows.
    QList<QTextEdit::ExtraSelection> extraSelectionsOfOthers() const;
    void textSelectionChanged();

    // Line-number delegate: rows as tall as the text's paragraphs; selecting rows selects
    // those lines in the text.
    double numberLineControllerHeightForRowAtIndex(NBNumberLineController*,
                                                   uint64_t index) override;
    void numberLineControllerSelectionDidChange(NBNumberLineController*,
                                                const NSIndexSet& rows) override;

    QMainWindow* m_documentWindow;
    NBKettraView* m_kettraView;
    NBDocumentController* m_documentController;
    QWidget* m_contentView = nullptr;
    NBNumberLineController* m_numberLineController = nullptr;
    NBLineFormattingController* m_formattingBarController = nullptr;
    std::shared_ptr<NCLineCollection> m_lineCollection;
    std::shared_ptr<NCLineCollectionStatistics> m_lineCollectionStatistics;

    bool m_formattingBarVisible = false;
    bool m_statisticsBarVisibile = true;
    QPointer<QAbstractAnimation> m_formattingBarAnimation;
    QPointer<QAbstractAnimation> m_numberLineAnimation;

    NBTotalsPopupButton* m_statisticsButton = nullptr;
    QLabel* m_statisticsSelectionDetailLabel = nullptr;
    NBColoredLine* m_bottomBarGrooveLine = nullptr;
    QMenu* m_statsMenu = nullptr;
    QAction* m_statsTitleAction = nullptr;
    std::vector<QAction*> m_statisticActions;
    QAction* m_copyStatisticAction = nullptr;
    int32_t m_currentStatistic = 0;
    int m_storedAnswerColumnWidth = 0;

    std::vector<NotificationObserver> m_observers;
    std::vector<QMetaObject::Connection> m_connections;
    bool m_statsUpdateQueued = false;
    // A statistic over a long document can take longer than a keystroke may. While the last one
    // took longer than kSlowStatisticMilliseconds, typing re-evaluates it once it pauses.
    static constexpr double kSlowStatisticMilliseconds = 4;
    static constexpr int kStatisticPauseMilliseconds = 150;
    double m_lastStatisticMilliseconds = 0;
    QTimer* m_statisticPauseTimer = nullptr;
    bool m_showingRowSelections = false;
    // Marks the extra selections that show rows chosen in the number line.
    static constexpr int kRowSelectionProperty = QTextFormat::UserProperty + 0x4e4c;
};

#endif

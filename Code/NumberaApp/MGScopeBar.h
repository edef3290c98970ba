// A bar of groups of toggle buttons that filters what a panel shows. The delegate gives the
// groups and their items; a group selects exactly one item (radio) or any number. When the bar
// grows too narrow, groups collapse from the right into pop-up buttons titled by their
// selection, and expand again from the left as it widens. An accessory widget sits at the
// right end.
#ifndef NUMBERA_APP_MG_SCOPE_BAR_H
#define NUMBERA_APP_MG_SCOPE_BAR_H

#include <QIcon>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <vector>

class MGScopeBar;
class QAction;
class QLabel;
class QPushButton;

// The first five questions are required; the rest default to "not answered".
struct MGScopeBarDelegate {
    virtual ~MGScopeBarDelegate() = default;
    virtual int numberOfGroupsInScopeBar(MGScopeBar& bar) = 0;
    virtual QStringList scopeBarItemIdentifiersForGroup(MGScopeBar& bar, int group) = 0;
    // Empty: no label.
    virtual QString scopeBarLabelForGroup(MGScopeBar& bar, int group) = 0;
    // 0 radio, 1 multiple; anything else counts as radio.
    virtual int scopeBarSelectionModeForGroup(MGScopeBar& bar, int group) = 0;
    virtual QString scopeBarTitleOfItemInGroup(MGScopeBar& bar, const QString& identifier,
                                               int group) = 0;
    // None: not answered, which puts a separator before every group but the first.
    virtual std::optional<bool> scopeBarShowSeparatorBeforeGroup(MGScopeBar&, int) {
        return std::nullopt;
    }
    virtual QIcon scopeBarImageForItemInGroup(MGScopeBar&, const QString&, int) { return {}; }
    // Not owned by the bar.
    virtual QWidget* accessoryViewForScopeBar(MGScopeBar&) { return nullptr; }
    virtual void scopeBarSelectedStateChangedForItemInGroup(MGScopeBar&, bool, const QString&,
                                                            int) {}
};

class MGScopeBar : public QWidget {
    Q_OBJECT

  public:
    enum SelectionMode { MGRadioSelectionMode = 0, MGMultipleSelectionMode = 1 };
    static constexpr int kBarHeight = 30;
    static constexpr int kLeftMargin = 8;
    static constexpr int kSpacing = 6;
    static constexpr int kSeparatorWidth = 7;
    static constexpr int kPopupExtraWidth = 25;
    static constexpr int kMinimumPopupWidth = 60;
    static constexpr int64_t kNotFound = std::numeric_limits<int64_t>::max();

    explicit MGScopeBar(QWidget* parent = nullptr);
    ~MGScopeBar() override;

    // Not owned; setting a different one reloads.
    MGScopeBarDelegate* delegate() const { return m_delegate; }
    void setDelegate(MGScopeBarDelegate* delegate);
    bool smartResizeEnabled() const { return m_smartResizeEnabled; }
    void setSmartResizeEnabled(bool enabled);

    void reloadData();
    void sizeToFit();
    // One list of selected identifiers per group.
    std::vector<QStringList> selectedItems() const { return m_selectedItems; }
    void setSelected(bool selected, const QString& identifier, int group);

    // What the groups show now, for the panel and its tests.
    int64_t firstCollapsedGroup() const { return m_firstCollapsedGroup; }
    bool groupIsCollapsed(int group) const;
    // The pop-up of a collapsed group; null while it is expanded.
    QPushButton* popupButtonForGroupAtIndex(int group) const;
    // The button of an item while its group is expanded; null otherwise.
    QPushButton* buttonForItem(const QString& identifier, int group) const;
    void adjustSubviews();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    struct Group {
        QStringList identifiers;
        std::vector<QObject*> controls;  // buttons while expanded, menu actions while collapsed
        int selectionMode = MGRadioSelectionMode;
        bool menuMode = false;
        bool hasLabel = false;
        bool hasSeparator = false;
        QLabel* labelField = nullptr;
        int totalButtonsWidth = 0;
        int widestButtonWidth = 0;
        QPushButton* popupButton = nullptr;
    };

    QPushButton* makeButton(const QString& identifier, int group, const QString& title,
                            const QIcon& image);
    QAction* makeMenuItem(const QString& identifier, int group, const QString& title,
                          const QIcon& image, QObject* owner);
    QPushButton* popupButtonForGroup(int group);
    void setControl(QObject* control, const QString& identifier, int group);
    QObject* getButtonForItem(const QString& identifier, int group) const;
    void updateMenuTitleForGroupAtIndex(int group);
    void updateSelectedState(bool selected, const QString& identifier, int group,
                             bool informDelegate);
    void scopeButtonClicked(QObject* sender);
    void collapseGroup(int group);
    void expandGroup(int group);
    int popupWidth(const Group& group) const { return group.widestButtonWidth + kPopupExtraWidth; }
    int usedWidth() const;
    int availableWidth() const;
    // Places every group from the left margin on, as each is shown now.
    void layoutGroups();
    void clear();

    bool m_smartResizeEnabled = true;
    MGScopeBarDelegate* m_delegate = nullptr;
    QPointer<QWidget> m_accessoryView;
    std::vector<std::optional<int>> m_separatorPositions;
    std::vector<Group> m_groups;
    std::map<QString, std::vector<QObject*>> m_identifiers;
    std::vector<QStringList> m_selectedItems;
    int64_t m_firstCollapsedGroup = kNotFound;
    std::optional<int> m_lastWidth;
    int m_totalGroupsWidthForPopups = 0;
};

#endif

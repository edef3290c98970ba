// The scope bar on its own: radio groups start with their first item, multiple groups may end
// empty, and groups collapse from the right into pop-ups titled by their selection and expand
// from the left when their buttons fit again.
#include <gtest/gtest.h>

#include <QMenu>
#include <QPushButton>
#include <vector>

#include "MGScopeBar.h"

namespace {

struct Change {
    bool selected;
    QString identifier;
    int group;
};

class Groups : public MGScopeBarDelegate {
  public:
    std::vector<Change> changes;
    std::optional<bool> separators;

    int numberOfGroupsInScopeBar(MGScopeBar&) override { return 2; }
    QStringList scopeBarItemIdentifiersForGroup(MGScopeBar&, int group) override {
        if (group == 0) return {"favourites", "all", "all"};
        return {"metals", "coins", "notes"};
    }
    QString scopeBarLabelForGroup(MGScopeBar&, int group) override {
        return group == 1 ? QStringLiteral("Kind:") : QString();
    }
    int scopeBarSelectionModeForGroup(MGScopeBar&, int group) override {
        return group == 0 ? 7 : MGScopeBar::MGMultipleSelectionMode;
    }
    QString scopeBarTitleOfItemInGroup(MGScopeBar&, const QString& identifier, int) override {
        return identifier.at(0).toUpper() + identifier.mid(1) + QStringLiteral(" Currencies");
    }
    std::optional<bool> scopeBarShowSeparatorBeforeGroup(MGScopeBar&, int) override {
        return separators;
    }
    void scopeBarSelectedStateChangedForItemInGroup(MGScopeBar&, bool selected,
                                                    const QString& identifier, int group) override {
        changes.push_back({selected, identifier, group});
    }
};

TEST(ScopeBar, ARadioGroupStartsWithItsFirstItemAndKeepsOneSelected) {
    Groups groups;
    MGScopeBar bar;
    bar.resize(900, 30);
    bar.setDelegate(&groups);
    ASSERT_EQ(bar.selectedItems().size(), 2u);
    // An unknown selection mode counts as radio; duplicates make one button.
    EXPECT_EQ(bar.selectedItems()[0], QStringList{"favourites"});
    EXPECT_TRUE(bar.selectedItems()[1].isEmpty());
    ASSERT_EQ(groups.changes.size(), 1u);
    EXPECT_EQ(groups.changes[0].identifier, "favourites");

    groups.changes.clear();
    bar.buttonForItem("favourites", 0)->click();
    EXPECT_TRUE(groups.changes.empty());
    EXPECT_TRUE(bar.buttonForItem("favourites", 0)->isChecked());
    bar.buttonForItem("all", 0)->click();
    EXPECT_EQ(bar.selectedItems()[0], QStringList{"all"});
    EXPECT_FALSE(bar.buttonForItem("favourites", 0)->isChecked());
    ASSERT_EQ(groups.changes.size(), 1u);
    EXPECT_TRUE(groups.changes[0].selected);

    bar.buttonForItem("coins", 1)->click();
    bar.buttonForItem("notes", 1)->click();
    EXPECT_EQ(bar.selectedItems()[1], QStringList({"coins", "notes"}));
    bar.buttonForItem("coins", 1)->click();
    EXPECT_EQ(bar.selectedItems()[1], QStringList{"notes"});
    EXPECT_EQ(bar.buttonForItem("all", 7), nullptr);
    EXPECT_EQ(bar.buttonForItem("unknown", 0), nullptr);
}

TEST(ScopeBar, GroupsCollapseFromTheRightAndExpandFromTheLeft) {
    Groups groups;
    MGScopeBar bar;
    bar.resize(900, 30);
    // Only a shown bar hears of its size changes at once.
    bar.show();
    bar.setDelegate(&groups);
    bar.setSelected(true, "coins", 1);
    bar.setSelected(true, "notes", 1);
    EXPECT_EQ(bar.firstCollapsedGroup(), MGScopeBar::kNotFound);

    // Somewhat narrower: only the right group gives way.
    const int full = bar.buttonForItem("notes", 1)->geometry().right() + 1;
    bar.resize(full - 40, 30);
    EXPECT_FALSE(bar.groupIsCollapsed(0));
    ASSERT_TRUE(bar.groupIsCollapsed(1));
    QPushButton* popup = bar.popupButtonForGroupAtIndex(1);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->text(), "(Multiple)");
    EXPECT_FALSE(popup->isFlat());
    bar.setSelected(false, "notes", 1);
    EXPECT_EQ(popup->text(), "Coins Currencies");
    bar.setSelected(false, "coins", 1);
    EXPECT_EQ(popup->text(), "(None)");
    EXPECT_TRUE(popup->isFlat());
    // The pop-up's menu selects like the buttons did.
    popup->menu()->actions().at(0)->trigger();
    EXPECT_EQ(bar.selectedItems()[1], QStringList{"metals"});
    EXPECT_EQ(popup->text(), "Metals Currencies");

    // Very narrow: the left group collapses too, titled by its one selection.
    bar.resize(120, 30);
    ASSERT_TRUE(bar.groupIsCollapsed(0));
    EXPECT_EQ(bar.firstCollapsedGroup(), 0);
    EXPECT_EQ(bar.popupButtonForGroupAtIndex(0)->text(), "Favourites Currencies");

    // Widening expands the left group first, and only once its buttons fit.
    bar.resize(full - 40, 30);
    EXPECT_FALSE(bar.groupIsCollapsed(0));
    EXPECT_TRUE(bar.groupIsCollapsed(1));
    EXPECT_TRUE(bar.buttonForItem("favourites", 0)->isChecked());
    bar.resize(900, 30);
    EXPECT_EQ(bar.firstCollapsedGroup(), MGScopeBar::kNotFound);
    EXPECT_TRUE(bar.buttonForItem("metals", 1)->isChecked());
    EXPECT_FALSE(bar.buttonForItem("coins", 1)->isChecked());
}

}  // namespace

// The numerals window's panel of currencies: their rates against the base currency the user
// picks, whether each is enabled and a favourite, the favourites or all of them by the scope
// bar, and the update of the rates from the configured services with its outcome.
#ifndef NUMBERA_APP_NB_CURRENCIES_VIEW_CONTROLLER_H
#define NUMBERA_APP_NB_CURRENCIES_VIEW_CONTROLLER_H

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "MGScopeBar.h"
#include "NBNumbersViewController.h"
#include "NotificationCenter.h"

class NBEnvironmentController;
class NBCurrenciesTableModel;
class NKCurrenciesManager;
class NKCurrency;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

class NBCurrenciesViewController : public NBNumbersViewController, public MGScopeBarDelegate {
    Q_OBJECT

  public:
    enum ViewMode { NoViewMode = 0, FavouritesViewMode = 1, AllViewMode = 2 };
    enum UpdateButtonViewMode {
        IdleMode = 0,
        UpdateFailedMode = 1,
        PartiallyFailedMode = 2,
        UpdatedMode = 3,
        UpdatingMode = 4,
    };
    // The table's columns; the favourites column shows only with all currencies.
    enum Column {
        EnabledColumn = 0,
        NameColumn = 1,
        RateColumn = 2,
        FavouriteColumn = 3,
        SourceDateColumn = 4,
        ColumnCount = 5,
    };
    struct Row {
        std::shared_ptr<NKCurrency> currency;
        QString rate;
        bool outOfDate = false;
    };

    explicit NBCurrenciesViewController(NBEnvironmentController& environment,
                                        QWidget* parent = nullptr);
    ~NBCurrenciesViewController() override;

    QString modelTypeName() const override;
    bool showsAddButton() const override { return false; }
    QWidget* accessoryView() override { return m_accessoryView; }
    void viewWillAppear() override;
    void reloadContent() override;
    void reloadView() override;
    const std::vector<Row>& dataSource() const { return m_currenciesForCurrentViewMode; }

    void updateRates();
    // The base currency was chosen: the menu's code becomes the user's base currency.
    void setBaseCurrency(const QString& code);
    int viewMode() const { return m_viewMode; }
    void setCurrenciesViewMode(int mode);
    int updateButtonViewMode() const { return m_updateButtonViewMode; }
    void setUpdateButtonViewMode(int mode);
    void reloadBaseCurrencyPopupMenu();
    // Switches a currency on or off; the base currency moves to an enabled one when it is
    // switched off, and cannot be switched off as the last enabled one. The status says which.
    void toggleEnabled(const std::shared_ptr<NKCurrency>& currency);
    const std::vector<std::u16string>& currenciesThatFailedUpdating() const {
        return m_currenciesThatFailedUpdating;
    }
    // Whether a click at the table point may select its row: not on an enabled check box or
    // heart, which toggle instead.
    bool tableViewShouldSelectRow(const QPoint& viewportPoint) const;

    MGScopeBar* scopeBar() const { return m_scopeBar; }
    QPushButton* updateButton() const { return m_updateButton; }
    QLabel* statusField() const { return m_statusField; }
    QProgressBar* progressIndicator() const { return m_progressIndicator; }
    QComboBox* baseCurrencyPopup() const { return m_baseCurrencyPopup; }
    QWidget* baseCurrencyView() const { return m_baseCurrencyView; }

    // MGScopeBarDelegate
    int numberOfGroupsInScopeBar(MGScopeBar& bar) override;
    QStringList scopeBarItemIdentifiersForGroup(MGScopeBar& bar, int group) override;
    QString scopeBarLabelForGroup(MGScopeBar& bar, int group) override;
    int scopeBarSelectionModeForGroup(MGScopeBar& bar, int group) override;
    QString scopeBarTitleOfItemInGroup(MGScopeBar& bar, const QString& identifier,
                                       int group) override;
    QWidget* accessoryViewForScopeBar(MGScopeBar& bar) override;
    void scopeBarSelectedStateChangedForItemInGroup(MGScopeBar& bar, bool selected,
                                                    const QString& identifier, int group) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::shared_ptr<NKCurrenciesManager> manager() const;
    QString lastUpdatedText() const;

    NBEnvironmentController& m_environment;
    NBCurrenciesTableModel* m_model = nullptr;
    int m_viewMode = NoViewMode;
    int m_updateButtonViewMode = IdleMode;
    std::vector<Row> m_currenciesForCurrentViewMode;
    std::vector<std::u16string> m_currenciesThatFailedUpdating;
    std::vector<NotificationObserver> m_observers;
    MGScopeBar* m_scopeBar = nullptr;
    QWidget* m_accessoryView = nullptr;
    QPushButton* m_updateButton = nullptr;
    QLabel* m_statusField = nullptr;
    QProgressBar* m_progressIndicator = nullptr;
    QWidget* m_baseCurrencyView = nullptr;
    QComboBox* m_baseCurrencyPopup = nullptr;

    friend class NBCurrenciesTableModel;
    QString m_baseCurrencyNotice;
};

#endif

// The numerals window's panel of stocks: their variable names, companies and prices, the update
// of the prices from the configured services, and adding (through the add-stock sheet) and
// removing stocks, each undoable through the window's undo stack.
#ifndef NUMBERA_APP_NB_STOCKS_VIEW_CONTROLLER_H
#define NUMBERA_APP_NB_STOCKS_VIEW_CONTROLLER_H

#include <memory>
#include <vector>

#include "NBAddStockSheetController.h"
#include "NBNumbersViewController.h"
#include "NotificationCenter.h"

class NBEnvironmentController;
class NBStocksTableModel;
class NKStock;
class NKStocksManager;
class QLabel;
class QProgressBar;
class QPushButton;

class NBStocksViewController : public NBNumbersViewController,
                               public NBAddStockSheetControllerDelegate {
    Q_OBJECT

  public:
    enum UpdateButtonViewMode {
        IdleMode = 0,
        UpdateFailedMode = 1,
        UpdatedMode = 2,
        UpdatingMode = 3
    };
    enum Column { NameColumn = 0, CompanyColumn = 1, ValueColumn = 2, ColumnCount = 3 };

    explicit NBStocksViewController(NBEnvironmentController& environment,
                                    QWidget* parent = nullptr);
    ~NBStocksViewController() override;

    QString modelTypeName() const override;
    bool showsAddButton() const override { return true; }
    bool canRemove() const override;
    QWidget* accessoryView() override { return m_accessoryView; }
    void viewWillAppear() override;
    void reloadContent() override;
    const std::vector<std::shared_ptr<NKStock>>& dataSource() const { return m_stocks; }

    bool canUpdate() const;
    void updatePrices();
    void addAction() override;
    void removeAction() override;
    // Only stocks not listed yet are added, and only they are taken away again by undo.
    void addStocks(const std::vector<std::shared_ptr<NKStock>>& stocks);
    void removeStocks(const std::vector<std::shared_ptr<NKStock>>& stocks);
    int updateButtonViewMode() const { return m_updateButtonViewMode; }
    void setUpdateButtonViewMode(int mode);

    // The sheet, made on first use; null before.
    NBAddStockSheetController* sheetController() const { return m_sheetController; }
    QPushButton* updateButton() const { return m_updateButton; }
    QLabel* statusField() const { return m_statusField; }
    void setClickedRowForTesting(int row) { setClickedRow(row); }

    // NBAddStockSheetControllerDelegate
    void stockSheetControllerDidFinishWithStock(NBAddStockSheetController& sheet,
                                                const std::shared_ptr<NKStock>& stock) override;
    void stockSheetControllerDidCancel(NBAddStockSheetController& sheet) override;

  private:
    std::shared_ptr<NKStocksManager> manager() const;
    void refreshUpdateControlsVisibility();
    void sheetDidEnd();

    NBEnvironmentController& m_environment;
    NBStocksTableModel* m_model = nullptr;
    std::vector<std::shared_ptr<NKStock>> m_stocks;
    std::vector<NotificationObserver> m_observers;
    int m_updateButtonViewMode = IdleMode;
    QWidget* m_accessoryView = nullptr;
    QPushButton* m_updateButton = nullptr;
    QLabel* m_statusField = nullptr;
    QProgressBar* m_progressIndicator = nullptr;
    NBAddStockSheetController* m_sheetController = nullptr;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;

    friend class NBStocksTableModel;
};

#endif

// The sheet that adds a stock: it looks a ticker up at the quote service, shows the stock found
// with a proposed variable name and a currency, and hands the stock to its delegate. A failed
// search (no such ticker, or no answer from the service) says so and lets the user try again.
#ifndef NUMBERA_APP_NB_ADD_STOCK_SHEET_CONTROLLER_H
#define NUMBERA_APP_NB_ADD_STOCK_SHEET_CONTROLLER_H

#include <QDialog>
#include <QString>
#include <memory>
#include <vector>

#include "NCSimpleLocale.h"
#include "NKStockTickerValidator.h"

class NBAddStockSheetController;
class NBHyperlinkButton;
class NKStock;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTableWidget;

// Both messages are optional.
struct NBAddStockSheetControllerDelegate {
    virtual ~NBAddStockSheetControllerDelegate() = default;
    virtual void stockSheetControllerDidFinishWithStock(NBAddStockSheetController&,
                                                        const std::shared_ptr<NKStock>&) {}
    virtual void stockSheetControllerDidCancel(NBAddStockSheetController&) {}
};

class NBAddStockSheetController : public QDialog, public NKStockTickerValidatorDelegate {
    Q_OBJECT

  public:
    enum InterfaceMode {
        StartMode = 0,
        SearchingMode = 1,
        FoundMode = 2,
        ErrorMode = 3,
        NotFoundMode = 4
    };

    explicit NBAddStockSheetController(QWidget* parent = nullptr);
    ~NBAddStockSheetController() override;

    // Not owned.
    void setDelegate(NBAddStockSheetControllerDelegate* delegate) { m_delegate = delegate; }
    void setLocale(NCSimpleLocale locale) { m_locale = locale; }

    void searchFieldAction();
    void findButtonAction();
    void cancelButtonAction();
    void beginSearchForTicker(const QString& ticker);
    int interfaceMode() const { return m_interfaceMode; }
    void setInterfaceMode(int mode, const QString& ticker = QString());
    // "None", a separator, the favourite codes, a separator, every other code ("GBX" before
    // "GBP"), from the shared environment's currencies.
    void currencyMenu();
    std::vector<std::shared_ptr<NKStock>> foundStocks() const;
    static QString validVariableNameForTicker(const QString& ticker);
    QString requestedStockTicker() const { return m_requestedStockTicker; }

    QLineEdit* searchField() const { return m_searchField; }
    QPushButton* searchButton() const { return m_searchButton; }
    QLabel* statusLabel() const { return m_statusLabel; }
    QComboBox* currencyPopup() const { return m_currencyPopup; }
    QStackedWidget* tabView() const { return m_tabView; }
    NBHyperlinkButton* hyperlinkButton() const { return m_hyperlinkButton; }

    // NKStockTickerValidatorDelegate
    void stockValidatorDidFindStock(NKStockTickerValidator& validator,
                                    const std::shared_ptr<NKStock>& stock) override;
    void stockValidatorDidNotFindStockWithTicker(NKStockTickerValidator& validator,
                                                 const std::u16string& ticker) override;
    bool respondsToDidEncounterError() const override { return true; }
    void stockValidatorDidEncounterError(NKStockTickerValidator& validator, const NSError& error,
                                         const std::u16string& ticker) override;

  protected:
    void reject() override;

  private:
    void showFoundStock();

    QString m_requestedStockTicker;
    std::shared_ptr<NKStock> m_foundStock;
    std::unique_ptr<NKStockTickerValidator> m_stockTickerValidator;
    int m_interfaceMode = StartMode;
    NCSimpleLocale m_locale = kNCSimpleLocalDefault;
    NBAddStockSheetControllerDelegate* m_delegate = nullptr;

    QLineEdit* m_searchField = nullptr;
    QLabel* m_currencyLabel = nullptr;
    QComboBox* m_currencyPopup = nullptr;
    NBHyperlinkButton* m_hyperlinkButton = nullptr;
    QProgressBar* m_progressIndicator = nullptr;
    QLabel* m_statusLabel = nullptr;
    QPushButton* m_searchButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QStackedWidget* m_tabView = nullptr;
    QTableWidget* m_foundStockTable = nullptr;
};

#endif

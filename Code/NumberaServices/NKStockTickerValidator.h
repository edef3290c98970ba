// Looks up one ticker at the CSV quote service for the add-stock sheet and answers with a
// stock made from the quote, or that there is none.
#ifndef NUMBERA_SERVICES_NK_STOCK_TICKER_VALIDATOR_H
#define NUMBERA_SERVICES_NK_STOCK_TICKER_VALIDATOR_H

#include <memory>
#include <optional>
#include <string>

#include "NKStock.h"
#include "NKWebDataGatherer.h"

class NKStockTickerValidator;

struct NKStockTickerValidatorDelegate {
    virtual ~NKStockTickerValidatorDelegate() = default;
    virtual void stockValidatorDidFindStock(NKStockTickerValidator& validator,
                                            const std::shared_ptr<NKStock>& stock) {}
    virtual void stockValidatorDidNotFindStockWithTicker(NKStockTickerValidator& validator,
                                                         const std::u16string& ticker) {}
    // Optional: sent only when the delegate says it answers it.
    virtual bool respondsToDidEncounterError() const { return false; }
    virtual void stockValidatorDidEncounterError(NKStockTickerValidator& validator,
                                                 const NSError& error,
                                                 const std::u16string& ticker) {}
};

class NKStockTickerValidator : public NKWebDataGathererDelegate {
  public:
    // No client or queue means the shared ones.
    explicit NKStockTickerValidator(std::shared_ptr<HttpClient> client = nullptr,
                                    std::shared_ptr<MainQueue> queue = nullptr);
    ~NKStockTickerValidator() override;
    NKStockTickerValidator(const NKStockTickerValidator&) = delete;
    NKStockTickerValidator& operator=(const NKStockTickerValidator&) = delete;

    void findStockWithTicker(const std::optional<std::u16string>& ticker);
    // Stops the look-up; the validator takes the next one at once.
    void cancel();

    // Not retained; cleared by the owner.
    void setDelegate(NKStockTickerValidatorDelegate* delegate) { m_delegate = delegate; }

    void webDataGathererDidReturnData(NKWebDataGatherer& gatherer, const std::string& data,
                                      const std::any& userInfo) override;
    void webDataGathererDidFailWithError(NKWebDataGatherer& gatherer, const NSError& error,
                                         const std::any& userInfo) override;

  private:
    std::shared_ptr<NKWebDataGatherer> m_gatherer;
    std::shared_ptr<HttpClient> m_client;
    std::shared_ptr<MainQueue> m_queue;
    NKStockTickerValidatorDelegate* m_delegate = nullptr;
};

#endif

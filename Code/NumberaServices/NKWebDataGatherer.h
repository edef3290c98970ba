// Loads one web address at a time in the background and reports to its delegate on the main
// queue: the whole reply, a failure, or a cancel. Used on the main thread only; the owner
// reuses it for its next request.
#ifndef NUMBERA_SERVICES_NK_WEB_DATA_GATHERER_H
#define NUMBERA_SERVICES_NK_WEB_DATA_GATHERER_H

#include <any>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "HttpClient.h"
#include "MainQueue.h"
#include "NSError.h"

class NKWebDataGatherer;

struct NKWebDataGathererDelegate {
    virtual ~NKWebDataGathererDelegate() = default;
    virtual void webDataGathererDidReturnData(NKWebDataGatherer& gatherer, const std::string& data,
                                              const std::any& userInfo) {}
    virtual void webDataGathererDidFailWithError(NKWebDataGatherer& gatherer, const NSError& error,
                                                 const std::any& userInfo) {}
    virtual void webDataGathererDidCancel(NKWebDataGatherer& gatherer) {}
};

class NKWebDataGatherer : public std::enable_shared_from_this<NKWebDataGatherer> {
  public:
    static constexpr NSTimeInterval kTimeout = 20;
    // The error of a request without an address: its service is not configured.
    static constexpr const char* kErrorDomain = "NKWebDataGatherer";
    static constexpr int64_t kNoAddressError = 1;

    // No client or queue means the shared ones.
    static std::shared_ptr<NKWebDataGatherer> create(std::shared_ptr<HttpClient> client = nullptr,
                                                     std::shared_ptr<MainQueue> queue = nullptr);
    ~NKWebDataGatherer();
    NKWebDataGatherer(const NKWebDataGatherer&) = delete;
    NKWebDataGatherer& operator=(const NKWebDataGatherer&) = delete;

    // Ignored, with a log line and no callback, while a request runs. Without an address
    // nothing goes on the network and the request fails.
    void gatherDataFromURL(const std::optional<std::string>& url, std::any userInfo);
    // Stops the running request; its reply, if it still comes, is dropped. The gatherer is
    // idle afterwards and takes the next request.
    void cancel();
    bool dataGatheringInProgress() const { return m_dataGatheringInProgress; }
    // The reply of the last request (kept until the next starts or a cancel).
    const std::string& receivedData() const { return m_receivedData; }
    const std::any& userInfo() const { return m_userInfo; }

    // Not retained; cleared by the owner.
    NKWebDataGathererDelegate* delegate() const { return m_delegate; }
    void setDelegate(NKWebDataGathererDelegate* delegate) { m_delegate = delegate; }

  private:
    NKWebDataGatherer(std::shared_ptr<HttpClient> client, std::shared_ptr<MainQueue> queue);
    void finish(uint64_t request, HttpResponse response, const std::string& url);

    bool m_dataGatheringInProgress = false;
    std::string m_receivedData;
    std::any m_userInfo;
    NKWebDataGathererDelegate* m_delegate = nullptr;
    uint64_t m_request = 0;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    std::shared_ptr<HttpClient> m_client;
    std::shared_ptr<MainQueue> m_queue;
};

#endif

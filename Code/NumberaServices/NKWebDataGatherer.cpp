#include "NKWebDataGatherer.h"

#include "NKTextHelpers.h"
#include "NKWebServices.h"
#include "ThreadPool.h"

std::shared_ptr<NKWebDataGatherer> NKWebDataGatherer::create(std::shared_ptr<HttpClient> client,
                                                             std::shared_ptr<MainQueue> queue) {
    return std::shared_ptr<NKWebDataGatherer>(
        new NKWebDataGatherer(std::move(client), std::move(queue)));
}

NKWebDataGatherer::NKWebDataGatherer(std::shared_ptr<HttpClient> client,
                                     std::shared_ptr<MainQueue> queue)
    : m_client(client ? std::move(client) : HttpClient::shared()),
      m_queue(queue ? std::move(queue) : MainQueue::shared()) {}

NKWebDataGatherer::~NKWebDataGatherer() {
    if (m_cancelled) m_cancelled->store(true);
}

void NKWebDataGatherer::gatherDataFromURL(const std::optional<std::string>& url,
                                          std::any userInfo) {
    if (m_dataGatheringInProgress) {
        NKLogLine("Could not gather data - data gathering already in progress");
        return;
    }
    m_receivedData.clear();
    m_dataGatheringInProgress = true;
    m_userInfo = std::move(userInfo);
    const uint64_t request = ++m_request;
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    std::weak_ptr<NKWebDataGatherer> weak = weak_from_this();
    std::shared_ptr<MainQueue> queue = m_queue;

    if (!url) {
        // Reported from the main queue like any reply, so that callers see one order of events.
        HttpResponse response;
        response.error = NSError::withDomain(kErrorDomain, kNoAddressError,
                                             u"No address is configured for this data service");
        queue->post([weak, request, response] {
            if (auto self = weak.lock()) self->finish(request, response, "(none)");
        });
        return;
    }
    const NSTimeInterval timeout = NKWebServiceConfiguration::timeout(kTimeout);
    ThreadPool::global()->async([weak, queue, request, client = m_client, cancelled = m_cancelled,
                                 address = *url, timeout] {
        HttpResponse response = client->get(address, timeout, cancelled.get());
        queue->post([weak, request, response = std::move(response), address]() mutable {
            if (auto self = weak.lock()) self->finish(request, std::move(response), address);
        });
    });
}

void NKWebDataGatherer::finish(uint64_t request, HttpResponse response, const std::string& url) {
    // A reply to a cancelled or replaced request.
    if (request != m_request || !m_dataGatheringInProgress) return;
    m_cancelled.reset();
    m_dataGatheringInProgress = false;
    if (response.success) {
        m_receivedData = std::move(response.body);
        // The flag is already clear: the delegate may start the next request from here.
        std::any userInfo = m_userInfo;
        if (m_delegate) m_delegate->webDataGathererDidReturnData(*this, m_receivedData, userInfo);
        return;
    }
    m_receivedData.clear();
    NKLogLine("Connection failed! Error - " + NKUTF8(response.error.localizedDescription) + " " +
              url);
    std::any userInfo = std::move(m_userInfo);
    m_userInfo.reset();
    if (m_delegate) m_delegate->webDataGathererDidFailWithError(*this, response.error, userInfo);
}

void NKWebDataGatherer::cancel() {
    if (m_cancelled) m_cancelled->store(true);
    m_cancelled.reset();
    ++m_request;
    // Cleared here so that the owner can ask again at once (a ticker look-up after a cancel).
    m_dataGatheringInProgress = false;
    m_receivedData.clear();
    m_userInfo.reset();
    if (m_delegate) m_delegate->webDataGathererDidCancel(*this);
}

#include "NBAppTester.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Diagnostics.h"
#include "NBAnswerColumnController.h"
#include "NBDocumentController.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBKettraView.h"
#include "NBTextViewController.h"
#include "NCLineCollection.h"

namespace {

void log(const std::string& message) { Diagnostics::write(Diagnostics::Stream::output, message); }

}  // namespace

NBAppTester::NBAppTester(NBDocumentManager& documents, QObject* parent)
    : QObject(parent), m_documents(documents) {}

NBAppTester::~NBAppTester() {
    m_cancelled = true;
    if (m_thread.joinable()) m_thread.join();
}

void NBAppTester::pause(double seconds) {
    if (m_pause) {
        m_pause(seconds);
        return;
    }
    const auto milliseconds = static_cast<int>(seconds * 1000);
    if (QThread::currentThread() == thread()) {
        QEventLoop loop;
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

bool NBAppTester::onMainThread(const std::function<void()>& action) {
    if (m_cancelled) return false;
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    // Queued rather than blocking: a tester going away while a action waits must not wait for
    // the GUI thread that is destroying it.
    QMetaObject::invokeMethod(
        this,
        [action, done] {
            action();
            done->set_value();
        },
        Qt::QueuedConnection);
    while (finished.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
        if (m_cancelled) return false;
    return true;
}

void NBAppTester::runAsychronousTests() {
    log("Starting Asynchronous App Tests");
    m_thread = std::thread([this] {
        log("Starting Document Window Lifecycle Tests");
        testDocumentWindowLifecycle();
        log("Starting Deallocation Success Test");
        if (!onMainThread([this] { runDeallocationSuccessTests(); })) return;
        log("Asynchronous Test Finished");
        log(std::string(67, '-') + "\n\n");
        QMetaObject::invokeMethod(
            this,
            [this] {
                emit finished();
                m_keepRunning.reset();
                deleteLater();
            },
            Qt::QueuedConnection);
    });
}

void NBAppTester::testDocumentWindowLifecycle() {
    for (int i = 0; i < kDocumentCount; ++i) {
        Diagnostics::writef(Diagnostics::Stream::output, "Opening Document %i of %ld", i,
                            static_cast<long>(kDocumentCount));
        if (!onMainThread([this] { showDocument(); })) return;
    }
    log("Finished opening windows");
    log("Toggling Toolbars");
    if (!onMainThread([this] { toggleToolbars(); })) return;
    pause(1.0);
    log("Closing windows");
    onMainThread([this] { closeAllDocuments(); });
}

void NBAppTester::showDocument() {
    if (!m_documents.newDocument()) Diagnostics::error("Error: the document could not be made");
}

void NBAppTester::toggleToolbars() {
    if (m_documents.documents().empty()) {
        log("WARNING: No document found");
        return;
    }
    NBDocumentWindow* window = m_documents.documents().front();
    for (QToolBar* toolbar : window->findChildren<QToolBar*>(Qt::FindDirectChildrenOnly))
        toolbar->setVisible(!toolbar->isVisible());
}

void NBAppTester::closeAllDocuments() {
    m_documents.closeAllDocuments();
    // Closed windows are deleted from the event loop; the next action counts on them gone.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

NBDocumentWindow* NBAppTester::makeDocumentClosingAllOthers(bool closeAll) {
    if (closeAll) closeAllDocuments();
    NBDocumentWindow* window = m_documents.newDocument();
    if (!window) Diagnostics::error("Error creating document: the document could not be made");
    pause(1.0);
    return window;
}

void NBAppTester::runDeallocationSuccessTests() {
    QPointer<NBDocumentWindow> window = makeDocumentClosingAllOthers(true);
    if (!window) return;
    // Guarded pointers stand for retain counts: each must be empty once the document closed.
    std::vector<std::pair<std::string, QPointer<QObject>>> controllers = {
        {"NBKettraView", window->kettraView()},
        {"NBTextViewController", &window->document().textViewController()},
        {"NBAnswerColumnController", &window->document().answerColumnController()},
        {"NBDocumentController", &window->document()},
    };
    std::weak_ptr<NCLineCollection> lines = window->document().lineCollection();
    window->closeWithoutAsking();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const auto& [name, controller] : controllers) {
        if (controller.isNull()) continue;
        ++m_leaks;
        Diagnostics::errorf(
            "*** Assertion failure in NBAppTester, NBAppTester.cpp:65: "
            "Controller %s not deallocated when document closed",
            name.c_str());
    }
    if (!lines.expired()) {
        ++m_leaks;
        Diagnostics::error(
            "*** Assertion failure in NBAppTester, NBAppTester.cpp:65: "
            "Controller NCLineCollection not deallocated when document closed");
    }
}

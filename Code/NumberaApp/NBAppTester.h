// The developer menu's self-test: opens twenty documents, toggles a toolbar, closes them all,
// then checks that closing a document frees its controllers. The sequence runs on its own
// thread and sends every interface action to the GUI thread, waiting for it, so the interface is
// only touched there and the actions stay in order. Results go to the log; a controller that
// outlives its document is reported as an assertion failure (logged; the process goes on).
#ifndef NUMBERA_APP_NB_APP_TESTER_H
#define NUMBERA_APP_NB_APP_TESTER_H

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class NBDocumentManager;
class NBDocumentWindow;

class NBAppTester : public QObject {
    Q_OBJECT

  public:
    static constexpr int kDocumentCount = 20;

    // Lives on the GUI thread; deletes itself once the sequence has ended.
    explicit NBAppTester(NBDocumentManager& documents, QObject* parent = nullptr);
    ~NBAppTester() override;

    // How the sequence waits its seconds; by default real time (the GUI thread keeps serving
    // events while it waits).
    void setPause(std::function<void(double seconds)> pause) { m_pause = std::move(pause); }
    // Held until the sequence ends (the application's keepRunning token).
    void setKeepRunning(std::shared_ptr<void> token) { m_keepRunning = std::move(token); }

    void runAsychronousTests();
    // The actions; the first runs on the sequence's thread, the others on the GUI thread.
    void testDocumentWindowLifecycle();
    void runDeallocationSuccessTests();
    void showDocument();
    void closeAllDocuments();
    void toggleToolbars();
    NBDocumentWindow* makeDocumentClosingAllOthers(bool closeAll);

    // Controllers reported as not freed so far.
    int leaksFound() const { return m_leaks; }

  signals:
    void finished();

  private:
    // Runs the action on the GUI thread and waits; false when the tester is going away.
    bool onMainThread(const std::function<void()>& action);
    void pause(double seconds);

    NBDocumentManager& m_documents;
    std::function<void(double)> m_pause;
    std::thread m_thread;
    std::atomic<bool> m_cancelled{false};
    int m_leaks = 0;
    std::shared_ptr<void> m_keepRunning;
};

#endif

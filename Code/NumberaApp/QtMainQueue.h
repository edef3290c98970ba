// The main queue over Qt's event loop: tasks run on the thread of the context object (the GUI
// thread), posted from any thread; delayed and repeating tasks run on timers the queue owns.
// When the application object goes, every queue drops its timers and pending tasks; work
// posted afterwards (by objects that outlive the application) never runs.
#ifndef NUMBERA_APP_QT_MAIN_QUEUE_H
#define NUMBERA_APP_QT_MAIN_QUEUE_H

#include <QObject>
#include <QPointer>
#include <map>
#include <memory>
#include <mutex>

#include "MainQueue.h"

class QTimer;

class QtMainQueue final : public MainQueue {
  public:
    // Tasks run on the context's thread; without a context, on the application object's.
    explicit QtMainQueue(QObject* context = nullptr);
    ~QtMainQueue() override;

    TaskId post(Task task) override;
    TaskId postAfter(NSTimeInterval delay, Task task) override;
    TaskId repeating(NSTimeInterval firstDelay, NSTimeInterval interval, Task task) override;
    void cancel(TaskId id) override;
    const Clock& clock() const override { return m_clock; }

    // Drops the timers and tasks of every queue; run as the application object goes.
    static void shutDownAll();

  private:
    void shutDown();
    struct Entry {
        Task task;
        QTimer* timer = nullptr;  // owned by m_context's thread; none for a plain post
    };
    TaskId schedule(int firstDelayMs, int intervalMs, Task task);
    void run(TaskId id);

    SystemClock m_clock;
    std::unique_ptr<QObject> m_context;  // lives on the GUI thread; parents the timers
    std::mutex m_mutex;
    TaskId m_next = 0;
    std::map<TaskId, Entry> m_tasks;
    bool m_closed = false;
};

#endif

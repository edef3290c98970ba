#include "QtMainQueue.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <cmath>
#include <limits>
#include <set>

namespace {

std::mutex s_queuesMutex;
std::set<QtMainQueue*>& liveQueues() {
    static auto* queues = new std::set<QtMainQueue*>;
    return *queues;
}

int milliseconds(NSTimeInterval seconds) {
    if (!(seconds > 0)) return 0;
    const double ms = std::ceil(seconds * 1000.0);
    return ms >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                 : static_cast<int>(ms);
}

}  // namespace

QtMainQueue::QtMainQueue(QObject* context) : m_context(std::make_unique<QObject>()) {
    QThread* thread = context
                          ? context->thread()
                          : (QCoreApplication::instance() ? QCoreApplication::instance()->thread()
                                                          : QThread::currentThread());
    m_context->moveToThread(thread);
    std::lock_guard lock(s_queuesMutex);
    if (liveQueues().empty()) qAddPostRoutine(&QtMainQueue::shutDownAll);
    liveQueues().insert(this);
}

QtMainQueue::~QtMainQueue() {
    {
        std::lock_guard lock(s_queuesMutex);
        liveQueues().erase(this);
    }
    shutDown();
}

void QtMainQueue::shutDownAll() {
    std::set<QtMainQueue*> queues;
    {
        std::lock_guard lock(s_queuesMutex);
        queues = liveQueues();
    }
    for (QtMainQueue* queue : queues) queue->shutDown();
}

void QtMainQueue::shutDown() {
    std::unique_ptr<QObject> context;
    std::map<TaskId, Entry> tasks;
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        context = std::move(m_context);
        tasks.swap(m_tasks);
    }
    // The timers are children of the context and go with it; the tasks' captures go here,
    // outside the lock, in case they hold the last reference to something that posts.
    context.reset();
    tasks.clear();
}

MainQueue::TaskId QtMainQueue::post(Task task) { return schedule(-1, 0, std::move(task)); }

MainQueue::TaskId QtMainQueue::postAfter(NSTimeInterval delay, Task task) {
    return schedule(milliseconds(delay), 0, std::move(task));
}

MainQueue::TaskId QtMainQueue::repeating(NSTimeInterval firstDelay, NSTimeInterval interval,
                                         Task task) {
    return schedule(milliseconds(firstDelay), std::max(1, milliseconds(interval)), std::move(task));
}

MainQueue::TaskId QtMainQueue::schedule(int firstDelayMs, int intervalMs, Task task) {
    TaskId id;
    QObject* context;
    {
        std::lock_guard lock(m_mutex);
        id = ++m_next;
        if (m_closed) return id;
        m_tasks[id].task = std::move(task);
        context = m_context.get();
    }
    // Timers must be made on the thread that runs them, so even their start is posted.
    QMetaObject::invokeMethod(
        context,
        [this, id, firstDelayMs, intervalMs, context] {
            if (firstDelayMs < 0) {
                run(id);
                return;
            }
            auto* timer = new QTimer(context);
            timer->setSingleShot(true);
            timer->setInterval(firstDelayMs);
            {
                std::lock_guard lock(m_mutex);
                auto found = m_tasks.find(id);
                if (found == m_tasks.end()) {
                    delete timer;
                    return;
                }
                found->second.timer = timer;
            }
            QObject::connect(timer, &QTimer::timeout, context, [this, id, timer, intervalMs] {
                if (intervalMs > 0 && timer->isSingleShot()) {
                    timer->setSingleShot(false);
                    timer->start(intervalMs);
                }
                run(id);
            });
            timer->start();
        },
        Qt::QueuedConnection);
    return id;
}

void QtMainQueue::run(TaskId id) {
    Task task;
    bool once = true;
    {
        std::lock_guard lock(m_mutex);
        auto found = m_tasks.find(id);
        if (found == m_tasks.end()) return;
        once = !found->second.timer || found->second.timer->isSingleShot();
        if (once) {
            task = std::move(found->second.task);
            if (found->second.timer) found->second.timer->deleteLater();
            m_tasks.erase(found);
        } else {
            task = found->second.task;
        }
    }
    if (task) task();
}

void QtMainQueue::cancel(TaskId id) {
    std::lock_guard lock(m_mutex);
    auto found = m_tasks.find(id);
    if (found == m_tasks.end()) return;
    if (QTimer* timer = found->second.timer) {
        // Stopping and deleting belong to the timer's thread.
        QMetaObject::invokeMethod(
            timer,
            [timer] {
                timer->stop();
                timer->deleteLater();
            },
            Qt::QueuedConnection);
        // Stop now as well when on that thread, so a cancelled task never fires again.
        if (QThread::currentThread() == timer->thread()) timer->stop();
    }
    m_tasks.erase(found);
}

#pragma once

#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>
#include <QWaitCondition>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

// A fixed number of threads taking jobs from one queue, first come first
// served. The owner changes the queue only through edit(), under the lock; a
// job in a worker's hand is no longer in the queue and runs without the lock,
// so the GUI thread never waits for a photo to decode. Stopping lets every
// worker finish the job in hand; a thread is never terminated.
template <typename Job> class vbWorkerPool
{
public:
    // workers <= 0: one per core. idle, if given, runs on a worker that finds
    // the queue empty, before it sleeps: to let go of what it kept for the next job.
    vbWorkerPool(int workers, std::function<void(const Job&)> work, std::function<void()> idle = {})
        : m_work(std::move(work)), m_idle(std::move(idle))
    {
        const int count = workers > 0 ? workers : std::max(1, QThread::idealThreadCount());
        for (int i = 0; i < count; ++i) {
            m_threads.emplace_back(QThread::create([this] { loop(); }));
            m_threads.back()->start(QThread::InheritPriority);
        }
    }
    ~vbWorkerPool() { stop(); }
    vbWorkerPool(const vbWorkerPool&) = delete;
    vbWorkerPool& operator=(const vbWorkerPool&) = delete;

    // Runs edit(queue) under the lock and wakes the workers.
    template <typename F> void edit(F&& edit)
    {
        QMutexLocker lock(&m_mutex);
        edit(m_queue);
        m_wake.wakeAll();
    }
    // Jobs waiting, not counting those in hand.
    int pending() const
    {
        QMutexLocker lock(&m_mutex);
        return int(m_queue.size());
    }
    // Jobs waiting or in hand; 0 once every result is handed on.
    int unfinished() const
    {
        QMutexLocker lock(&m_mutex);
        return int(m_queue.size()) + m_busy;
    }
    int workerCount() const { return int(m_threads.size()); }

    // Drops the queue, lets the jobs in hand finish and ends the threads.
    void stop()
    {
        {
            QMutexLocker lock(&m_mutex);
            m_stop = true;
            m_queue.clear();
            m_wake.wakeAll();
        }
        for (const auto& thread : m_threads)
            thread->wait();
    }

private:
    void loop()
    {
        QMutexLocker lock(&m_mutex);
        for (;;) {
            if (m_queue.isEmpty() && !m_stop && m_idle) {
                lock.unlock();
                m_idle();
                lock.relock();
            }
            while (m_queue.isEmpty() && !m_stop)
                m_wake.wait(&m_mutex);
            if (m_stop)
                break;
            const Job job = m_queue.takeFirst();
            ++m_busy;
            lock.unlock();
            m_work(job);
            lock.relock();
            --m_busy;
        }
    }

    std::function<void(const Job&)> m_work;
    std::function<void()> m_idle;
    QList<Job> m_queue;
    mutable QMutex m_mutex;
    QWaitCondition m_wake;
    bool m_stop = false;
    int m_busy = 0;
    std::vector<std::unique_ptr<QThread>> m_threads;
};

#pragma once

// Work handed from one thread that reads to one that writes: at most a few
// batches wait between them, so memory stays that of a few batches however
// long the input is.

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace vardof::platform {

template <class T>
class BoundedQueue
{
public:
    explicit BoundedQueue(size_t capacity)
        : m_capacity(capacity)
    {
    }

    // False when the taker has stopped taking.
    bool put(T &&item)
    {
        std::unique_lock lock(m_mutex);
        m_room.wait(lock, [this] { return m_items.size() < m_capacity || m_stopped; });
        if (m_stopped)
            return false;
        m_items.push_back(std::move(item));
        m_ready.notify_one();
        return true;
    }

    // The putter is done, with the failure that ended it if any.
    void finish(std::exception_ptr failure = nullptr)
    {
        std::lock_guard lock(m_mutex);
        m_finished = true;
        m_failure = std::move(failure);
        m_ready.notify_all();
    }

    // The next item; false at the end; the putter's failure is thrown here.
    bool take(T &item)
    {
        std::unique_lock lock(m_mutex);
        m_ready.wait(lock, [this] { return !m_items.empty() || m_finished; });
        if (!m_items.empty()) {
            item = std::move(m_items.front());
            m_items.pop_front();
            m_room.notify_one();
            return true;
        }
        if (m_failure)
            std::rethrow_exception(m_failure);
        return false;
    }

    // Without waiting: false when the queue is full, or empty.
    bool tryPut(T &&item)
    {
        std::lock_guard lock(m_mutex);
        if (m_items.size() >= m_capacity || m_stopped)
            return false;
        m_items.push_back(std::move(item));
        m_ready.notify_one();
        return true;
    }
    bool tryTake(T &item)
    {
        std::lock_guard lock(m_mutex);
        if (m_items.empty())
            return false;
        item = std::move(m_items.front());
        m_items.pop_front();
        m_room.notify_one();
        return true;
    }

    // The taker gives up: a waiting or later put returns false.
    void stop()
    {
        std::lock_guard lock(m_mutex);
        m_stopped = true;
        m_room.notify_all();
    }

private:
    const size_t m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_room, m_ready;
    std::deque<T> m_items;
    bool m_finished = false, m_stopped = false;
    std::exception_ptr m_failure;
};

// The thread that fills a queue, stopped and joined however the taker's
// scope is left.
template <class T>
class Producer
{
public:
    template <class Body>
    Producer(BoundedQueue<T> &queue, Body body)
        : m_queue(queue), m_thread([this, body = std::move(body)]() mutable {
              std::exception_ptr failure;
              try {
                  body(m_queue);
              } catch (...) {
                  failure = std::current_exception();
              }
              m_queue.finish(failure);
          })
    {
    }
    ~Producer() { stop(); }
    Producer(const Producer &) = delete;
    Producer &operator=(const Producer &) = delete;

    void stop()
    {
        if (m_thread.joinable()) {
            m_queue.stop();
            m_thread.join();
        }
    }

private:
    BoundedQueue<T> &m_queue;
    std::thread m_thread;
};

} // namespace vardof::platform

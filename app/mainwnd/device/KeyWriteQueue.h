#pragma once
// The key and Fn layer each queued key-function write (task 8) is for. The task
// queue holds only task codes; a handler that appends task 8 pushes the key and
// layer it means here, and the worker takes them in the same order when it runs
// the task, so a second click before the worker's next tick no longer replaces
// the first key. Safe from any thread; its lock is a leaf.
#include <deque>
#include <mutex>

struct KeyWriteRequest
{
    int fnLayer = 0;
    int key = 0;  // key code above 0; -1 the Fn layer; -2 all four layers
};

class KeyWriteQueue
{
public:
    void Push(int fnLayer, int key)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_requests.push_back({fnLayer, key});
    }
    // The oldest request; false (and `request` untouched) when none is queued, as
    // for a write the worker runs itself (the profile apply).
    bool Pop(KeyWriteRequest& request)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        if (m_requests.empty()) return false;
        request = m_requests.front();
        m_requests.pop_front();
        return true;
    }
    // With the task queue emptied, its key writes go too.
    void Clear()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_requests.clear();
    }

private:
    std::mutex m_lock;
    std::deque<KeyWriteRequest> m_requests;
};

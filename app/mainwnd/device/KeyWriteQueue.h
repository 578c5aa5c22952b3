#pragma once
// The key and Fn layer each queued key-function write (task 8) is for. The task
// queue holds only task codes; a handler that appends task 8 pushes the key and
// layer it means here, and the worker takes them in the same order when it runs
// the task, so a second click before the worker's next tick no longer replaces
// the first key. A single key's request may carry the row the key had before
// the handler stored its new function, so that a write the keyboard does not
// confirm can be taken back. Safe from any thread; its lock is a leaf.
#include <deque>
#include <mutex>
#include <vector>

#include "services/db/DeviceDataRecords.h"

struct KeyWriteRequest
{
    int fnLayer = 0;
    int key = 0;  // key code above 0; -1 the Fn layer; -2 all four layers
    bool hasBefore = false;
    KeyMacroData before;  // the key's row before the change (with hasBefore)
};

class KeyWriteQueue
{
public:
    void Push(int fnLayer, int key, const KeyMacroData* before = nullptr)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        KeyWriteRequest request;
        request.fnLayer = fnLayer;
        request.key = key;
        if (before) {
            request.hasBefore = true;
            request.before = *before;
        }
        m_requests.push_back(request);
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
    // With the task queue emptied, its key writes go too; returns them, oldest first.
    std::vector<KeyWriteRequest> Clear()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        std::vector<KeyWriteRequest> dropped(m_requests.begin(), m_requests.end());
        m_requests.clear();
        return dropped;
    }

private:
    std::mutex m_lock;
    std::deque<KeyWriteRequest> m_requests;
};

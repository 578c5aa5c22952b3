#pragma once
// TaskQueue: the worker's first-in, first-out list of task codes, safe for
// appending, taking and emptying from any thread. Its lock is a leaf: nothing
// else is locked while it is held.
#include <deque>
#include <mutex>
#include <vector>

// The worker's task codes.
enum TaskCode : int {
    TASK_INIT = 1,
    TASK_DEVICE_ARRIVED = 2,
    TASK_DEVICE_REMOVED = 3,
    TASK_DEVICE_SELECTED = 4,
    TASK_RELOAD_PROFILES = 5,
    TASK_APPLY_PROFILE = 6,
    TASK_LOAD_KEY_LAYER = 7,
    TASK_WRITE_KEY_FUNCTIONS = 8,
    TASK_UPLOAD_MACROS = 10,
    TASK_WRITE_USER_LIGHT_MODE = 11,
    TASK_WRITE_LIGHT_MODE = 12,
    TASK_WRITE_MATRIX_MODE = 13,
    TASK_READ_MATRIX_COLORS = 14,
    TASK_WRITE_MATRIX_COLORS = 15,
    TASK_WRITE_PERFORMANCE = 16,
    TASK_READ_USER_KEY_COLORS = 17,
    TASK_WRITE_USER_KEY_COLORS = 18,
    TASK_FACTORY_RESET = 21,
    TASK_START_EFFECT_STREAM = 22,
    TASK_LCD_EXPORT_GIF = 23,
    TASK_LCD_SLOT_CHANGED = 24,
    TASK_LCD_SEND = 25,
    TASK_LCD_IMPORT_GIF = 26,
    TASK_LCD_COMMAND = 28,
    TASK_CHECK_VERSION = 29,
    TASK_DOWNLOAD_UPDATE = 30,
    TASK_DOWNLOAD_FIRMWARE_TOOL = 31,
};

class TaskQueue
{
public:
    void Append(int code)
    {
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_codes.push_back(code);
        }
        Woken();
    }
    // Appends only when the queue is empty (checked and appended under one lock).
    bool AppendIfEmpty(int code)
    {
        {
            std::lock_guard<std::mutex> hold(m_lock);
            if (!m_codes.empty()) return false;
            m_codes.push_back(code);
        }
        Woken();
        return true;
    }
    // Appends unless the same code is already waiting (checked and appended
    // under one lock), so quick repeats of a change do not pile up while a
    // change made behind another task is never lost.
    bool AppendUnlessQueued(int code)
    {
        {
            std::lock_guard<std::mutex> hold(m_lock);
            for (int queued : m_codes)
                if (queued == code) return false;
            m_codes.push_back(code);
        }
        Woken();
        return true;
    }
    // Called after each append, outside the queue's lock: wakes the worker
    // that waits for work.
    void SetWake(void (*wake)(void*), void* context)
    {
        m_wake = wake;
        m_wakeContext = context;
    }
    bool TakeFront(int& code)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        if (m_codes.empty()) return false;
        code = m_codes.front();
        m_codes.pop_front();
        return true;
    }
    // Empties the queue and returns what it held, in order.
    std::vector<int> Clear()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        std::vector<int> dropped(m_codes.begin(), m_codes.end());
        m_codes.clear();
        return dropped;
    }
    bool IsEmpty() const
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_codes.empty();
    }
    size_t Size() const
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_codes.size();
    }
    std::vector<int> Snapshot() const
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return std::vector<int>(m_codes.begin(), m_codes.end());
    }

private:
    void Woken()
    {
        if (m_wake) m_wake(m_wakeContext);
    }

    mutable std::mutex m_lock;
    std::deque<int> m_codes;
    void (*m_wake)(void*) = nullptr;  // set before the worker starts
    void* m_wakeContext = nullptr;
};

#include "DialogCloseLatch.h"

#include "MDialog.h"

void DialogCloseLatch::Request(UINT result)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_requested = true;
    switch (m_state) {
        case State::NotShown:
            m_pending = true;
            m_result = result;
            break;
        case State::Shown: ::PostMessageW(m_window, WEXA::WM_USER_CLOSE_WINDOW, result, 0); break;
        case State::Gone: break;
    }
}

void DialogCloseLatch::Attach(HWND window)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_state != State::NotShown || !window) return;
    m_state = State::Shown;
    m_window = window;
    if (m_pending) {
        m_pending = false;
        ::PostMessageW(m_window, WEXA::WM_USER_CLOSE_WINDOW, m_result, 0);
    }
}

void DialogCloseLatch::Detach()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_state = State::Gone;
    m_window = nullptr;
    m_pending = false;
}

bool DialogCloseLatch::Requested() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_requested;
}

bool DialogCloseLatch::Attached() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_state == State::Shown;
}

#pragma once
// The main window's hold on one kind of wait dialog (the spinner of the profile
// apply and the factory reset, the LCD page's two dialogs), shared by the UI
// thread, which replaces and runs the dialog, and the worker, which closes it
// when its task is done.
//
// The UI thread installs the new dialog BEFORE it queues the task, then runs
// it modally:
//
//     WaitDlg* dlg = m_waitDlg.Reset(new WaitDlg);   // deletes the previous one
//     m_taskQueue.Append(TASK_FACTORY_RESET);
//     dlg->DoModal(GetSafeHwnd());
//
// and the worker, after the task (also when it dropped or flushed it):
//
//     m_waitDlg.Close();
//
// Close takes the slot's lock, so the worker never reads a pointer the UI
// thread is deleting; the dialog's close latch keeps a request made before its
// window exists. Lock order: the slot's lock, then the dialog's latch lock;
// both are leaves below every engine lock, and only PostMessageW runs under
// them.
#include <windows.h>

#include <cstddef>
#include <mutex>
#include <vector>

template <class Dialog>
class WaitDialogSlot
{
public:
    WaitDialogSlot() = default;
    ~WaitDialogSlot()
    {
        Reset(nullptr);
        for (Dialog* dialog : m_retired) {
            dialog->DestroyWindow();
            delete dialog;
        }
    }
    WaitDialogSlot(const WaitDialogSlot&) = delete;
    WaitDialogSlot& operator=(const WaitDialogSlot&) = delete;

    // UI thread: keeps dialog (may be null) and deletes the one held so far.
    // A dialog whose window still exists (a new wait begun from inside its modal
    // run) is closed and deleted later, once its window is gone, never while
    // its modal loop runs. Returns dialog.
    Dialog* Reset(Dialog* dialog)
    {
        Dialog* old;
        {
            std::lock_guard<std::mutex> hold(m_lock);
            old = m_dialog;
            m_dialog = dialog;
        }
        DeleteRetired();
        if (old && old->GetSafeHwnd()) {
            old->RequestClose(IDCANCEL);
            m_retired.push_back(old);
        } else {
            delete old;
        }
        return dialog;
    }

    // UI thread: the dialog held now, null when none.
    Dialog* Get() const
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_dialog;
    }

    // Any thread: asks the dialog held now to close with result; kept until its
    // window exists; nothing when there is none or its window is gone.
    void Close(UINT result = IDOK)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        if (m_dialog) m_dialog->RequestClose(result);
    }

    // Any thread: calls f with the dialog held now, under the slot's lock (so
    // the dialog is not deleted meanwhile); nothing when there is none. f
    // must not wait for the UI thread.
    template <class F>
    void With(F f)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        if (m_dialog) f(m_dialog);
    }

    // Replaced dialogs whose windows still existed then (UI thread).
    size_t RetiredCount() const { return m_retired.size(); }

private:
    void DeleteRetired()
    {
        for (size_t i = 0; i < m_retired.size();) {
            if (m_retired[i]->GetSafeHwnd()) {
                ++i;
            } else {
                delete m_retired[i];
                m_retired.erase(m_retired.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
    }

    mutable std::mutex m_lock;
    Dialog* m_dialog = nullptr;
    std::vector<Dialog*> m_retired;  // UI thread only
};

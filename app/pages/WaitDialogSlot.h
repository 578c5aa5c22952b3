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

#include <mutex>

template <class Dialog>
class WaitDialogSlot
{
public:
    WaitDialogSlot() = default;
    ~WaitDialogSlot() { Reset(nullptr); }
    WaitDialogSlot(const WaitDialogSlot&) = delete;
    WaitDialogSlot& operator=(const WaitDialogSlot&) = delete;

    // UI thread, outside the dialog's modal run: keeps dialog (may be null) and
    // deletes the one held so far. Returns dialog.
    Dialog* Reset(Dialog* dialog)
    {
        Dialog* old;
        {
            std::lock_guard<std::mutex> hold(m_lock);
            old = m_dialog;
            m_dialog = dialog;
        }
        delete old;
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

private:
    mutable std::mutex m_lock;
    Dialog* m_dialog = nullptr;
};

#pragma once

#include "ProgressBadge.h"

#include <shobjidl.h>
#include <windows.h>

// A run's progress on the window's taskbar button, through the shell's taskbar list. The shell
// says when the button exists, and says it again after Explorer restarts; the button then
// shows what was last asked for. Without a shell that says so, it shows nowhere.
class TaskbarBadge final : public ProgressBadge {
public:
    TaskbarBadge();
    TaskbarBadge(const TaskbarBadge&) = delete;
    TaskbarBadge& operator=(const TaskbarBadge&) = delete;
    TaskbarBadge(TaskbarBadge&&) = delete;
    TaskbarBadge& operator=(TaskbarBadge&&) = delete;
    ~TaskbarBadge() override;

    // Listens to `window` for the shell's word, until the window is destroyed.
    void Attach(HWND window);
    void show(State state, double done) override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
    void ButtonCreated();
    void Release();
    void Apply();

    const UINT m_buttonCreated;
    bool m_comStarted = false;
    HWND m_window = nullptr;
    ITaskbarList3* m_taskbar = nullptr;
    State m_state = State::Hidden;
    double m_done = 0;
};

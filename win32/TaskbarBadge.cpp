#include "TaskbarBadge.h"

#include <commctrl.h>

namespace {
// The taskbar's own scale for SetProgressValue.
constexpr ULONGLONG kWhole = 10000;
} // namespace

TaskbarBadge::TaskbarBadge()
    : m_buttonCreated(::RegisterWindowMessageW(L"TaskbarButtonCreated")),
      m_comStarted(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

TaskbarBadge::~TaskbarBadge() {
    Release();
    if (m_comStarted) {
        ::CoUninitialize();
    }
}

void TaskbarBadge::Attach(HWND window) {
    m_window = window;
    // An elevated window would not hear the shell otherwise.
    ::ChangeWindowMessageFilterEx(window, m_buttonCreated, MSGFLT_ALLOW, nullptr);
    ::SetWindowSubclass(window, &WindowProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK TaskbarBadge::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR /*id*/, DWORD_PTR self) {
    auto* badge = reinterpret_cast<TaskbarBadge*>(self);
    if (msg == badge->m_buttonCreated) {
        badge->ButtonCreated();
    } else if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, &WindowProc, 0);
        badge->Release();
        badge->m_window = nullptr;
    }
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

void TaskbarBadge::ButtonCreated() {
    Release();
    if (FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&m_taskbar)))) {
        m_taskbar = nullptr;
        return;
    }
    if (FAILED(m_taskbar->HrInit())) {
        Release();
        return;
    }
    Apply();
}

void TaskbarBadge::Release() {
    if (m_taskbar != nullptr) {
        m_taskbar->Release();
        m_taskbar = nullptr;
    }
}

void TaskbarBadge::show(State state, double done) {
    m_state = state;
    m_done = done;
    Apply();
}

void TaskbarBadge::Apply() {
    if (m_taskbar == nullptr || m_window == nullptr) {
        return;
    }
    TBPFLAG flag = TBPF_NOPROGRESS;
    switch (m_state) {
    case State::Hidden:
        break;
    case State::Normal:
        flag = TBPF_NORMAL;
        break;
    case State::Paused:
        flag = TBPF_PAUSED;
        break;
    case State::Error:
        flag = TBPF_ERROR;
        break;
    }
    // The value first: it would turn a paused or failed button back to normal.
    if (m_state != State::Hidden) {
        m_taskbar->SetProgressValue(m_window, static_cast<ULONGLONG>(m_done * kWhole), kWhole);
    }
    m_taskbar->SetProgressState(m_window, flag);
}

#include "CAboutDlg.h"

#include "DialogForm.h"
#include "DialogTemplateEx.h"

#include <algorithm>

void CAboutDlg::DoModal(HINSTANCE instance, HWND owner) {
    const DialogTemplateEx form(DialogForms::About());
    ::DialogBoxIndirectParamW(instance, form.Get(), owner, &DialogProc, 0);
}

INT_PTR CALLBACK CAboutDlg::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM /*lParam*/) {
    if (msg == WM_INITDIALOG) {
        CentreOnOwner(hwnd);
        return TRUE;
    }
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(hwnd, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

// The dialog manager would put the box at the owner's top-left corner. Centred on the main
// window instead, as far as the screen's work area allows.
void CAboutDlg::CentreOnOwner(HWND hwnd) {
    RECT owner{};
    RECT box{};
    ::GetWindowRect(::GetWindow(hwnd, GW_OWNER), &owner);
    ::GetWindowRect(hwnd, &box);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromRect(&owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const LONG width = box.right - box.left;
    const LONG height = box.bottom - box.top;
    const LONG x = (owner.left + owner.right - width) / 2;
    const LONG y = (owner.top + owner.bottom - height) / 2;
    ::SetWindowPos(hwnd, nullptr, std::clamp(x, work.left, std::max(work.left, work.right - width)),
                   std::clamp(y, work.top, std::max(work.top, work.bottom - height)), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

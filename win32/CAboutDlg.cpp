#include "CAboutDlg.h"

#include "DialogForm.h"
#include "DialogTemplateEx.h"

void CAboutDlg::DoModal(HINSTANCE instance, HWND owner) {
    const DialogTemplateEx form(DialogForms::About());
    ::DialogBoxIndirectParamW(instance, form.Get(), owner, &DialogProc, 0);
}

INT_PTR CALLBACK CAboutDlg::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM /*lParam*/) {
    if (msg == WM_INITDIALOG) {
        return TRUE;
    }
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(hwnd, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

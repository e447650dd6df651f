#pragma once

#include <windows.h>

// The About box, centred on its owner: the application icon, the tool's name and its series,
// and OK.
class CAboutDlg final {
public:
    static void DoModal(HINSTANCE instance, HWND owner);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static void CentreOnOwner(HWND hwnd);
};

#pragma once

#include <string>
#include <windows.h>

// Turns a static text control into a web link by subclassing it: underlined in the dialog's
// font, blue, red while the mouse is over it, the hand cursor, and a release of the left button
// that opens the address once. The control's user data points to the object while attached;
// the control's destruction detaches it.
class CMyStaticLink final {
public:
    using UrlOpener = void (*)(const std::wstring& url);

    CMyStaticLink() = default;
    CMyStaticLink(const CMyStaticLink&) = delete;
    CMyStaticLink& operator=(const CMyStaticLink&) = delete;
    CMyStaticLink(CMyStaticLink&&) = delete;
    CMyStaticLink& operator=(CMyStaticLink&&) = delete;
    ~CMyStaticLink() = default;

    // False for a null window or while already attached.
    bool Attach(HWND hwnd);
    // False, and nothing changes, when the title takes 32 UTF-8 bytes or more or the URL 1024.
    bool SetLink(const std::wstring& title, const std::wstring& url);
    HWND Detach();

    bool IsHovered() const { return m_hover; }
    // How every link opens its address; the shell's "open" unless replaced. Returns the old one.
    static UrlOpener SetUrlOpener(UrlOpener opener);

private:
    static LRESULT CALLBACK LinkWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void TrackHover();
    void Paint();
    void Open() const;
    // The control's own text, cut to what a title holds.
    std::wstring OwnText() const;

    bool m_hover = false;
    HWND m_hWnd = nullptr;
    HFONT m_hFont = nullptr;
    std::wstring m_title;
    std::wstring m_url;
    WNDPROC m_oldProc = nullptr;
};

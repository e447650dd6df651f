#include "CMyStaticLink.h"

#include "WideText.h"
#include "WindowLinks.h"

#include <shellapi.h>

namespace {

constexpr COLORREF ColorRef(WindowLinks::Rgb colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

void ShellOpen(const std::wstring& url) {
    ::ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

CMyStaticLink::UrlOpener g_urlOpener = &ShellOpen;

} // namespace

CMyStaticLink::UrlOpener CMyStaticLink::SetUrlOpener(UrlOpener opener) {
    const UrlOpener old = g_urlOpener;
    g_urlOpener = opener;
    return old;
}

bool CMyStaticLink::Attach(HWND hwnd) {
    if (hwnd == nullptr || m_hWnd != nullptr) {
        return false;
    }
    ::SetWindowLongPtrW(hwnd, GWL_STYLE, ::GetWindowLongPtrW(hwnd, GWL_STYLE) | SS_NOTIFY);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_oldProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LinkWndProc)));
    auto* const parentFont =
        reinterpret_cast<HFONT>(::SendMessageW(::GetParent(hwnd), WM_GETFONT, 0, 0));
    m_hWnd = hwnd;
    LOGFONTW font{};
    ::GetObjectW(parentFont, sizeof font, &font);
    font.lfUnderline = TRUE;
    m_hFont = ::CreateFontIndirectW(&font);
    return true;
}

bool CMyStaticLink::SetLink(const std::wstring& title, const std::wstring& url) {
    if (WideText::ToUtf8(title).size() >= WindowLinks::kTitleCapacity ||
        WideText::ToUtf8(url).size() >= WindowLinks::kUrlCapacity) {
        return false;
    }
    m_title = title;
    m_url = url;
    if (m_hWnd != nullptr) {
        RECT rect{};
        ::GetWindowRect(m_hWnd, &rect);
        ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&rect), 2);
        ::InvalidateRect(::GetParent(m_hWnd), &rect, TRUE);
    }
    return true;
}

HWND CMyStaticLink::Detach() {
    if (m_hWnd == nullptr) {
        return nullptr;
    }
    HWND hwnd = m_hWnd;
    HFONT font = m_hFont;
    m_hWnd = nullptr;
    m_hFont = nullptr;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldProc));
    if (font != nullptr) {
        ::DeleteObject(font);
    }
    m_hover = false;
    m_oldProc = nullptr;
    m_title.clear();
    m_url.clear();
    return hwnd;
}

LRESULT CALLBACK CMyStaticLink::LinkWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* link = reinterpret_cast<CMyStaticLink*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (link == nullptr || link->m_hWnd == nullptr) {
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    return link->HandleMessage(msg, wParam, lParam);
}

LRESULT CMyStaticLink::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_DESTROY: {
        const WNDPROC oldProc = m_oldProc;
        HWND hwnd = Detach();
        return ::CallWindowProcW(oldProc, hwnd, msg, wParam, lParam);
    }
    case WM_PAINT:
        Paint();
        return 1;
    case WM_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return 1;
    case WM_MOUSEMOVE:
        TrackHover();
        return 0;
    case WM_LBUTTONDOWN:
        return 0;
    case WM_LBUTTONUP:
        Open();
        return 0;
    case WM_CAPTURECHANGED:
        m_hover = false;
        return 0;
    default:
        return ::CallWindowProcW(m_oldProc, m_hWnd, msg, wParam, lParam);
    }
}

void CMyStaticLink::TrackHover() {
    if (!m_hover) {
        ::SetCapture(m_hWnd);
        m_hover = true;
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        return;
    }
    POINT cursor{};
    RECT rect{};
    ::GetCursorPos(&cursor);
    ::GetWindowRect(m_hWnd, &rect);
    // Every edge counts as inside.
    if (cursor.x >= rect.left && cursor.x <= rect.right && cursor.y >= rect.top &&
        cursor.y <= rect.bottom) {
        return;
    }
    m_hover = false;
    ::ReleaseCapture();
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CMyStaticLink::Paint() {
    const std::wstring text = m_title.empty() ? OwnText() : m_title;
    RECT rect{};
    ::GetClientRect(m_hWnd, &rect);
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    // The dialog's background first: smoothed text drawn over the last colour's would bleed
    // into it.
    const auto background = reinterpret_cast<HBRUSH>(
        ::SendMessageW(::GetParent(m_hWnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(m_hWnd)));
    ::FillRect(dc, &rect, background != nullptr ? background : ::GetSysColorBrush(COLOR_3DFACE));
    const HGDIOBJ oldFont = ::SelectObject(dc, m_hFont);
    ::SetTextColor(dc, ColorRef(m_hover ? WindowLinks::kHoverColour : WindowLinks::kLinkColour));
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, text.c_str(), -1, &rect, DT_SINGLELINE | DT_VCENTER);
    ::SelectObject(dc, oldFont);
    ::EndPaint(m_hWnd, &paint);
}

void CMyStaticLink::Open() const {
    g_urlOpener(m_url.empty() ? OwnText() : m_url);
}

std::wstring CMyStaticLink::OwnText() const {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()))));
    return WideText::CutToUtf8Bytes(text, WindowLinks::kTitleCapacity - 1);
}

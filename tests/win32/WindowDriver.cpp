#include "WindowDriver.h"

#include "Catalog.h"
#include "WideText.h"

#include <commctrl.h>

namespace {

// The static of a message box that holds its text.
constexpr int kMessageBoxText = 0xFFFF;

std::vector<HWND> ThreadWindows(DWORD thread) {
    std::vector<HWND> windows;
    ::EnumThreadWindows(
        thread,
        [](HWND window, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

} // namespace

WindowDriver::WindowDriver(std::vector<std::wstring> files, WindowServices services) {
    m_thread = std::thread([this, files = std::move(files), services] {
        m_uiThread = ::GetCurrentThreadId();
        CVeltraneDlg dlg(::GetModuleHandleW(nullptr), files, services);
        m_dlg = &dlg;
        dlg.DoModal();
        m_dlg = nullptr;
        m_ended = true;
    });
    // The window exists from its first message on.
    m_dialog = Poll(20, [this]() -> HWND {
        const CVeltraneDlg* dlg = m_dlg;
        return dlg != nullptr ? dlg->Window() : nullptr;
    });
}

WindowDriver::~WindowDriver() {
    if (!m_ended) {
        Close();
    }
    m_thread.join();
}

void WindowDriver::Click(int id) const {
    ::PostMessageW(Item(id), BM_CLICK, 0, 0);
}

void WindowDriver::SetTargetText(const std::wstring& text) const {
    ::SendMessageW(Item(1000), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void WindowDriver::SetChecked(int row, bool checked) const {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    ::SendMessageW(Item(1002), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

int WindowDriver::RowCount() const {
    return static_cast<int>(::SendMessageW(Item(1002), LVM_GETITEMCOUNT, 0, 0));
}

bool WindowDriver::IsChecked(int row) const {
    return (::SendMessageW(Item(1002), LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) >> 12) == 2;
}

std::vector<RowStore::Row> WindowDriver::StoredRows() const {
    CVeltraneDlg* dlg = m_dlg;
    return dlg != nullptr ? dlg->listedRows() : std::vector<RowStore::Row>();
}

std::wstring WindowDriver::RowText(int row, int column) const {
    std::wstring text(1024, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    text.resize(static_cast<std::size_t>(
        ::SendMessageW(Item(1002), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item))));
    return text;
}

HWND WindowDriver::WaitForWindow(const std::wstring& caption, double seconds) const {
    return Poll(seconds, [this, &caption]() -> HWND {
        for (HWND window : ThreadWindows(m_uiThread)) {
            if (::IsWindowVisible(window) != FALSE && Text(window) == caption) {
                return window;
            }
        }
        return nullptr;
    });
}

template <typename Matches> HWND WindowDriver::MessageBoxWhere(Matches matches) const {
    for (HWND window : ThreadWindows(m_uiThread)) {
        HWND textControl = ::GetDlgItem(window, kMessageBoxText);
        if (window != m_dialog && textControl != nullptr && matches(Text(textControl))) {
            return window;
        }
    }
    return nullptr;
}

HWND WindowDriver::MessageBoxWith(const std::wstring& text) const {
    return MessageBoxWhere([&text](const std::wstring& shown) { return shown == text; });
}

bool WindowDriver::AnswerQuestion(const std::wstring& lastLine, int button, double seconds) const {
    const HWND box = Poll(seconds, [this, &lastLine] {
        return MessageBoxWhere([&lastLine](const std::wstring& shown) {
            return shown.ends_with(L"\n" + lastLine) && shown.size() > lastLine.size() + 1;
        });
    });
    if (box == nullptr) {
        return false;
    }
    const bool noByDefault =
        (::GetWindowLongW(::GetDlgItem(box, IDNO), GWL_STYLE) & BS_DEFPUSHBUTTON) != 0;
    ::PostMessageW(box, WM_COMMAND, button, 0);
    return Poll(seconds, [box] { return ::IsWindow(box) == FALSE; }) && noByDefault;
}

bool WindowDriver::CloseMessageBox(const std::wstring& text, double seconds) const {
    const HWND box = Poll(seconds, [this, &text] { return MessageBoxWith(text); });
    if (box == nullptr) {
        return false;
    }
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    return Poll(seconds, [box] { return ::IsWindow(box) == FALSE; });
}

bool WindowDriver::Close() {
    // A run whose end notice was just closed may need the window a moment longer, which the
    // window says by refusing the close; as a user would, the driver closes that box and retries.
    const std::wstring refusal = WideText::FromUtf8(Catalog::Translated("wait current thread"));
    for (int attempt = 0; attempt < 10; ++attempt) {
        ::PostMessageW(m_dialog, WM_COMMAND, IDCANCEL, 0);
        Poll(10, [this, &refusal] { return m_ended || MessageBoxWith(refusal) != nullptr; });
        if (m_ended || !CloseMessageBox(refusal, 1)) {
            return m_ended;
        }
    }
    return false;
}

std::wstring WindowDriver::Text(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring WindowDriver::ClassName(HWND window) {
    std::wstring name(256, L'\0');
    name.resize(static_cast<std::size_t>(
        ::GetClassNameW(window, name.data(), static_cast<int>(name.size()))));
    return name;
}

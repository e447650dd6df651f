#pragma once

#include "CVeltraneDlg.h"

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>
#include <windows.h>

// Runs the real main window modally on a thread of its own and works it from the test's
// thread as a user would: clicks, keys and drops go in as messages, and message boxes are
// found and closed with OK.
class WindowDriver final {
public:
    explicit WindowDriver(std::vector<std::wstring> files = {}, WindowServices services = {});
    WindowDriver(const WindowDriver&) = delete;
    WindowDriver& operator=(const WindowDriver&) = delete;
    WindowDriver(WindowDriver&&) = delete;
    WindowDriver& operator=(WindowDriver&&) = delete;
    // Closes the window if it is still open and waits for its thread.
    ~WindowDriver();

    HWND Dialog() const { return m_dialog; }
    HWND Item(int id) const { return ::GetDlgItem(m_dialog, id); }
    DWORD UiThread() const { return m_uiThread; }
    void Click(int id) const;
    void SetTargetText(const std::wstring& text) const;
    void SetChecked(int row, bool checked) const;
    int RowCount() const;
    bool IsChecked(int row) const;
    std::wstring RowText(int row, int column) const;
    // The rows as a run reads them, read from the test's thread as a worker would.
    std::vector<RowStore::Row> StoredRows() const;
    // Waits for a window of the window's thread captioned `caption`; null after `seconds`.
    HWND WaitForWindow(const std::wstring& caption, double seconds = 10) const;
    // Waits for a message box with this text, closes it with OK, and says whether it came.
    bool CloseMessageBox(const std::wstring& text, double seconds = 20) const;
    // Waits for a Yes/No box whose text ends with `lastLine`, answers it with `button` (IDYES or
    // IDNO), and says whether it came with No as its default.
    bool AnswerQuestion(const std::wstring& lastLine, int button, double seconds = 20) const;
    // Asks the window to close as its close box would; true once the modal loop has ended.
    bool Close();

    // Asks `found` every 20 ms until it gives a true value or `seconds` are over; returns its
    // last answer.
    template <typename Found> static auto Poll(double seconds, Found found) -> decltype(found()) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        for (;;) {
            if (auto result = found(); result || std::chrono::steady_clock::now() > deadline) {
                return result;
            }
            ::Sleep(20);
        }
    }
    static std::wstring Text(HWND window);
    static std::wstring ClassName(HWND window);

private:
    // A message box of the window's thread whose text `matches`, or null.
    template <typename Matches> HWND MessageBoxWhere(Matches matches) const;
    HWND MessageBoxWith(const std::wstring& text) const;

    std::thread m_thread;
    std::atomic<CVeltraneDlg*> m_dlg{nullptr};
    std::atomic<HWND> m_dialog{nullptr};
    std::atomic<DWORD> m_uiThread{0};
    std::atomic<bool> m_ended{false};
};

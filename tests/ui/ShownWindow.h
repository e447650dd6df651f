#pragma once

#include "CVeltraneDlg.h"
#include "WindowUser.h"

#include <QString>
#include <memory>
#include <optional>

// The main window of one test function: made and shown before it, gone after it, with its
// user standing by.
class ShownWindow final {
public:
    enum class Wait { Exposed, Active };

    // Makes and shows a fresh window; false when it is not exposed, or made active, in time.
    [[nodiscard]] bool show(Wait wait = Wait::Exposed);
    // Destroys the window, if still there, and says what it left behind: a busy run, other
    // windows. Empty when nothing.
    [[nodiscard]] QString tearDown();

    CVeltraneDlg* get() const { return m_dlg.get(); }
    CVeltraneDlg* operator->() const { return m_dlg.get(); }
    WindowUser& user() { return *m_user; }
    const WindowUser& user() const { return *m_user; }

private:
    std::unique_ptr<CVeltraneDlg> m_dlg;
    std::optional<WindowUser> m_user;
};

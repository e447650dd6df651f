#include "ControlIds.h"
#include "FileBytes.h"
#include "RecordingBadge.h"
#include "WideText.h"
#include "WindowDriver.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <mutex>

using namespace ControlIds;
using State = ProgressBadge::State;

namespace {

// Stands in for the accessibility property service, which wine lacks: what each control was told.
class RecordingProps final : public AccessibleProps {
public:
    void Name(HWND control, const std::wstring& name) override {
        const std::lock_guard lock(m_mutex);
        m_told[::GetDlgCtrlID(control)] = name;
    }
    void Link(HWND control, const std::wstring& name, const std::wstring& address) override {
        Name(control, L"link " + name + L" " + address);
    }
    std::map<int, std::wstring> Told() const {
        const std::lock_guard lock(m_mutex);
        return m_told;
    }

private:
    mutable std::mutex m_mutex;
    std::map<int, std::wstring> m_told;
};

struct RunCase {
    // MiB per source; a negative one is missing, and joined all the same.
    std::vector<int> sizes;
    // Between Normal and Hidden: Error, Paused for a Stop at the first message, or none.
    State end;
    double lastDone;
    const char* notice;
};

} // namespace

// The badge's states in order and its share by the notice, the shares never going back.
TEST(ProgressAndNamesTest, TheWholeRunShowsOnTheBadgeUntilItsNoticeCloses) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / L"veltrane-进度";
    std::filesystem::create_directories(dir);
    const std::vector<RunCase> cases{
        {{3, 2}, State::Normal, 1.0, "combine end"},
        {{2, -1, 1}, State::Error, 2 / 3.0, "combine end\n出现错误：目标文件可能不完整"},
        {{2, -1, 1}, State::Paused, 2 / 3.0, "combine end\n已停止：目标文件不完整"},
    };
    for (const RunCase& c : cases) {
        std::vector<std::wstring> files;
        for (const int size : c.sizes) {
            files.push_back((dir / (std::to_wstring(static_cast<int>(c.end) * 10 +
                                                    static_cast<int>(files.size()))))
                                .wstring());
            if (size >= 0) {
                FileBytes::write(WideText::ToUtf8(files.back()),
                                 FileBytes::pattern(size * FileBytes::kMiB, 1));
            }
        }
        RecordingBadge badge;
        WindowDriver window(files, {&badge, nullptr});
        for (int row = 0; row < window.RowCount(); ++row) {
            window.SetChecked(row, true);
        }
        window.SetTargetText((dir / L"joined").wstring());
        window.Click(IDC_START);
        if (c.end != State::Normal) {
            ASSERT_TRUE(window.AnswerQuestion(L"Join anyway?", IDYES)) << c.notice;
            if (c.end == State::Paused) {
                ASSERT_NE(window.WaitForWindow(L"win32_window_tests"), nullptr);
                window.Click(IDC_STOP);
                ::SendMessageW(window.Dialog(), WM_NULL, 0, 0);
            }
            EXPECT_TRUE(window.CloseMessageBox(WideText::FromUtf8("打开源文件失败")));
        }
        EXPECT_TRUE(window.CloseMessageBox(WideText::FromUtf8(c.notice))) << c.notice;
        EXPECT_TRUE(window.Close());
        const std::vector<State> states = c.end == State::Normal
                                              ? std::vector{State::Normal, State::Hidden}
                                              : std::vector{State::Normal, c.end, State::Hidden};
        EXPECT_EQ(badge.states(), states) << c.notice;
        EXPECT_DOUBLE_EQ(badge.lastShare(), c.lastDone) << c.notice;
    }
    std::filesystem::remove_all(dir);
}

// Under C the names are as written; the links are links to the addresses they paint.
TEST(ProgressAndNamesTest, ControlsAreNamedForScreenReaders) {
    RecordingProps props;
    WindowDriver window({}, {nullptr, &props});
    const std::map<int, std::wstring> expected{
        {IDC_TARGET_PATH, L"Target file"},
        {IDC_BROWSE_TARGET, L"Choose the target file"},
        {IDC_FILE_LIST, L"Files to join"},
        {IDC_PROGRESS, L"Progress of the current file"},
        {IDC_LINK_HOME, L"link http://www.orvik.example http://www.orvik.example"},
        {IDC_LINK_SOFTSITE, L"link http://dl.orvik.example http://dl.orvik.example"},
    };
    // The window exists from its first message on, before it has named its controls.
    WindowDriver::Poll(10, [&] { return props.Told().size() == expected.size(); });
    EXPECT_EQ(props.Told(), expected);
    EXPECT_TRUE(window.Close());
}

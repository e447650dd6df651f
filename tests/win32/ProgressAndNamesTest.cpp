#include "ControlIds.h"
#include "FileBytes.h"
#include "RecordingBadge.h"
#include "WideText.h"
#include "WindowDriver.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace ControlIds;
using State = ProgressBadge::State;

namespace {

// Stands in for the accessibility property service, which wine does not have: keeps what each
// control was told, by control id.
class RecordingProps final : public AccessibleProps {
public:
    void Name(HWND control, const std::wstring& name) override {
        const std::lock_guard lock(m_mutex);
        m_told[::GetDlgCtrlID(control)] = name;
    }
    void Link(HWND control, const std::wstring& name, const std::wstring& address) override {
        const std::lock_guard lock(m_mutex);
        m_told[::GetDlgCtrlID(control)] = L"link " + name + L" " + address;
    }
    std::map<int, std::wstring> told() const {
        const std::lock_guard lock(m_mutex);
        return m_told;
    }

private:
    mutable std::mutex m_mutex;
    std::map<int, std::wstring> m_told;
};

struct RunCase {
    const char* name;
    // MiB per source; a negative one is missing, and joined all the same.
    std::vector<int> sizes;
    bool stopAtFirstBox;
    std::vector<State> states;
    double lastDone;
    const char* notice;
};

class ProgressAndNamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / L"veltrane-progress-测试";
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Files named after `run`, so that no run finds another's.
    std::vector<std::wstring> Sources(const char* run, const std::vector<int>& sizes) const {
        std::vector<std::wstring> files;
        for (const int size : sizes) {
            const fs::path file =
                m_dir / (WideText::FromUtf8(run) + L"-piece" + std::to_wstring(files.size()));
            if (size >= 0) {
                FileBytes::write(
                    WideText::ToUtf8(file.wstring()),
                    FileBytes::pattern(static_cast<std::size_t>(size) * FileBytes::kMiB,
                                       static_cast<unsigned>(size)));
            }
            files.push_back(file.wstring());
        }
        return files;
    }

    fs::path m_dir;
};

} // namespace

// The badge's states in order, each once however often it moved, and how far the run had come by
// its notice. The taskbar's own badge, told that its button exists, sees a run through as well.
TEST_F(ProgressAndNamesTest, TheWholeRunShowsOnTheBadgeUntilItsNoticeCloses) {
    const std::vector<RunCase> cases{
        {"complete", {3, 2}, false, {State::Normal, State::Hidden}, 1.0, "combine end"},
        {"failed",
         {2, -1, 1},
         false,
         {State::Normal, State::Error, State::Hidden},
         2 / 3.0,
         "combine end\n出现错误：目标文件可能不完整"},
        {"stopped",
         {2, -1, 1},
         true,
         {State::Normal, State::Paused, State::Hidden},
         2 / 3.0,
         "combine end\n已停止：目标文件不完整"},
    };
    for (const RunCase& c : cases) {
        RecordingBadge badge;
        const std::vector<std::wstring> files = Sources(c.name, c.sizes);
        WindowDriver window(files, {&badge, nullptr});
        for (int row = 0; row < static_cast<int>(files.size()); ++row) {
            window.SetChecked(row, true);
        }
        window.SetTargetText((m_dir / L"joined").wstring());
        window.Click(IDC_START);
        const bool missing = c.states.size() == 3;
        if (missing) {
            ASSERT_TRUE(window.AnswerQuestion(L"Join anyway?", IDYES)) << c.name;
            if (c.stopAtFirstBox) {
                ASSERT_NE(window.WaitForWindow(L"win32_reach_tests"), nullptr) << c.name;
                window.Click(IDC_STOP);
                ::SendMessageW(window.Dialog(), WM_NULL, 0, 0);
            }
            EXPECT_TRUE(window.CloseMessageBox(WideText::FromUtf8("打开源文件失败"))) << c.name;
        }
        EXPECT_TRUE(window.CloseMessageBox(WideText::FromUtf8(c.notice))) << c.name;
        WindowDriver::Poll(10, [&] {
            return !badge.shown().empty() && badge.shown().back().state == State::Hidden;
        });
        std::vector<State> changes;
        double done = 0;
        for (const RecordingBadge::Shown& each : badge.shown()) {
            if (changes.empty() || changes.back() != each.state) {
                changes.push_back(each.state);
            }
            if (each.state != State::Hidden) {
                EXPECT_GE(each.done, done) << c.name;
                done = each.done;
            }
        }
        EXPECT_EQ(changes, c.states) << c.name;
        EXPECT_DOUBLE_EQ(done, c.lastDone) << c.name;
        EXPECT_TRUE(window.Close()) << c.name;
    }
    const std::vector<std::wstring> files = Sources("taskbar", {2});
    WindowDriver window(files);
    ::SendMessageW(window.Dialog(), ::RegisterWindowMessageW(L"TaskbarButtonCreated"), 0, 0);
    window.SetChecked(0, true);
    window.SetTargetText((m_dir / L"joined").wstring());
    window.Click(IDC_START);
    EXPECT_TRUE(window.CloseMessageBox(L"combine end"));
    EXPECT_TRUE(window.Close());
}

// Under C the names are as written; the links are links to the addresses they paint.
TEST_F(ProgressAndNamesTest, ControlsAreNamedForScreenReaders) {
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
    WindowDriver::Poll(10, [&] { return props.told().size() == expected.size(); });
    EXPECT_EQ(props.told(), expected);
    EXPECT_EQ(WindowDriver::Text(window.Item(IDC_BROWSE_TARGET)), L"...");
    EXPECT_TRUE(window.Close());
}

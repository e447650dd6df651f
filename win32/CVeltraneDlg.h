#pragma once

#include "AccessibleProps.h"
#include "CMyStaticLink.h"
#include "CombineEngine.h"
#include "EngineInterface.h"
#include "LatestPosition.h"
#include "ProgressBadge.h"
#include "PropServiceProps.h"
#include "RowEdits.h"
#include "RowStore.h"
#include "RunBadge.h"
#include "RunProgress.h"
#include "TaskbarBadge.h"

#include <atomic>
#include <functional>
#include <shellapi.h>
#include <string>
#include <vector>
#include <windows.h>

// What tests put in place of the system's services: null for the system's own.
struct WindowServices {
    ProgressBadge* badge = nullptr;
    AccessibleProps* props = nullptr;
};

// The main window on Windows: the target box, the file list, the progress bar and the buttons
// that drive a combine run. The worker reaches the window through the engine interface, each
// call sent to the window's thread and carried out there, but for the rows: those it reads
// from a store that the window keeps in step with its list.
class CVeltraneDlg final : public EngineInterface {
public:
    // The files become the list's first rows, in the order given.
    CVeltraneDlg(HINSTANCE instance, std::vector<std::wstring> files, WindowServices services = {});
    CVeltraneDlg(const CVeltraneDlg&) = delete;
    CVeltraneDlg& operator=(const CVeltraneDlg&) = delete;
    CVeltraneDlg(CVeltraneDlg&&) = delete;
    CVeltraneDlg& operator=(CVeltraneDlg&&) = delete;
    ~CVeltraneDlg() override = default;

    INT_PTR DoModal();
    // Files in the order Explorer shows them: by name, numbers by value, case ignored, then
    // by full path.
    static std::vector<std::wstring> InDropOrder(std::vector<std::wstring> files);
    // The window while the modal loop runs, for whoever else drives it; null before and after.
    HWND Window() const { return m_hWnd; }

    std::string targetBoxText() override;
    std::vector<ListedRow> listedRows() override;
    int rowCount();
    bool isRowChecked(int row) override;
    std::string rowPath(int row) override;
    void runPlanned(const std::vector<SourceFacts>& pieces) override;
    void setSourceLength(std::uint64_t length) override;
    void setProgressRange(std::uint32_t lower, std::uint32_t upper) override;
    void setProgressPosition(std::uint32_t position) override;
    void showWindowMessage(const RunMessage& message) override;
    bool askToJoinAnyway(const std::vector<JoinFinding>& findings) override;
    // Keeps the checksum file of a match for the notice.
    void checkingTarget(std::uint64_t length) override;
    void targetDigested(const TargetDigest& digest) override;
    void showApplicationNotice(const std::string& text, RunOutcome outcome) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void AddAboutItem();
    void SetUpList();
    void AttachLinks();
    void NameControls();
    bool OnSysCommand(WPARAM nID);
    bool OnPaint();
    void OnCommand(int id);
    void OnStart();
    void OnStop();
    void OnAddFile();
    void OnBrowseTarget();
    void OnClose(int result);
    void OnDropFiles(HDROP drop);
    bool OnListKey(UINT msg, WPARAM key);
    void TickFocusedAndSelected();
    void OnListMenu(LPARAM at);
    void OnListNotice(NMHDR& header);
    std::wstring RowPath(int row) const;
    bool MayEditRows();
    void RemoveSelected();
    void MoveSelected(RowEdits::Direction direction);
    // Puts the rows in `order` (see RowEdits), numbered again, with `selected` selected.
    void Rearrange(const std::vector<int>& order, const std::vector<int>& selected, int focused);
    // Follows every change of a box, however it was made; row -1 stands for every row.
    void OnBoxChanged(int row);
    void AddFiles(const std::vector<std::wstring>& paths);
    void AppendRow(const std::wstring& path);
    void ShowMessageBox(const std::string& text);
    // The bar's latest position, shown before anything else the worker sends.
    void ApplyPendingPosition();
    void OnUiThread(const std::function<void()>& call);

    HINSTANCE m_instance;
    HICON m_hIcon;
    std::atomic<HWND> m_hWnd{nullptr};
    HWND m_list = nullptr;
    HWND m_progress = nullptr;
    CMyStaticLink m_linkHome;
    CMyStaticLink m_linkSoftSite;
    std::vector<std::wstring> m_startFiles;
    LatestPosition m_position;
    RowStore m_rows;
    // The checksum file the latest check compared with; the worker's alone.
    std::string m_checkedAgainst;
    TaskbarBadge m_taskbar;
    PropServiceProps m_propService;
    AccessibleProps& m_props;
    RunProgress m_runProgress;
    RunBadge m_runBadge;
    // Holds the stop flag and the target path of the runs. Destroyed first, once the window
    // is gone: the worker's calls then return at once, so joining it cannot hang.
    CombineEngine m_engine{*this};
};

#pragma once

#include "CMyStaticLink.h"
#include "CombineEngine.h"
#include "EngineInterface.h"
#include "ProgressBadge.h"
#include "RowStore.h"
#include "RunBadge.h"
#include "RunProgress.h"

#include <QDialog>
#include <QIcon>
#include <memory>

class ClassicProgressBar;
class DialogTemplate;
class FileList;
class ProgressRelay;
class QEventLoop;
class QLabel;
class QLineEdit;
class QMenu;

// The main window: the target box, the file list, the progress bar and the buttons that
// drive a combine run. It is the run's window: the worker reaches the bar and the message
// boxes through the engine interface, each call carried out on this window's thread; the
// worker waits for each but the bar's moves. The rows it reads from the list's store, as they
// stand at that moment, without waiting for this thread.
class CVeltraneDlg final : public QDialog, public EngineInterface {
    Q_OBJECT

public:
    // The run's progress shows outside the window on `badge`; by default on the program's
    // launcher.
    explicit CVeltraneDlg(QWidget* parent = nullptr, std::unique_ptr<ProgressBadge> badge = {});
    Q_DISABLE_COPY_MOVE(CVeltraneDlg)
    // Serves a run that is still ending until its worker no longer calls the window.
    ~CVeltraneDlg() override;

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
    // Wakes the destructor's wait for the workers, on this window's thread.
    void workerEnded() override;

    // Appends an unchecked row for each path, in the order given.
    void AddFiles(const QStringList& paths);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Files dropped anywhere on the window become rows.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

public slots:
    void OnSysCommand(unsigned nID);
    void OnStart();
    void OnStop();
    void OnAddFile();
    void OnBrowseTarget();
    // Refuses to end the dialog while a run is busy.
    void done(int result) override;

private:
    void CreateControls();
    void NameControls(const DialogTemplate& form);
    void ShowRunProgress();
    void OnInitDialog();
    void AttachLinks();
    void ShowMessageBox(const QString& text, Qt::WindowModality modality);
    void ServeWorkers();
    template <typename Call> auto OnUiThread(Call call) -> decltype(call());

    CMyStaticLink m_linkHome;
    CMyStaticLink m_linkSoftSite;
    QLabel* m_linkHomeLabel = nullptr;
    QLabel* m_linkSoftSiteLabel = nullptr;
    QIcon m_hIcon;
    QLineEdit* m_targetBox = nullptr;
    FileList* m_list = nullptr;
    ClassicProgressBar* m_progress = nullptr;
    ProgressRelay* m_positions = nullptr;
    QMenu* m_systemMenu = nullptr;
    RunProgress m_runProgress;
    std::unique_ptr<ProgressBadge> m_badge;
    RunBadge m_runBadge{*m_badge};
    // Set while the destructor waits for the workers to end.
    QEventLoop* m_workersWait = nullptr;
    // The checksum file the latest check compared with; the worker's alone.
    std::string m_checkedAgainst;
    // Holds the stop flag and the target path of the runs.
    CombineEngine m_engine{*this};
};

#include "CVeltraneDlg.h"

#include "AccessibleNames.h"
#include "AppResources.h"
#include "BannerChoice.h"
#include "CAboutDlg.h"
#include "ClassicProgressBar.h"
#include "ControlIds.h"
#include "DialogForm.h"
#include "DialogTemplate.h"
#include "DropOrder.h"
#include "FileList.h"
#include "JoinQuestion.h"
#include "LauncherBadge.h"
#include "ProgressRelay.h"
#include "RunBoxText.h"
#include "ShellQuote.h"
#include "SourceDialog.h"
#include "TextMark.h"
#include "TypedName.h"
#include "UiText.h"
#include "WindowLinks.h"

#include <QCollator>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QThread>
#include <string_view>
#include <type_traits>
#include <utility>

namespace {

void attachLink(CMyStaticLink& link, QLabel* label, std::string_view url) {
    const QString address = QString::fromUtf8(url.data(), static_cast<qsizetype>(url.size()));
    link.Attach(label);
    link.SetLink(address, address);
}

// The engine takes paths in UTF-8 on every system, not in Windows' ANSI code page.
std::string toFileSystemPath(const QString& text) {
    return text.toStdString();
}

// The open and the save dialog share their settings; neither insists that the file exists.
// "All Files" matches names without a dot too, such as the pieces split(1) makes.
void shareSettings(QFileDialog& dialog, QFileDialog::AcceptMode mode) {
    dialog.setObjectName(QStringLiteral("fileDialog"));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({UiText::Shown(Translatable("vmdk Files (*.vmdk)")),
                           UiText::Shown(Translatable("All Files (*)"))});
}

// Files in the order a file manager shows them: by name, numbers by value and case ignored,
// then by full path.
QStringList inDropOrder(QList<QFileInfo> files) {
    // The C locale would compare plain code points; file managers sort by number even there.
    QCollator collator(QLocale().language() == QLocale::C ? QLocale(QLocale::English) : QLocale());
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    DropOrder::Sort(
        files, [](const QFileInfo& file) { return file.fileName(); },
        [](const QFileInfo& file) { return file.filePath(); },
        [&collator](const QString& a, const QString& b) { return collator.compare(a, b); });
    QStringList paths;
    for (const QFileInfo& file : files) {
        paths << file.filePath();
    }
    return paths;
}

// The local files of a drop, in the order a file manager shows them. Folders and remote items
// are left out.
QStringList droppedFiles(const QMimeData* data) {
    QList<QFileInfo> files;
    for (const QUrl& url : data->urls()) {
        const QFileInfo file(url.toLocalFile());
        if (url.isLocalFile() && !file.isDir()) {
            files << file;
        }
    }
    return inDropOrder(files);
}

// The files a drop would add. Only a copy is taken: a file manager may delete the files of a
// move once it is done.
QStringList filesToAdd(const QDropEvent* event) {
    if (!event->possibleActions().testFlag(Qt::CopyAction)) {
        return {};
    }
    return droppedFiles(event->mimeData());
}

} // namespace

CVeltraneDlg::CVeltraneDlg(QWidget* parent, std::unique_ptr<ProgressBadge> badge)
    : QDialog(parent), m_hIcon(AppResources::icon()),
      m_badge(badge ? std::move(badge)
                    : std::make_unique<LauncherBadge>(AppResources::desktopEntry())) {
    setObjectName(QStringLiteral("veltraneDlg"));
    // A window of its own (with its own task-bar entry) that can be minimised but neither
    // maximised nor resized.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setAcceptDrops(true);
    CreateControls();
    OnInitDialog();
}

CVeltraneDlg::~CVeltraneDlg() {
    // Only a dialog destroyed without being closed can still have a run going: end it early.
    m_engine.OnStop();
    ServeWorkers();
}

void CVeltraneDlg::CreateControls() {
    const DialogTemplate form(*this, DialogForms::Main());
    m_targetBox = form.find<QLineEdit>("targetPath");
    m_list = form.find<FileList>("fileList");
    m_progress = form.find<ClassicProgressBar>("progress");
    m_positions = new ProgressRelay(*m_progress);
    auto* banner = form.find<QLabel>("banner");
    banner->setPixmap(AppResources::banner(BannerChoice::ForCatalog(UiText::Language())));
    banner->setScaledContents(true);
    m_linkSoftSiteLabel = form.find<QLabel>("linkSoftSite");
    m_linkHomeLabel = form.find<QLabel>("linkHome");
    auto* browse = form.find<QPushButton>("browseTarget");
    auto* start = form.find<QPushButton>("start");
    auto* stop = form.find<QPushButton>("stop");
    auto* addFile = form.find<QPushButton>("addFile");
    // The window's own menu belongs to the space around the list and the buttons; the list
    // has its own.
    for (QWidget* control : std::initializer_list<QWidget*>{browse, start, stop, addFile}) {
        control->setContextMenuPolicy(Qt::PreventContextMenu);
    }
    // No button is the default; only the focused one looks it and takes Enter (eventFilter).
    // Qt would otherwise make the first button that had the focus the default for good.
    for (QPushButton* button : {browse, start, stop, addFile}) {
        button->setAutoDefault(false);
        button->installEventFilter(this);
    }
    connect(start, &QPushButton::clicked, this, &CVeltraneDlg::OnStart);
    connect(stop, &QPushButton::clicked, this, &CVeltraneDlg::OnStop);
    connect(addFile, &QPushButton::clicked, this, &CVeltraneDlg::OnAddFile);
    connect(browse, &QPushButton::clicked, this, &CVeltraneDlg::OnBrowseTarget);
    // The run reads the rows by their place.
    m_list->setEditCheck([this] {
        if (m_engine.State().readsRows()) {
            showWindowMessage(RunMessage(RunMessage::Kind::WaitCurrentThread));
            return false;
        }
        return true;
    });
    // The whole run moves as a source begins and as the bar moves within it.
    connect(m_progress, &ClassicProgressBar::rangeSet, this, &CVeltraneDlg::ShowRunProgress);
    connect(m_progress, &QProgressBar::valueChanged, this, &CVeltraneDlg::ShowRunProgress);
    NameControls(form);
}

void CVeltraneDlg::NameControls(const DialogTemplate& form) {
    const DialogForm& main = DialogForms::Main();
    for (const AccessibleNames::Named& named : AccessibleNames::kMain) {
        form.find<QWidget>(main.control(named.id).name)
            ->setAccessibleName(UiText::Shown(named.name));
    }
}

void CVeltraneDlg::ShowRunProgress() {
    m_runBadge.moved(m_runProgress.done());
}

void CVeltraneDlg::OnInitDialog() {
    m_systemMenu = new QMenu(this);
    m_systemMenu->setObjectName(QStringLiteral("systemMenu"));
    m_systemMenu->setSeparatorsCollapsible(false);
    m_systemMenu->addSeparator();
    QAction* about = m_systemMenu->addAction(UiText::Shown(Translatable("&About Veltrane...")));
    connect(about, &QAction::triggered, this, [this] { OnSysCommand(ControlIds::IDM_ABOUTBOX); });
    setWindowIcon(m_hIcon);
    m_list->setUpColumns();
    AttachLinks();
}

void CVeltraneDlg::AttachLinks() {
    attachLink(m_linkHome, m_linkHomeLabel, WindowLinks::kHomeUrl);
    attachLink(m_linkSoftSite, m_linkSoftSiteLabel, WindowLinks::kSoftSiteUrl);
}

void CVeltraneDlg::OnSysCommand(unsigned nID) {
    // The low four bits belong to the system; every other command is the window manager's.
    if ((nID & 0xFFF0) == ControlIds::IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.exec();
    }
}

void CVeltraneDlg::OnStart() {
    if (m_engine.OnStart()) {
        m_runBadge.runStarted();
    }
}

void CVeltraneDlg::OnStop() {
    m_engine.OnStop();
    m_runBadge.stopAsked(m_runProgress.done());
}

// Nothing is refused here: a file already listed, or one that does not exist, is reported
// only when a run reaches it.
void CVeltraneDlg::OnAddFile() {
    SourceDialog dialog(this);
    shareSettings(dialog, QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    QStringList files = dialog.chosenFiles();
    if (dialog.picked()) {
        files = inDropOrder({files.begin(), files.end()});
    }
    m_list->appendFiles(files);
}

void CVeltraneDlg::AddFiles(const QStringList& paths) {
    m_list->appendFiles(paths);
}

void CVeltraneDlg::OnBrowseTarget() {
    QFileDialog dialog(this);
    shareSettings(dialog, QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromLatin1(TypedName::kDefaultSuffix));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().value(0).isEmpty()) {
        m_targetBox->setText(dialog.selectedFiles().value(0));
    }
}

void CVeltraneDlg::done(int result) {
    // The worker refers to this window, so the window outlasts the run and its notice.
    if (m_engine.State().needsHost()) {
        showWindowMessage(RunMessage(RunMessage::Kind::WaitCurrentThread));
        return;
    }
    QDialog::done(result);
}

void CVeltraneDlg::contextMenuEvent(QContextMenuEvent* event) {
    m_systemMenu->exec(event->globalPos());
}

bool CVeltraneDlg::eventFilter(QObject* watched, QEvent* event) {
    const bool focusChange = event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut;
    // A popup menu takes the focus only for a moment: the button stays as it was.
    if (auto* button = qobject_cast<QPushButton*>(watched);
        button != nullptr && focusChange &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        button->setDefault(event->type() == QEvent::FocusIn);
    }
    return QDialog::eventFilter(watched, event);
}

// With nothing to add, the drop is refused, and the cursor says so while dragging.
void CVeltraneDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (!filesToAdd(event).isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

// Like a click on "添加文件", a drop is welcome during a run: its rows lie beyond the run.
void CVeltraneDlg::dropEvent(QDropEvent* event) {
    const QStringList files = filesToAdd(event);
    if (!files.isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        AddFiles(files);
    }
}

void CVeltraneDlg::keyPressEvent(QKeyEvent* event) {
    // A focused button takes Enter itself; no button is the default, so any other Enter is
    // the dialog's OK.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

template <typename Call> auto CVeltraneDlg::OnUiThread(Call call) -> decltype(call()) {
    // Whatever the worker waits for comes after the last position it handed over.
    const auto inOrder = [this, &call] {
        m_positions->flush();
        return call();
    };
    if (QThread::currentThread() == thread()) {
        return inOrder();
    }
    // The worker waits for the window; the window never waits for the worker.
    if constexpr (std::is_void_v<decltype(call())>) {
        QMetaObject::invokeMethod(this, inOrder, Qt::BlockingQueuedConnection);
    } else {
        decltype(call()) result{};
        QMetaObject::invokeMethod(
            this, [&result, &inOrder] { result = inOrder(); }, Qt::BlockingQueuedConnection);
        return result;
    }
}

std::string CVeltraneDlg::targetBoxText() {
    return OnUiThread([this] { return toFileSystemPath(m_targetBox->text()); });
}

std::vector<ListedRow> CVeltraneDlg::listedRows() {
    return m_list->rows().snapshot();
}

int CVeltraneDlg::rowCount() {
    return m_list->rows().count();
}

bool CVeltraneDlg::isRowChecked(int row) {
    return m_list->rows().isChecked(row);
}

// The run reads a ticked row's path as it reaches the row.
std::string CVeltraneDlg::rowPath(int row) {
    m_runProgress.sourceReached();
    return m_list->rows().path(row);
}

void CVeltraneDlg::runPlanned(const std::vector<SourceFacts>& pieces) {
    m_runProgress.planned(pieces);
}

void CVeltraneDlg::setSourceLength(std::uint64_t length) {
    m_runProgress.sourceBegins(length);
}

void CVeltraneDlg::setProgressRange(std::uint32_t lower, std::uint32_t upper) {
    OnUiThread([this, lower, upper] { m_progress->setRange32(lower, upper); });
}

// The one call the worker does not wait for: it would otherwise wait once a block.
void CVeltraneDlg::setProgressPosition(std::uint32_t position) {
    m_runProgress.blockReached(position);
    m_positions->hand(position);
}

void CVeltraneDlg::showWindowMessage(const RunMessage& message) {
    const QString text = QString::fromStdString(RunBoxText::Message(
        message, [](const char* line) { return UiText::Shown(line).toStdString(); }));
    OnUiThread([this, &text] { ShowMessageBox(text, Qt::WindowModal); });
}

bool CVeltraneDlg::askToJoinAnyway(const std::vector<JoinFinding>& findings) {
    return OnUiThread([this, &findings] {
        QStringList lines;
        for (const std::string& line : JoinQuestion::Lines(
                 findings, [](const std::string& name) { return shellQuoted(name); },
                 [](const char* text) { return UiText::Shown(text).toStdString(); })) {
            lines << QString::fromStdString(line);
        }
        QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(),
                        lines.join(QLatin1Char('\n')), QMessageBox::Yes | QMessageBox::No, this);
        box.setObjectName(QStringLiteral("messageBox"));
        box.setDefaultButton(QMessageBox::No);
        box.setWindowModality(Qt::WindowModal);
        return box.exec() == QMessageBox::Yes;
    });
}

void CVeltraneDlg::checkingTarget(std::uint64_t /*length*/) {
    m_runProgress.checkBegins();
}

void CVeltraneDlg::targetDigested(const TargetDigest& digest) {
    if (!digest.checksumFile.empty()) {
        m_checkedAgainst = digest.checksumFile;
    }
}

void CVeltraneDlg::showApplicationNotice(const std::string& text, RunOutcome outcome) {
    const QString shown = QString::fromStdString(
        RunBoxText::Notice(text, outcome, std::exchange(m_checkedAgainst, {}),
                           [](const char* line) { return UiText::Shown(line).toStdString(); }));
    OnUiThread([this, &shown, outcome] {
        m_runBadge.runEnded(outcome, m_runProgress.done());
        ShowMessageBox(shown, Qt::ApplicationModal);
        m_runBadge.noticeClosed();
    });
}

void CVeltraneDlg::ShowMessageBox(const QString& text, Qt::WindowModality modality) {
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), text, QMessageBox::Ok,
                    this);
    box.setObjectName(QStringLiteral("messageBox"));
    box.setWindowModality(modality);
    box.exec();
}

void CVeltraneDlg::workerEnded() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_workersWait != nullptr) {
                m_workersWait->quit();
            }
        },
        Qt::QueuedConnection);
}

// A worker still running, or one whose end notice is up or on its way, may be waiting for
// this thread, and joining it would then never return: keep answering until none needs it.
// The window is going, so only the workers' calls and their message boxes are served. Each
// worker wakes the wait from its last call, once it no longer needs the window; what it does
// after that never waits for this thread, and the engine's destruction joins it.
void CVeltraneDlg::ServeWorkers() {
    QEventLoop wait;
    m_workersWait = &wait;
    while (m_engine.State().needsHost()) {
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }
    m_workersWait = nullptr;
}

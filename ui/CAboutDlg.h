#pragma once

#include <QDialog>

// The About box: the tool's name, its series and the application icon.
class CAboutDlg final : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

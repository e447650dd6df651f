#pragma once

#include "ProgressBadge.h"

#include <QString>

// A run's progress on the program's launcher in the dock or the panel, through the launcher
// entry signal that docks and Plasma's task manager listen to. Without a session bus, or with
// no dock listening, it shows nowhere and costs nothing more.
class LauncherBadge final : public ProgressBadge {
public:
    // `desktopEntry`: the desktop entry's name without ".desktop".
    explicit LauncherBadge(const QString& desktopEntry);

    void show(State state, double done) override;

private:
    QString m_appUri;
};

#pragma once

#include <QList>
#include <QString>

#include <functional>

// Processes of the system as /proc lists them.
namespace ProcessList {

struct Process
{
    qint64 pid = 0;
    QString exeName; // file name of /proc/<pid>/exe, else /proc/<pid>/comm
};

// Every process whose executable name can be read, the own process included.
QList<Process> snapshot();

// True while the process exists and is not a zombie.
bool isRunning(qint64 pid);

} // namespace ProcessList

// Sends SIGTERM to every process but the own one whose executable name contains text (both
// upper-cased, letters a to z only), then waits up to waitMs for them to end, calling idle
// between checks. Returns the number of processes that accepted the signal.
int KillProcessByName(const QString &text, int waitMs = 5000,
                      const std::function<void()> &idle = {});

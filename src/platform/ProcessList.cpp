#include "platform/ProcessList.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace ProcessList {

namespace {
QString exeNameOf(const QString &procDir)
{
    const QString target = QFile::symLinkTarget(procDir + u"/exe"_s);
    if (!target.isEmpty()) {
        QString name = QFileInfo(target).fileName();
        if (name.endsWith(u" (deleted)"_s))
            name.chop(10);
        return name;
    }
    QFile comm(procDir + u"/comm"_s);
    if (!comm.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(comm.readAll()).trimmed();
}

QString asciiUpper(QString s)
{
    for (QChar &c : s) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    }
    return s;
}
} // namespace

QList<Process> snapshot()
{
    QList<Process> list;
    const QStringList entries = QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok || pid <= 0)
            continue;
        const QString name = exeNameOf(u"/proc/"_s + entry);
        if (!name.isEmpty())
            list.append({pid, name});
    }
    return list;
}

bool isRunning(qint64 pid)
{
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    // "pid (comm) S ...": the state follows the last ')'.
    const qsizetype close = text.lastIndexOf(')');
    if (close < 0 || close + 2 >= text.size())
        return false;
    const char state = text.at(close + 2);
    return state != 'Z' && state != 'X';
}

} // namespace ProcessList

int KillProcessByName(const QString &text, int waitMs, const std::function<void()> &idle)
{
    if (text.isEmpty())
        return 0;
    const QString wanted = ProcessList::asciiUpper(text);
    const qint64 self = getpid();
    QList<qint64> signalled;
    for (const ProcessList::Process &p : ProcessList::snapshot()) {
        if (p.pid == self || !ProcessList::asciiUpper(p.exeName).contains(wanted))
            continue;
        if (::kill(pid_t(p.pid), SIGTERM) == 0)
            signalled.append(p.pid);
    }
    const int count = int(signalled.size());
    QElapsedTimer clock;
    clock.start();
    while (!signalled.isEmpty() && clock.elapsed() < waitMs) {
        signalled.removeIf([](qint64 pid) { return !ProcessList::isRunning(pid); });
        if (signalled.isEmpty())
            break;
        if (idle)
            idle();
        QThread::msleep(20);
    }
    return count;
}

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>

class Command;
class Connection;
class DataSet;
class HttpClient;
class QLabel;
class QProgressBar;
class QTabWidget;
class QTimer;

// What a run works on. Production leaves everything at its default; tests point the updater at
// their own folder and server and give it a kill target of their own.
struct UpdaterOptions
{
    QString appPath;    // with a trailing '/'; empty: the folder of the running executable
    QString serverRoot; // empty: "http://" + UpdateHost of Provider.ini in appPath
    QString killName = QStringLiteral("QuilloBook");    // processes ended before downloading
    QString mainProgram = QStringLiteral("QuilloBook"); // started again at the end
    int transferTimeoutMs = 30000;
    int killWaitMs = 5000;
};

// The window of QuilloUpdate. Two one-shot timers run the chain: TimerUpdateCheck reads the
// client version, TimerGetList fetches the catalogue, downloads and applies. Every way through
// ends with ended(); main() then leaves the event loop with exit code 0.
class TfrmServerUpdate : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmServerUpdate(const UpdaterOptions &options = {}, QWidget *parent = nullptr);
    ~TfrmServerUpdate() override;

    QString ServerRoot;
    QString AppPath;
    QString OldVer;
    QString NewVer;
    QString WorkPath;

    QTabWidget *PageControl1;
    QWidget *TabSheet1;
    QWidget *TabSheet2;
    QLabel *Label1;
    QLabel *Label2;
    QProgressBar *ProgressBar1;
    QTimer *TimerUpdateCheck;
    QTimer *TimerGetList;
    Connection *ADOConnection1;
    DataSet *dsTmp;
    Command *ADOCommand1;
    HttpClient *IdHTTP1;

    // Catalogue lines, chosen entry texts (reverse catalogue order), lines of the running script.
    QList<QByteArray> ListBoxML;
    QList<QByteArray> ListUpdateFiles;
    QStringList MemoCmd;

    void FormActivate();
    void TimerUpdateCheckTimer();
    void TimerGetListTimer();

    bool DownLoadFile(const QUrl &url, const QString &localFile);
    // ServerRoot with path appended (path characters are encoded as needed).
    QUrl serverUrl(const QString &path) const;
    void ExeASQLFile(const QString &path);

    bool isEnded() const { return m_ended; }
    // Client files of the last apply that could not be installed.
    QStringList failedClientFiles() const { return m_failedClientFiles; }

signals:
    void ended();

protected:
    bool event(QEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void FormCreate();
    void IdHTTP1WorkBegin(qint64 expected);
    void IdHTTP1Work(qint64 received);
    bool runOnline();
    bool runPackage();
    bool chooseEntries();
    bool refuseUnsafeNames();
    void applyUpdate();
    void stampVersion();
    void setStatus(const QString &text);
    void endProgram();

    UpdaterOptions m_options;
    bool m_activated = false;
    bool m_ended = false;
    QStringList m_failedClientFiles;
};

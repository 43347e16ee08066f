#include "updater/uServerUpdate.h"

#include "common/GbkCodec.h"
#include "common/ProviderSettings.h"
#include "common/uPub.h"
#include "data/Command.h"
#include "data/Connection.h"
#include "data/DataSet.h"
#include "data/DbError.h"
#include "data/uDM.h"
#include "platform/Dialogs.h"
#include "platform/NameLookup.h"
#include "platform/ProcessList.h"
#include "updater/ApplyPlan.h"
#include "updater/HttpClient.h"
#include "updater/SqlScript.h"
#include "updater/UpdateCatalogue.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QSaveFile>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {
const QString kTitle = u"Quillo通讯录软件自动升级"_s;

QByteArray toGbk(const QString &text)
{
    Gbk::Encoded e = Gbk::encode(text);
    return e.ok() ? e.bytes : Gbk::encodeLossy(text);
}

QString hostOf(const QString &serverRoot)
{
    QString rest = serverRoot;
    const qsizetype scheme = rest.indexOf(u"://"_s);
    if (scheme >= 0)
        rest = rest.mid(scheme + 3);
    const qsizetype end = rest.indexOf(u'/');
    if (end >= 0)
        rest.truncate(end);
    if (rest.startsWith(u'['))
        return QString(); // IPv6 literals have no IPv4 address
    const qsizetype colon = rest.lastIndexOf(u':');
    return colon >= 0 ? rest.left(colon) : rest;
}

QLabel *fillingLabel(QWidget *page, const QString &name, const QString &text)
{
    auto *label = new QLabel(text, page);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    return label;
}
} // namespace

TfrmServerUpdate::TfrmServerUpdate(const UpdaterOptions &options, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_options(options)
{
    setObjectName(u"frmServerUpdate"_s);
    QFont f = font();
    f.setFamilies({u"SimSun"_s, u"宋体"_s, u"NSimSun"_s, u"Noto Sans CJK SC"_s});
    f.setPixelSize(12);
    setFont(f);
    setFixedSize(466, 113);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(u"PageControl1"_s);
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(u"TabSheet1"_s);
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(u"TabSheet2"_s);
    PageControl1->addTab(TabSheet1, u"连接数据库"_s);
    PageControl1->addTab(TabSheet2, u"下载更新文件"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PageControl1);

    Label1 = fillingLabel(TabSheet1, u"Label1"_s, u"正在连接数据库……"_s);
    Label2 = fillingLabel(TabSheet2, u"Label2"_s, u"正在下载更新目录文件……"_s);
    ProgressBar1 = new QProgressBar(TabSheet2);
    ProgressBar1->setObjectName(u"ProgressBar1"_s);
    ProgressBar1->setAccessibleName(u"下载进度"_s);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    ProgressBar1->setGeometry(8, 64, 441, 16);
    ProgressBar1->raise();

    TimerUpdateCheck = new QTimer(this);
    TimerUpdateCheck->setObjectName(u"TimerUpdateCheck"_s);
    TimerUpdateCheck->setInterval(500);
    TimerUpdateCheck->setSingleShot(true);
    connect(TimerUpdateCheck, &QTimer::timeout, this, &TfrmServerUpdate::TimerUpdateCheckTimer);
    TimerGetList = new QTimer(this);
    TimerGetList->setObjectName(u"TimerGetList"_s);
    TimerGetList->setInterval(500);
    TimerGetList->setSingleShot(true);
    connect(TimerGetList, &QTimer::timeout, this, &TfrmServerUpdate::TimerGetListTimer);

    ADOConnection1 = new Connection(this);
    ADOConnection1->setObjectName(u"ADOConnection1"_s);
    dsTmp = new DataSet(ADOConnection1, this);
    dsTmp->setObjectName(u"dsTmp"_s);
    ADOCommand1 = new Command(ADOConnection1);
    IdHTTP1 = new HttpClient(this);
    IdHTTP1->setObjectName(u"IdHTTP1"_s);
    IdHTTP1->setTransferTimeout(m_options.transferTimeoutMs);
    connect(IdHTTP1, &HttpClient::workBegin, this, &TfrmServerUpdate::IdHTTP1WorkBegin);
    connect(IdHTTP1, &HttpClient::work, this, &TfrmServerUpdate::IdHTTP1Work);

    FormCreate();
}

TfrmServerUpdate::~TfrmServerUpdate()
{
    delete ADOCommand1;
}

void TfrmServerUpdate::FormCreate()
{
    AppPath = m_options.appPath;
    if (AppPath.isEmpty())
        AppPath = QCoreApplication::applicationDirPath();
    if (!AppPath.endsWith(u'/'))
        AppPath += u'/';
    ServerRoot = m_options.serverRoot;
    if (ServerRoot.isEmpty())
        ServerRoot = u"http://"_s + providerValue(AppPath, u"UpdateHost"_s);
    while (ServerRoot.endsWith(u'/'))
        ServerRoot.chop(1);

    setWindowTitle(kTitle);
    QGuiApplication::setApplicationDisplayName(kTitle);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

bool TfrmServerUpdate::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    return QWidget::event(e);
}

void TfrmServerUpdate::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    // Desktops may refuse to activate a window started by another program; the first show
    // counts as the first activation.
    FormActivate();
}

void TfrmServerUpdate::closeEvent(QCloseEvent *e)
{
    if (m_ended)
        e->accept();
    else
        e->ignore();
}

void TfrmServerUpdate::FormActivate()
{
    if (m_activated)
        return;
    m_activated = true;
    TimerUpdateCheck->start();
}

void TfrmServerUpdate::setStatus(const QString &text)
{
    Label2->setText(text);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfrmServerUpdate::endProgram()
{
    m_ended = true;
    TimerUpdateCheck->stop();
    TimerGetList->stop();
    emit ended();
}

// ---------------------------------------------------------------------------------------------
// Version check

void TfrmServerUpdate::TimerUpdateCheckTimer()
{
    TimerUpdateCheck->stop();
    if (m_ended)
        return;
    ADOConnection1->close();
    ADOConnection1->setConnectionString(TDM::connectionStringFor(AppPath, u"DB/ZARI.dat"_s));
    try {
        ADOConnection1->open();
        Label1->setText(u"数据库连接成功！"_s);
    } catch (const std::exception &) {
        Label1->setText(u"连接数据库失败."_s);
        Dialogs::instance().message(u"连接数据库失败，请首先确认软件是否正确安装！"_s);
        endProgram();
        return;
    }
    try {
        dsTmp->close();
        dsTmp->setCommandText(u"Select ClientVer from TPara"_s);
        dsTmp->open();
        OldVer = dsTmp->isEmpty() ? QString() : dsTmp->asString(0);
        dsTmp->close();
    } catch (const std::exception &) {
        Dialogs::instance().message(u"读取数据库参数表发生错误！"_s);
        endProgram();
        return;
    }
    TimerGetList->start();
    PageControl1->setCurrentWidget(TabSheet2);
}

// ---------------------------------------------------------------------------------------------
// Catalogue and downloads

void TfrmServerUpdate::TimerGetListTimer()
{
    TimerGetList->stop();
    if (m_ended)
        return;
    setStatus(u"正在连接到Internet......"_s);
    const bool online = !ResolveHostIP(hostOf(ServerRoot)).isEmpty();
    if (online ? runOnline() : runPackage())
        applyUpdate();
}

QUrl TfrmServerUpdate::serverUrl(const QString &path) const
{
    QUrl url(ServerRoot);
    url.setPath(url.path(QUrl::FullyDecoded) + path, QUrl::DecodedMode);
    return url;
}

bool TfrmServerUpdate::chooseEntries()
{
    const UpdateCatalogue::Choice c = UpdateCatalogue::chooseEntries(ListBoxML, toGbk(OldVer));
    ListUpdateFiles = c.entries;
    NewVer = Gbk::decode(c.newVer);
    if (ListUpdateFiles.isEmpty()) {
        Dialogs::instance().message(u"没有需要更新的内容，您的版本已经是最新！"_s);
        endProgram();
        return false;
    }
    return refuseUnsafeNames();
}

bool TfrmServerUpdate::refuseUnsafeNames()
{
    const QStringList bad = UpdateCatalogue::unsafeNames(ListUpdateFiles);
    if (bad.isEmpty())
        return true;
    Dialogs::instance().message(u"更新目录中含有不安全的文件名，升级已停止：\r"_s +
                                bad.join(u'\r'));
    endProgram();
    return false;
}

bool TfrmServerUpdate::runOnline()
{
    WorkPath = AppPath + u"NetUpdate/"_s;
    setStatus(u"正在连机获取更新目录！"_s);
    if (DownLoadFile(serverUrl(u"/QuilloBook/NowUpLoad.txt"_s), WorkPath + u"NowUpLoad.txt"_s)) {
        Dialogs::instance().message(u"服务器正在发布更新文件，请稍后再更新数据！"_s);
        endProgram();
        return false;
    }
    if (!DownLoadFile(serverUrl(u"/QuilloBook/UpdateCnt.txt"_s), WorkPath + u"UpdateCnt.txt"_s)) {
        Dialogs::instance().message(u"下载更新目录文件失败！确认您的电脑已经连接到Internet"_s);
        endProgram();
        return false;
    }
    QFile catalogue(WorkPath + u"UpdateCnt.txt"_s);
    if (!catalogue.open(QIODevice::ReadOnly)) {
        Dialogs::instance().message(u"下载更新目录文件失败！确认您的电脑已经连接到Internet"_s);
        endProgram();
        return false;
    }
    ListBoxML = UpdateCatalogue::splitLines(catalogue.readAll());
    catalogue.close();
    setStatus(u"获取更新目录成功！正在校验更新信息……"_s);
    if (!chooseEntries())
        return false;

    KillProcessByName(m_options.killName, m_options.killWaitMs,
                      [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    setWindowTitle(kTitle + u"  "_s + OldVer + u" To "_s + NewVer);
    setStatus(u"开始下载文件……"_s);
    for (const ApplyPlan::Download &d : ApplyPlan::downloads(ListUpdateFiles)) {
        setStatus(u"开始下载"_s + d.serverName + u"……"_s);
        if (!DownLoadFile(serverUrl(d.urlPath), WorkPath + d.localPath)) {
            Dialogs::instance().message(u"下载文件"_s + d.serverName + u"失败！"_s);
            endProgram();
            return false;
        }
    }
    return true;
}

bool TfrmServerUpdate::runPackage()
{
    Dialogs &dialogs = Dialogs::instance();
    dialogs.message(u"域名解析失败！确认您的电脑已经连接到Internet"_s);
    if (!dialogs.question(u"不能联网的情况下，可以通过其他渠道获得更新包文件！可以直接选择更新包\r"
                          u"是否选择更新包？"_s)) {
        endProgram();
        return false;
    }
    Dialogs::FileRequest request;
    request.title = u"选择更新目录文件"_s;
    request.fileName = u"UpdateCnt.txt"_s;
    request.filter = u"UpdateCnt.txt (UpdateCnt.txt)"_s;
    request.defaultSuffix = u"Txt"_s;
    request.confirmOverwrite = false;
    const QString chosen = dialogs.openFile(request);
    if (chosen.isEmpty()) {
        endProgram();
        return false;
    }
    WorkPath = QFileInfo(chosen).absolutePath();
    if (!WorkPath.endsWith(u'/'))
        WorkPath += u'/';

    const QString cataloguePath = WorkPath + u"UpdateCnt.txt"_s;
    QFile catalogue(cataloguePath);
    if (!catalogue.open(QIODevice::ReadOnly)) {
        dialogs.error(u"无法打开文件“%1”。"_s.arg(QDir::toNativeSeparators(cataloguePath)));
        endProgram();
        return false;
    }
    ListBoxML = UpdateCatalogue::splitLines(catalogue.readAll());
    catalogue.close();
    setStatus(u"获取更新目录成功！正在校验更新信息……"_s);
    ListUpdateFiles.clear();
    return chooseEntries();
}

bool TfrmServerUpdate::DownLoadFile(const QUrl &url, const QString &localFile)
{
    ProgressBar1->setValue(0);
    QByteArray body;
    if (!IdHTTP1->get(url, body))
        return false;

    const QString folder = QFileInfo(localFile).absolutePath();
    if (!QDir().mkpath(folder)) {
        Dialogs::instance().message(u"创建本地文件夹失败，请以管理员身份登陆操作系统！"_s);
        return false;
    }
    QSaveFile file(localFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size() || !file.commit()) {
        file.cancelWriting();
        Dialogs::instance().message(u"创建本地文件失败，请以管理员身份登陆操作系统！"_s);
        return false;
    }
    return true;
}

void TfrmServerUpdate::IdHTTP1WorkBegin(qint64 expected)
{
    // A maximum of 0 would turn the bar into a busy indicator; 1 keeps it empty instead.
    const int max = int(std::clamp<qint64>(expected / 100, 1, std::numeric_limits<int>::max()));
    ProgressBar1->setRange(0, max);
    ProgressBar1->setValue(0);
}

void TfrmServerUpdate::IdHTTP1Work(qint64 received)
{
    const int pos = int(std::min<qint64>(received / 100, std::numeric_limits<int>::max()));
    ProgressBar1->setValue(std::min(pos, ProgressBar1->maximum()));
}

// ---------------------------------------------------------------------------------------------
// Applying

void TfrmServerUpdate::ExeASQLFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return;
    file.close();
    MemoCmd.clear();
    for (const QByteArray &line : UpdateCatalogue::splitLines(bytes))
        MemoCmd << Gbk::decode(line);
    for (const QString &batch : SqlScript::splitBatches(bytes)) {
        // Update scripts are written so that a failing batch (an object that already exists,
        // say) does no harm; the next batch runs all the same.
        try {
            ADOCommand1->setCommandText(batch);
            ADOCommand1->execute();
        } catch (const std::exception &) {
        }
    }
}

void TfrmServerUpdate::applyUpdate()
{
    setStatus(u"文件下载完成，正在更新数据库结构……"_s);
    const ApplyPlan::Steps plan = ApplyPlan::steps(ListUpdateFiles);
    for (const QString &name : plan.scripts) {
        setStatus(u"正在更新脚本："_s + name);
        ExeASQLFile(WorkPath + u"SQL/"_s + name);
        setStatus(u"更新脚本："_s + name + u"完成"_s);
    }

    try {
        ADOConnection1->close();
        ADOConnection1->open();
    } catch (const std::exception &) {
    }

    m_failedClientFiles.clear();
    for (const QString &name : plan.clientFiles) {
        if (name.isEmpty())
            continue;
        setStatus(u"正在更新客户端更新文件："_s + name);
        const QString target = AppPath + name;
        try {
            QDir().mkpath(QFileInfo(target).absolutePath());
            CopyDataFile(WorkPath + u"CLIENT/"_s + name, target);
        } catch (const std::exception &) {
            m_failedClientFiles << name;
        }
    }

    if (m_failedClientFiles.isEmpty()) {
        stampVersion();
        Dialogs::instance().message(u"升级已完成！"_s);
    } else {
        // Without the stamp the next run offers these entries again.
        Dialogs::instance().message(u"以下客户端文件未能更新，下次升级时将重新安装：\r"_s +
                                    m_failedClientFiles.join(u'\r'));
    }
    ShellRun(AppPath + m_options.mainProgram);
    endProgram();
}

void TfrmServerUpdate::stampVersion()
{
    QString quoted = NewVer;
    quoted.replace(u"'"_s, u"''"_s);
    try {
        ADOCommand1->setCommandText(u"Update TPara Set ClientVer='"_s + quoted + u"'"_s);
        if (ADOCommand1->execute() == 0) {
            ADOCommand1->setCommandText(u"Insert into TPara (ClientVer) Values('"_s + quoted +
                                        u"')"_s);
            ADOCommand1->execute();
        }
    } catch (const std::exception &) {
    }
}

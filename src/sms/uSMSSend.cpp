#include "sms/uSMSSend.h"

#include "sms/AccountPage.h"
#include "sms/GatewayWorker.h"
#include "sms/ListFiles.h"
#include "sms/RecipientModel.h"
#include "sms/SmsContent.h"
#include "sms/SmsSettings.h"
#include "sms/uTgtMobileEdit.h"
#include "sms/uUserCfg.h"

#include "common/FileError.h"
#include "common/GbkCodec.h"
#include "common/ProviderSettings.h"
#include "common/uPub.h"
#include "contacts/uFilterSet.h"
#include "data/DbError.h"
#include "data/uDM.h"
#include "platform/Dialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent>

#include <atomic>

using namespace Qt::StringLiterals;

namespace {

const QColor red(255, 0, 0);
const QColor green(0, 128, 0);

// Lists at least this long are filled and checked on a worker thread.
constexpr qsizetype LongListWork = 20000;
constexpr qint64 LongFileWork = 256 * 1024;

QString agreementText()
{
    return QStringList{
        u"不利用本短信系统制作、复制、发布、传播含有下列内容的信息："_s,
        u"第一：反对宪法所确定的基本原则的；"_s,
        u"第二：危害国家安全，泄露国家秘密，颠覆国家政权，破坏国家统一的；"_s,
        u"第三：损坏国家荣誉和利益的；"_s,
        u"第四：煽动民族仇恨、民族歧视，破坏民族团结的；"_s,
        u"第五：破坏国家民族宗教政策，宣扬邪教和封建迷信的；"_s,
        u"第六：散布谣言，扰乱社会秩序，破坏社会稳定的；"_s,
        u"第七：散布淫秽、色情、赌博、暴力、凶杀、恐怖或者教唆犯罪的；"_s,
        u"第八：侮辱或者诽谤他人，侵害他人合法权益的；"_s,
        u"第九：含有法律、行政法规禁止的其他内容的；"_s,
    }
        .join(u'\n');
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QLineEdit *accountEdit(QWidget *parent, const QString &name, const QString &label)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setAccessibleName(label);
    e->setReadOnly(true);
    QPalette p = e->palette();
    p.setColor(QPalette::Base, p.color(QPalette::ToolTipBase));
    p.setColor(QPalette::Text, p.color(QPalette::ToolTipText));
    e->setPalette(p);
    return e;
}

} // namespace

bool OpenSMSSend()
{
    auto *w = new TfrmSMSSend;
    w->show();
    return true;
}

bool OpenSMSSendTo(const QString &mobile)
{
    auto *w = new TfrmSMSSend;
    w->show();
    w->setRecipients({mobile});
    return true;
}

TfrmSMSSend::TfrmSMSSend(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      listModel(new RecipientModel(this)), m_appPath(AppPath),
      m_loop(*listModel, *this, [this](const QString &numbers) {
          return Gateway::sendUrl(gatewayHost(), account(), numbers, me_content->toPlainText());
      })
{
    setObjectName(u"frmSMSSend"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(u"短信群发"_s);
    if (m_appPath.isEmpty())
        m_appPath = QCoreApplication::applicationDirPath() + u'/';

    TimerSend = new QTimer(this);
    TimerSend->setObjectName(u"TimerSend"_s);
    TimerSend->setInterval(500);
    connect(TimerSend, &QTimer::timeout, this, &TfrmSMSSend::TimerSendTimer);
    WebBrowser2 = new GatewayWorker(this);
    WebBrowser2->setObjectName(u"WebBrowser2"_s);
    connect(WebBrowser2, &GatewayWorker::documentComplete, this,
            &TfrmSMSSend::WebBrowser2DocumentComplete);

    auto *top = new QHBoxLayout(this);
    top->setContentsMargins(4, 4, 4, 4);
    top->addWidget(buildLeftPanel());
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(u"PageControl1"_s);
    PageControl1->addTab(buildSendTab(), u"发送短信..."_s);

    QWidget *recharge = buildRechargeTab();
    PageControl1->addTab(recharge, u"短信帐户冲值"_s);

    auto *account = new QWidget(PageControl1);
    account->setObjectName(u"TabSheet3"_s);
    auto *al = new QVBoxLayout(account);
    Button11 = button(account, u"Button11"_s, u"重新登录我的帐户"_s);
    Button11->setFixedSize(321, 25);
    al->addWidget(Button11, 0, Qt::AlignLeft);
    WebBrowser1 = new AccountPage(account);
    WebBrowser1->setObjectName(u"WebBrowser1"_s);
    al->addWidget(WebBrowser1, 1);
    connect(WebBrowser1, &AccountPage::documentComplete, this,
            &TfrmSMSSend::WebBrowser1DocumentComplete);
    connect(Button11, &QPushButton::clicked, this, &TfrmSMSSend::Button11Click);
    // Right-button clicks inside the account page are dropped before anything sees them.
    qApp->installEventFilter(this);
    PageControl1->addTab(account, u"我的帐户使用详情(发送记录/冲值记录/修改密码)"_s);
    top->addWidget(PageControl1, 1);

    for (QLabel *l : {Label28, Label13}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, red);
        l->setPalette(p);
    }
    m_statusPalette = StatusBar1->palette();

    connect(Button1, &QPushButton::clicked, this, &TfrmSMSSend::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmSMSSend::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &QWidget::close);
    connect(Button4, &QPushButton::clicked, this, &TfrmSMSSend::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TfrmSMSSend::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TfrmSMSSend::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &TfrmSMSSend::Button7Click);
    connect(Button8, &QPushButton::clicked, this, &TfrmSMSSend::Button8Click);
    connect(Button9, &QPushButton::clicked, this, &TfrmSMSSend::Button9Click);
    connect(Button12, &QPushButton::clicked, this, &TfrmSMSSend::Button12Click);
    connect(Button13, &QPushButton::clicked, this, &TfrmSMSSend::Button12Click);
    connect(Button15, &QPushButton::clicked, this, &TfrmSMSSend::Button15Click);
    connect(Button16, &QPushButton::clicked, this, &TfrmSMSSend::Button16Click);
    connect(N1, &QAction::triggered, this, &TfrmSMSSend::N1Click);
    connect(me_content, &QPlainTextEdit::textChanged, this, &TfrmSMSSend::me_contentChange);

    // FormCreate: at the right edge of the screen, 100 pixels from the top.
    setFixedSize(892, 523);
    if (const QScreen *s = screen())
        move(s->geometry().width() - width(), 100);
    ReadyCFG();
}

TfrmSMSSend::~TfrmSMSSend() = default;

QWidget *TfrmSMSSend::buildLeftPanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(u"Panel1"_s);
    panel->setFixedWidth(200);
    auto *v = new QVBoxLayout(panel);
    v->setContentsMargins(0, 0, 0, 0);
    Button2 = button(panel, u"Button2"_s, u"切换为小窗口"_s);
    v->addWidget(Button2);

    auto *acc = new QGroupBox(u"帐户信息"_s, panel);
    acc->setObjectName(u"GroupBox1"_s);
    auto *g = new QGridLayout(acc);
    EditEntID = accountEdit(acc, u"EditEntID"_s, u"企业ID"_s);
    EditUsername = accountEdit(acc, u"EditUsername"_s, u"用户名称"_s);
    EdituserPass = accountEdit(acc, u"EdituserPass"_s, u"登陆密码"_s);
    EdituserPass->setEchoMode(QLineEdit::Password);
    int row = 0;
    for (auto [edit, label] : {std::pair{EditEntID, u"企业ID"_s},
                               {EditUsername, u"用户名称"_s},
                               {EdituserPass, u"登陆密码"_s}}) {
        auto *l = new QLabel(label, acc);
        l->setBuddy(edit);
        g->addWidget(l, row, 0);
        g->addWidget(edit, row++, 1, 1, 3);
    }
    Button1 = button(acc, u"Button1"_s, u"配置我的帐户信息"_s);
    g->addWidget(Button1, row++, 0, 1, 4);
    g->addWidget(new QLabel(u"您的帐户余额："_s, acc), row, 0, 1, 2);
    Label28 = new QLabel(u"0"_s, acc);
    Label28->setObjectName(u"Label28"_s);
    g->addWidget(Label28, row, 2);
    g->addWidget(new QLabel(u"条"_s, acc), row++, 3);
    Button12 = button(acc, u"Button12"_s, u"余额刷新"_s);
    g->addWidget(Button12, row++, 0, 1, 4);
    auto *note =
        new QLabel(u"还没有短信帐户？请联系客服开通，开通后点击“配置我的帐户信息”填写。"_s, acc);
    note->setWordWrap(true);
    g->addWidget(note, row++, 0, 1, 4);
    v->addWidget(acc);

    auto *support = new QGroupBox(u"客服热线"_s, panel);
    support->setObjectName(u"GroupBox2"_s);
    auto *s = new QVBoxLayout(support);
    auto *phone = new QLabel(u"客服电话："_s + providerValue(u"SupportPhone"_s), support);
    phone->setObjectName(u"Label8"_s);
    s->addWidget(phone);
    auto link = [&](const QString &name, const QString &text, void (TfrmSMSSend::*click)()) {
        auto *l = new QLabel(u"<a href=\"#\" style=\"color:#0000ff\">"_s + text.toHtmlEscaped() +
                                 u"</a>"_s,
                             support);
        l->setObjectName(name);
        l->setTextFormat(Qt::RichText);
        l->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        l->setCursor(Qt::PointingHandCursor);
        l->setWordWrap(true);
        connect(l, &QLabel::linkActivated, this, click);
        s->addWidget(l);
        return l;
    };
    Label9 = link(u"Label9"_s, u"在线客服（QQ："_s + providerValue(u"SupportQQ"_s) + u"）"_s,
                  &TfrmSMSSend::Label9Click);
    Label11 = link(u"Label11"_s, providerValue(u"SupportEmail"_s), &TfrmSMSSend::Label11Click);
    Label21 = link(u"Label21"_s, webSite(), &TfrmSMSSend::Label21Click);
    Button3 = button(support, u"Button3"_s, u"关闭窗口"_s);
    s->addWidget(Button3);
    v->addWidget(support);
    v->addStretch();
    return panel;
}

QWidget *TfrmSMSSend::buildSendTab()
{
    auto *tab = new QWidget(this);
    tab->setObjectName(u"TabSheet1"_s);
    auto *v = new QVBoxLayout(tab);

    auto *agreement = new QGroupBox(u"网上短信使用协议"_s, tab);
    agreement->setObjectName(u"GroupBox3"_s);
    auto *av = new QVBoxLayout(agreement);
    av->setContentsMargins(6, 2, 6, 2);
    av->setSpacing(2);
    Memo1 = new QPlainTextEdit(agreementText(), agreement);
    Memo1->setObjectName(u"Memo1"_s);
    Memo1->setAccessibleName(u"网上短信使用协议"_s);
    Memo1->setReadOnly(true);
    // All ten lines in view.
    Memo1->setFixedHeight((Memo1->fontMetrics().lineSpacing() + 1) * 10 + 4 +
                          int(Memo1->document()->documentMargin() * 2) + Memo1->frameWidth() * 2);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    av->addWidget(Memo1);
    CheckBox1 = new QCheckBox(u"我同意网上短信使用协议条款"_s, agreement);
    CheckBox1->setObjectName(u"CheckBox1"_s);
    QPalette cp = CheckBox1->palette();
    cp.setColor(QPalette::WindowText, green);
    CheckBox1->setPalette(cp);
    av->addWidget(CheckBox1);
    v->addWidget(agreement);

    auto *h = new QHBoxLayout;
    auto *targets = new QGroupBox(u"发送目标手机号码:"_s, tab);
    targets->setObjectName(u"GroupBox4"_s);
    auto *tg = new QGridLayout(targets);
    ListBox1 = new QListView(targets);
    ListBox1->setObjectName(u"ListBox1"_s);
    ListBox1->setAccessibleName(u"发送目标手机号码"_s);
    ListBox1->setModel(listModel);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    PopupMenu1 = new QMenu(ListBox1);
    PopupMenu1->setObjectName(u"PopupMenu1"_s);
    N1 = PopupMenu1->addAction(u"删除选定号码"_s);
    N1->setObjectName(u"N1"_s);
    connect(ListBox1, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        PopupMenu1->popup(ListBox1->viewport()->mapToGlobal(pos));
    });
    tg->addWidget(ListBox1, 0, 0, 1, 3);
    Button6 = button(targets, u"Button6"_s, u"从文件导入"_s);
    Button4 = button(targets, u"Button4"_s, u"全部联系人"_s);
    Button5 = button(targets, u"Button5"_s, u"条件查找"_s);
    Button16 = button(targets, u"Button16"_s, u"人工编辑"_s);
    Button7 = button(targets, u"Button7"_s, u"全部清除"_s);
    tg->addWidget(Button4, 1, 0);
    tg->addWidget(Button5, 1, 1);
    tg->addWidget(Button6, 1, 2);
    tg->addWidget(Button16, 2, 0);
    tg->addWidget(Button7, 2, 1);
    h->addWidget(targets, 2);

    auto *content = new QGroupBox(u"发送内容"_s, tab);
    content->setObjectName(u"GroupBox5"_s);
    auto *cv = new QVBoxLayout(content);
    me_content = new QPlainTextEdit(content);
    me_content->setObjectName(u"me_content"_s);
    me_content->setAccessibleName(u"发送内容"_s);
    me_content->installEventFilter(this);
    cv->addWidget(me_content);
    auto *lengthRow = new QHBoxLayout;
    Panel6 = new QLabel(content);
    Panel6->setObjectName(u"Panel6"_s);
    lengthRow->addWidget(Panel6, 1);
    Button15 = button(content, u"Button15"_s, u"常用问候语"_s);
    lengthRow->addWidget(Button15);
    cv->addLayout(lengthRow);
    auto *sendRow = new QHBoxLayout;
    Button8 = button(content, u"Button8"_s, u"发送"_s);
    Button9 = button(content, u"Button9"_s, u"中断发送"_s);
    sendRow->addStretch();
    sendRow->addWidget(Button8);
    sendRow->addWidget(Button9);
    cv->addLayout(sendRow);
    h->addWidget(content, 3);
    v->addLayout(h, 1);

    StatusBar1 = new QLabel(u"就绪..."_s, tab);
    StatusBar1->setObjectName(u"StatusBar1"_s);
    StatusBar1->setFrameShape(QFrame::StyledPanel);
    v->addWidget(StatusBar1);
    return tab;
}

bool TfrmSMSSend::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::RightButton &&
            watched->isWidgetType() &&
            (watched == WebBrowser1 || WebBrowser1->isAncestorOf(static_cast<QWidget *>(watched))))
            return true;
        break;
    case QEvent::ContextMenu:
        if (watched->isWidgetType() &&
            (watched == WebBrowser1 || WebBrowser1->isAncestorOf(static_cast<QWidget *>(watched))))
            return true;
        break;
    default:
        break;
    }
    if (watched == me_content && event->type() == QEvent::KeyPress) {
        const auto *ke = static_cast<QKeyEvent *>(event);
        if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter)
            return true; // Enter does not break the line
    }
    return QWidget::eventFilter(watched, event);
}

Gateway::Account TfrmSMSSend::account() const
{
    return {EditEntID->text(), EditUsername->text(), EdituserPass->text()};
}

// --- settings and list files --------------------------------------------------------------

void TfrmSMSSend::ReadyCFG()
{
    const Gateway::Account a = SmsSettings::readAccount(file(u"SMS.ini"_s));
    EditEntID->setText(a.entId);
    EditUsername->setText(a.userName);
    EdituserPass->setText(a.password);

    const QString listFile = file(u"LastMobileCode.Lst"_s);
    if (QFile::exists(listFile)) {
        bool read = false;
        std::vector<QString> lines;
        runListWork(u"正在读取待发送号码"_s, QFileInfo(listFile).size() >= LongFileWork,
                    [&](const std::function<void(int)> &) {
                        try {
                            lines = ListFiles::readLines(listFile);
                            read = true;
                        } catch (const FileError &) {
                        }
                    });
        if (read) {
            listModel->assign(std::move(lines));
            CheckAllMobileCode();
            showCount();
        } else {
            Dialogs::instance().error(u"无法读取待发送号码文件 LastMobileCode.Lst！"_s);
        }
    }
    const QString contentFile = file(u"SMSContent.Lst"_s);
    if (QFile::exists(contentFile)) {
        try {
            me_content->setPlainText(ListFiles::readText(contentFile));
        } catch (const FileError &) {
        }
    }
    me_contentChange();
}

void TfrmSMSSend::saveList(const std::vector<QString> &entries) const
{
    ListFiles::writeLines(file(u"LastMobileCode.Lst"_s), entries);
}

bool TfrmSMSSend::SaveCFG()
{
    try {
        SmsSettings::writeAccount(file(u"SMS.ini"_s), account());
    } catch (const FileError &) {
        Dialogs::instance().error(u"无法保存短信帐户设置文件 SMS.ini！"_s);
        return false;
    }
    try {
        // A batch still awaiting its answer goes back on top, so that no number is dropped.
        std::vector<QString> entries;
        const QStringList pending = m_loop.inFlight();
        entries.reserve(size_t(pending.size() + listModel->count()));
        entries.insert(entries.end(), pending.begin(), pending.end());
        for (qsizetype i = 0; i < listModel->count(); ++i)
            entries.push_back(listModel->at(i));
        saveList(entries);
        ListFiles::writeText(file(u"SMSContent.Lst"_s), me_content->toPlainText());
    } catch (const FileError &) {
    }
    return true;
}

// --- recipient list -----------------------------------------------------------------------

void TfrmSMSSend::runListWork(const QString &label, bool long_,
                              const std::function<void(std::function<void(int)>)> &work)
{
    m_listBusy = true;
    if (!long_) {
        work([](int) {});
    } else {
        emit listWorkStarted();
        std::atomic<int> percent{0};
        QProgressDialog progress(label, QString(), 0, 100, this);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(300);
        progress.setAutoClose(false);
        QFutureWatcher<void> watcher;
        QEventLoop wait;
        connect(&watcher, &QFutureWatcher<void>::finished, &wait, &QEventLoop::quit);
        QTimer poll;
        connect(&poll, &QTimer::timeout, &progress, [&] { progress.setValue(percent.load()); });
        poll.start(100);
        watcher.setFuture(QtConcurrent::run([&] { work([&](int p) { percent.store(p); }); }));
        if (!watcher.isFinished())
            wait.exec();
    }
    m_listBusy = false;
    // Answers that came during the work were held back, as the list was elsewhere.
    std::vector<SendLoop::Answer> held;
    held.swap(m_heldAnswers);
    for (const SendLoop::Answer &a : held)
        m_loop.answer(a);
}

void TfrmSMSSend::CheckAllMobileCode()
{
    QStringList rejected;
    std::vector<QString> entries = listModel->release();
    const qsizetype total = qsizetype(entries.size());
    auto check = [&](const std::function<void(int)> &progress) {
        rejected = checkMobileList(entries, [&](qsizetype done) {
            progress(int(done * 100 / std::max<qsizetype>(total, 1)));
        });
    };
    runListWork(u"正在检查号码"_s, total >= LongListWork, check);
    listModel->assign(std::move(entries));

    if (!rejected.isEmpty()) {
        const QString tmp = file(u"tmp.Txt"_s);
        QByteArray bytes = Gbk::encodeLossy(rejectedHeader()) + "\r\n";
        for (const QString &r : std::as_const(rejected))
            bytes += Gbk::encodeLossy(r) + "\r\n";
        try {
            ListFiles::writeBytes(tmp, bytes);
            ShellRun(tmp);
        } catch (const FileError &) {
        }
    }
    m_loop.setSendSpeed(sendSpeedFor(listModel->count()));
}

void TfrmSMSSend::showCount()
{
    StatusBar1->setText(u"待发送目标号码："_s + QString::number(listModel->count()) + u" 条"_s);
}

void TfrmSMSSend::setRecipients(std::vector<QString> entries)
{
    listModel->assign(std::move(entries));
}

void TfrmSMSSend::readContacts(const QString &sql)
{
    if (!DM || !DM->ADOLocal)
        return;
    if (!dsTmp)
        dsTmp = std::make_unique<DataSet>(DM->ADOLocal);
    dsTmp->close();
    dsTmp->setCommandText(sql);
    try {
        dsTmp->open();
        const int field = dsTmp->fieldIndex(u"MobileCode"_s);
        std::vector<QString> entries;
        entries.reserve(size_t(dsTmp->recordCount()));
        for (int row = 0; row < dsTmp->recordCount(); ++row)
            entries.push_back(dsTmp->text(row, field));
        listModel->assign(std::move(entries));
    } catch (const DbError &) {
    }
    dsTmp->close();
}

void TfrmSMSSend::Button4Click()
{
    readContacts(u"Select * from TLinker where MobileCode<>''"_s);
    CheckAllMobileCode();
    showCount();
}

void TfrmSMSSend::Button5Click()
{
    QString condition;
    if (!SelectFilter(condition))
        return;
    readContacts(u"Select * from TLinker where MobileCode<>'' "_s + condition);
    CheckAllMobileCode();
    showCount();
}

void TfrmSMSSend::Button6Click()
{
    Dialogs::FileRequest req;
    req.title = u"选择邮件地址文本文件"_s;
    req.filter = u"文本文件 (*.TXT *.txt)"_s;
    req.defaultSuffix = u"TXT"_s;
    const QString path = Dialogs::instance().openFile(req);
    if (path.isEmpty())
        return;
    std::vector<QString> lines;
    bool read = false;
    runListWork(u"正在导入号码"_s, QFileInfo(path).size() >= LongFileWork,
                [&](const std::function<void(int)> &progress) {
                    try {
                        const qint64 size = std::max<qint64>(QFileInfo(path).size(), 1);
                        lines = ListFiles::readLines(
                            path, [&](qsizetype at) { progress(int(at * 100 / size)); });
                        read = true;
                    } catch (const FileError &) {
                    }
                });
    if (!read) {
        Dialogs::instance().error(u"无法读取文件："_s + path);
        return;
    }
    listModel->assign(std::move(lines));
    CheckAllMobileCode();
    showCount();
}

void TfrmSMSSend::Button16Click()
{
    try {
        ListFiles::writeLines(file(u"tmp.txt"_s), listModel->entries());
    } catch (const FileError &) {
        Dialogs::instance().error(u"无法写入文件 tmp.txt！"_s);
        return;
    }
    if (!EditTgtMobile())
        return;
    try {
        listModel->assign(ListFiles::readLines(file(u"tmp.txt"_s)));
    } catch (const FileError &) {
        Dialogs::instance().error(u"无法读取文件 tmp.txt！"_s);
        return;
    }
    CheckAllMobileCode();
    showCount();
}

void TfrmSMSSend::Button7Click()
{
    listModel->clear();
    showCount();
}

void TfrmSMSSend::N1Click()
{
    listModel->removeSelection(ListBox1->selectionModel()->selection());
}

// --- message ------------------------------------------------------------------------------

void TfrmSMSSend::me_contentChange()
{
    const QString text = me_content->toPlainText();
    if (text.size() > SmsContent::MaxLength) {
        // Input stops at the maximum length: cut what went past it, keep the cursor near.
        QTextCursor c = me_content->textCursor();
        const int pos = std::min(c.position(), SmsContent::MaxLength);
        const QSignalBlocker block(me_content);
        me_content->setPlainText(text.left(SmsContent::MaxLength));
        c = me_content->textCursor();
        c.setPosition(pos);
        me_content->setTextCursor(c);
    }
    Panel6->setText(SmsContent::lengthLine(me_content->toPlainText()));
}

QString TfrmSMSSend::CheckLogal() const
{
    return SmsContent::screen(SmsContent::loadKeywords(file(u"Help/FFKey1.txt"_s)),
                              me_content->toPlainText());
}

void TfrmSMSSend::Button15Click()
{
    BrowseURL(providerValue(u"GreetingsUrl"_s));
}

// --- sending ------------------------------------------------------------------------------

void TfrmSMSSend::Button8Click()
{
    const QString text = me_content->toPlainText();
    if (trimBlanks(text).isEmpty()) {
        Dialogs::instance().message(u"请输入发送内容！"_s);
        return;
    }
    if (!CheckBox1->isChecked()) {
        Dialogs::instance().message(u"只有同意界面上方《网上短信使用协议》才可以发送！"_s);
        return;
    }
    const QString found = CheckLogal();
    if (!found.isEmpty() && !Dialogs::instance().confirm(SmsContent::keywordWarning(found)))
        return;
    // The gateway takes GBK: a character it cannot carry would be sent as something else.
    if (const QString bad = Gbk::unencodable(text); !bad.isEmpty()) {
        Dialogs::instance().message(u"发送内容含有无法发送的字符："_s + bad);
        return;
    }
    m_loop.start();
}

void TfrmSMSSend::Button9Click()
{
    m_loop.interrupt();
}

void TfrmSMSSend::TimerSendTimer()
{
    if (m_listBusy)
        return;
    m_loop.tick();
}

void TfrmSMSSend::WebBrowser2DocumentComplete(const SendLoop::Answer &answer)
{
    if (m_listBusy) {
        m_heldAnswers.push_back(answer);
        return;
    }
    m_loop.answer(answer);
}

void TfrmSMSSend::Button12Click()
{
    const Gateway::Account a = account();
    if (!a.complete())
        return;
    const QUrl url = Gateway::balanceUrl(gatewayHost(), a);
    if (!url.isValid())
        return;
    m_loop.refreshBalance(url);
}

void TfrmSMSSend::navigate(const QUrl &url)
{
    if (!url.isValid()) {
        // Cannot happen for checked texts; answer as a failed load so the loop stops cleanly.
        QTimer::singleShot(0, this, [this] {
            SendLoop::Answer a;
            a.kind = SendLoop::Answer::Kind::Failed;
            WebBrowser2DocumentComplete(a);
        });
        return;
    }
    WebBrowser2->navigate(url);
}

void TfrmSMSSend::setStatus(const QString &text, SendLoop::Colour colour)
{
    if (colour != SendLoop::Colour::Keep) {
        m_statusPalette.setColor(QPalette::WindowText,
                                 colour == SendLoop::Colour::Red ? red : green);
        StatusBar1->setPalette(m_statusPalette);
    }
    StatusBar1->setText(text);
}

void TfrmSMSSend::setBalance(const QString &text)
{
    Label28->setText(text);
    Label13->setText(Label28->text());
}

void TfrmSMSSend::setRunning(bool running)
{
    if (running)
        TimerSend->start();
    else
        TimerSend->stop();
    for (QPushButton *b : {Button4, Button5, Button6, Button7})
        b->setEnabled(!running);
}

void TfrmSMSSend::batchAccepted()
{
    // Written after every accepted batch, so that a crash does not resend delivered numbers.
    try {
        saveList(listModel->entries());
    } catch (const FileError &) {
    }
}

// --- window -------------------------------------------------------------------------------

void TfrmSMSSend::Button1Click()
{
    QString entId = EditEntID->text(), user = EditUsername->text(), pass = EdituserPass->text();
    if (!EditUserCfg(entId, user, pass))
        return;
    EditEntID->setText(entId);
    EdituserPass->setText(pass);
    EditUsername->setText(user);
    SaveCFG();
    Button12Click();
}

void TfrmSMSSend::Button2Click()
{
    const QRect screenRect = screen() ? screen()->geometry() : QRect(0, 0, 1024, 768);
    if (height() > 100) {
        setFixedSize(100, 60);
        move(screenRect.width() - width(), 30);
        Button2->setText(u"切换为大窗口"_s);
    } else {
        setFixedSize(900, 620);
        move(screenRect.width() - width(), 0);
        Button2->setText(u"切换为小窗口"_s);
    }
}

void TfrmSMSSend::FormActivate()
{
    WebBrowser1->navigate(accountPageUrl());
    Button12Click();
}

QUrl TfrmSMSSend::accountPageUrl() const
{
    return QUrl(u"http://"_s + gatewayHost() + u"/sms/"_s);
}

void TfrmSMSSend::Button11Click()
{
    WebBrowser1->navigate(accountPageUrl());
    NeedLogin = true;
}

void TfrmSMSSend::WebBrowser1DocumentComplete()
{
    if (!NeedLogin)
        return;
    NeedLogin = false;
    WebBrowser1->FillForm(u"Ecode"_s, EditEntID->text());
    WebBrowser1->FillForm(u"user"_s, EditUsername->text());
}

QWidget *TfrmSMSSend::buildRechargeTab()
{
    auto *tab = new QWidget(this);
    tab->setObjectName(u"TabSheet2"_s);
    auto *v = new QVBoxLayout(tab);
    auto *balance = new QHBoxLayout;
    balance->addWidget(new QLabel(u"您的帐户余额："_s, tab));
    Label13 = new QLabel(u"0"_s, tab);
    Label13->setObjectName(u"Label13"_s);
    balance->addWidget(Label13);
    balance->addWidget(new QLabel(u"条"_s, tab));
    Button13 = button(tab, u"Button13"_s, u"余额刷新"_s);
    balance->addWidget(Button13);
    balance->addStretch();
    v->addLayout(balance);

    RadioGroup1 = new QGroupBox(u"冲值类型选择"_s, tab);
    RadioGroup1->setObjectName(u"RadioGroup1"_s);
    auto *rg = new QGridLayout(RadioGroup1);
    const QStringList packages = providerValue(u"RechargePackages"_s).split(u'|');
    ListBox2 = providerValue(u"RechargeUrls"_s).split(u'|');
    for (qsizetype i = 0; i < packages.size(); ++i) {
        auto *r = new QRadioButton(packages[i], RadioGroup1);
        r->setObjectName(u"RadioGroup1_"_s + QString::number(i));
        rechargePackages << r;
        rg->addWidget(r, int(i / 2), int(i % 2));
    }
    if (rechargePackages.size() > 2)
        rechargePackages[2]->setChecked(true);
    v->addWidget(RadioGroup1);

    auto *buy = new QHBoxLayout;
    Button10 = button(tab, u"Button10"_s, u"立即购买(淘宝)"_s);
    Button14 = button(tab, u"Button14"_s, u"立即支付(支付宝)"_s);
    buy->addWidget(Button10);
    buy->addWidget(Button14);
    buy->addStretch();
    v->addLayout(buy);
    connect(Button10, &QPushButton::clicked, this, &TfrmSMSSend::Button10Click);
    connect(Button14, &QPushButton::clicked, this, &TfrmSMSSend::Button14Click);

    auto *howTo = new QLabel(
        u"冲值方式一：选择冲值类型后点击“立即购买(淘宝)”，在网店拍下并付款，我们将在确认后为您的帐户冲值。\n"_s
        u"冲值方式二：点击“立即支付(支付宝)”，转帐到支付宝帐户 "_s +
            providerValue(u"PayeeAccount"_s) + u"（收款人："_s + providerValue(u"PayeeName"_s) +
            u"），并在付款说明中注明您的企业ID。\n"_s
            u"冲值方式三：银行转帐到 "_s +
            providerValue(u"PayeeBank"_s) + u"（户名："_s + providerValue(u"PayeeName"_s) +
            u"），转帐后请致电客服告知企业ID与金额。"_s,
        tab);
    howTo->setObjectName(u"Label14"_s);
    howTo->setWordWrap(true);
    v->addWidget(howTo);
    v->addStretch();
    return tab;
}

void TfrmSMSSend::Button10Click()
{
    for (qsizetype i = 0; i < rechargePackages.size(); ++i)
        if (rechargePackages[i]->isChecked() && i < ListBox2.size())
            BrowseURL(ListBox2[i]);
}

void TfrmSMSSend::Button14Click()
{
    BrowseURL(providerValue(u"PaymentUrl"_s));
}

QString TfrmSMSSend::chatLink() const
{
    return u"http://"_s + qqChatHost() + u"/msgrd?v=3&uin="_s + providerValue(u"SupportQQ"_s) +
           u"&site=qq&menu=yes"_s;
}

void TfrmSMSSend::Label9Click()
{
    BrowseURL(chatLink());
}

void TfrmSMSSend::Label11Click()
{
    ShellRun(u"mailto:"_s + providerValue(u"SupportEmail"_s));
}

void TfrmSMSSend::Label21Click()
{
    BrowseURL(webSite());
}

void TfrmSMSSend::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
    QWidget::changeEvent(event);
}

void TfrmSMSSend::closeEvent(QCloseEvent *event)
{
    if (m_loop.sending() &&
        !Dialogs::instance().confirm(u"正在发送短信，确定要中断发送并关闭窗口吗？"_s)) {
        event->ignore();
        return;
    }
    m_loop.interrupt();
    if (!SaveCFG()) {
        event->ignore();
        return;
    }
    event->accept();
}

#include "contacts/uMain.h"

#include "common/ProviderSettings.h"
#include "common/uPub.h"
#include "contacts/ContactColumns.h"
#include "contacts/ContactQueries.h"
#include "contacts/DataMaintenance.h"
#include "contacts/DataSetModel.h"
#include "contacts/GridExport.h"
#include "contacts/GridFind.h"
#include "contacts/uEditALinker.h"
#include "contacts/uSelecctDepart.h"
#include "data/DataSet.h"
#include "data/DbError.h"
#include "data/uDM.h"
#include "platform/Dialogs.h"
#include "sms/uSMSSend.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QPushButton *makeButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAccessibleName(QString(caption).remove(u'&'));
    return b;
}

} // namespace

TfrmLinker::TfrmLinker(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(u"Quillo通讯录软件"_s);
    QFont f = font();
    f.setFamilies({u"宋体"_s, u"SimSun"_s, u"Noto Sans CJK SC"_s});
    f.setPointSize(9);
    setFont(f);

    dsLinkClass = new DataSet(DM->ADOLocal, this);
    dsLinkerExd = new DataSet(DM->ADOLocal, this);
    m_classModel = new DataSetModel(dsLinkClass, categoryGridColumns(u"联系人分类"_s, 165), this);
    m_contactModel = new DataSetModel(dsLinkerExd, contactGridColumns(), this);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(u"PageControl1"_s);
    PageControl1->setStyleSheet(u"QTabBar::tab { height: 25px; }"_s);
    TabSheet1 = buildContactPage();
    TabSheet2 = buildMaintenancePage();
    PageControl1->addTab(TabSheet1, u"联系人管理"_s);
    PageControl1->addTab(TabSheet2, u"数据维护"_s);
    setCentralWidget(PageControl1);

    connect(dsLinkClass, &DataSet::afterScroll, this, &TfrmLinker::dsLinkClassAfterScroll);
    FormCreate();
}

TfrmLinker::~TfrmLinker() = default;

QWidget *TfrmLinker::buildContactPage()
{
    auto *page = new QWidget;
    page->setObjectName(u"TabSheet1"_s);
    auto *pageLayout = new QHBoxLayout(page);
    pageLayout->setContentsMargins(2, 2, 2, 2);

    GroupBox9 = new QGroupBox(page);
    GroupBox9->setObjectName(u"GroupBox9"_s);
    GroupBox9->setFixedWidth(201);
    auto *left = new QVBoxLayout(GroupBox9);
    left->setContentsMargins(2, 2, 2, 2);
    DBGridEh8 = new QTableView(GroupBox9);
    DBGridEh8->setObjectName(u"DBGridEh8"_s);
    DBGridEh8->setAccessibleName(u"联系人分类"_s);
    m_classModel->attachView(DBGridEh8);
    left->addWidget(DBGridEh8, 1);
    auto *classButtons = new QHBoxLayout;
    Button11 = makeButton(u"Button11"_s, u"添加分类"_s, GroupBox9);
    Button12 = makeButton(u"Button12"_s, u"编辑分类"_s, GroupBox9);
    Button13 = makeButton(u"Button13"_s, u"删除分类"_s, GroupBox9);
    for (QPushButton *b : {Button11, Button12, Button13})
        classButtons->addWidget(b);
    left->addLayout(classButtons);
    pageLayout->addWidget(GroupBox9);

    GroupBox10 = new QGroupBox(u"选定分类联系人列举"_s, page);
    GroupBox10->setObjectName(u"GroupBox10"_s);
    auto *right = new QVBoxLayout(GroupBox10);
    right->setContentsMargins(2, 2, 2, 2);

    auto *top = new QHBoxLayout;
    chkAll = new QCheckBox(u"全部列举分类(选中则左边分类选择无效)"_s, GroupBox10);
    chkAll->setObjectName(u"chkAll"_s);
    auto *nameLabel = new QLabel(u"姓名"_s, GroupBox10);
    EditName = new QLineEdit(GroupBox10);
    EditName->setObjectName(u"EditName"_s);
    EditName->setToolTip(u"可以按拼音首字母"_s);
    EditName->setPlaceholderText(u"可以按拼音首字母"_s);
    nameLabel->setBuddy(EditName);
    EditName->setAccessibleName(u"姓名"_s);
    cmdQuery = makeButton(u"cmdQuery"_s, u"查询(&F)"_s, GroupBox10);
    top->addWidget(chkAll);
    top->addSpacing(16);
    top->addWidget(nameLabel);
    top->addWidget(EditName);
    top->addWidget(cmdQuery);
    top->addStretch(1);
    right->addLayout(top);

    DBGridEh7 = new QTableView(GroupBox10);
    DBGridEh7->setObjectName(u"DBGridEh7"_s);
    DBGridEh7->setAccessibleName(GroupBox10->title());
    DBGridEh7->setToolTip(u"鼠标双击编辑联系人信息"_s);
    m_contactModel->attachView(DBGridEh7);
    right->addWidget(DBGridEh7, 1);

    auto *bottom = new QHBoxLayout;
    Button14 = makeButton(u"Button14"_s, u"添加联系人"_s, GroupBox10);
    Button15 = makeButton(u"Button15"_s, u"编辑联系人"_s, GroupBox10);
    Button16 = makeButton(u"Button16"_s, u"删除联系人"_s, GroupBox10);
    Button7 = makeButton(u"Button7"_s, u"变更分类"_s, GroupBox10);
    Button8 = makeButton(u"Button8"_s, u"群发短信"_s, GroupBox10);
    Button6 = makeButton(u"Button6"_s, u"发送短信"_s, GroupBox10);
    Button6->setToolTip(u"给选定联系人发"_s);
    Button3 = makeButton(u"Button3"_s, u"查找记录"_s, GroupBox10);
    Button2 = makeButton(u"Button2"_s, u"发送Excel"_s, GroupBox10);
    Button1 = makeButton(u"Button1"_s, u"关闭(&X)"_s, GroupBox10);
    for (QPushButton *b : {Button8, Button6}) {
        QFont bold = b->font();
        bold.setBold(true);
        b->setFont(bold);
    }
    for (QPushButton *b :
         {Button14, Button15, Button16, Button7, Button8, Button6, Button3, Button2})
        bottom->addWidget(b);
    bottom->addStretch(1);
    bottom->addWidget(Button1);
    right->addLayout(bottom);
    pageLayout->addWidget(GroupBox10, 1);

    connect(Button11, &QPushButton::clicked, this, &TfrmLinker::Button11Click);
    connect(Button12, &QPushButton::clicked, this, &TfrmLinker::Button12Click);
    connect(Button13, &QPushButton::clicked, this, &TfrmLinker::Button13Click);
    connect(DBGridEh8, &QTableView::doubleClicked, this, &TfrmLinker::Button12Click);
    connect(chkAll, &QCheckBox::clicked, this, &TfrmLinker::chkAllClick);
    connect(cmdQuery, &QPushButton::clicked, this, &TfrmLinker::cmdQueryClick);
    EditName->installEventFilter(this);
    connect(DBGridEh7, &QTableView::doubleClicked, this, &TfrmLinker::Button15Click);
    connect(Button14, &QPushButton::clicked, this, &TfrmLinker::Button14Click);
    connect(Button15, &QPushButton::clicked, this, &TfrmLinker::Button15Click);
    connect(Button16, &QPushButton::clicked, this, &TfrmLinker::Button16Click);
    connect(Button7, &QPushButton::clicked, this, &TfrmLinker::Button7Click);
    connect(Button8, &QPushButton::clicked, this, &TfrmLinker::Button8Click);
    connect(Button6, &QPushButton::clicked, this, &TfrmLinker::Button6Click);
    connect(Button3, &QPushButton::clicked, this, &TfrmLinker::Button3Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmLinker::Button2Click);
    connect(Button1, &QPushButton::clicked, this, &TfrmLinker::Button1Click);
    return page;
}

QWidget *TfrmLinker::buildMaintenancePage()
{
    auto *page = new QWidget;
    page->setObjectName(u"TabSheet2"_s);
    page->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(page, &QWidget::customContextMenuRequested, this, &TfrmLinker::TabSheet2ContextPopup);

    Button4 = makeButton(u"Button4"_s, u"备份数据库"_s, page);
    Button5 = makeButton(u"Button5"_s, u"还原数据库"_s, page);
    cmdReg = makeButton(u"cmdReg"_s, u"在线升级"_s, page);
    auto *regHint = new QLabel(u"在线升级，更新软件到最新版本，拥有更强大的软件功能。"_s, page);
    regHint->setWordWrap(true);
    auto *left = new QVBoxLayout;
    left->addWidget(Button4);
    left->addWidget(Button5);
    left->addSpacing(40);
    left->addWidget(cmdReg);
    left->addWidget(regHint);
    left->addStretch(1);
    auto *leftBox = new QWidget(page);
    leftBox->setLayout(left);
    leftBox->setFixedWidth(180);

    Image1 = new QLabel(page);
    Image1->setObjectName(u"Image1"_s);
    Image1->setAttribute(Qt::WA_TranslucentBackground);
    Image1->installEventFilter(this);

    QFont lishu = font();
    lishu.setFamilies({u"隶书"_s, u"LiSu"_s, u"STLiti"_s, u"Noto Serif CJK SC"_s});
    auto about = [&](const QString &name, const QString &text, int pixels) {
        auto *l = new QLabel(text, page);
        l->setObjectName(name);
        QFont f = lishu;
        f.setPixelSize(pixels);
        l->setFont(f);
        return l;
    };
    auto *Label1 = about(u"Label1"_s, u"Quillo通讯录软件 V 1.0"_s, 17);
    auto *Label2 = about(u"Label2"_s, providerName(), 15);
    auto *Label3 = about(u"Label3"_s, u"网站："_s + webSite(), 15);
    QPalette link = Label3->palette();
    link.setColor(QPalette::WindowText, link.color(QPalette::Link));
    Label3->setPalette(link);
    Label3->setCursor(Qt::PointingHandCursor);
    auto *aboutBox = new QVBoxLayout;
    aboutBox->addWidget(Label1);
    aboutBox->addWidget(Label2);
    aboutBox->addWidget(Label3);
    aboutBox->addStretch(1);

    auto *layout = new QHBoxLayout(page);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addWidget(leftBox);
    layout->addSpacing(24);
    layout->addWidget(Image1, 0, Qt::AlignTop);
    layout->addSpacing(16);
    layout->addLayout(aboutBox);
    layout->addStretch(1);

    connect(Button4, &QPushButton::clicked, this, &TfrmLinker::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TfrmLinker::Button5Click);
    connect(cmdReg, &QPushButton::clicked, this, &TfrmLinker::cmdRegClick);
    return page;
}

bool TfrmLinker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == EditName && event->type() == QEvent::KeyPress)
        EditNameKeyDown(static_cast<QKeyEvent *>(event)->key());
    if (watched == Image1 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        Image1Click();
    return QMainWindow::eventFilter(watched, event);
}

void TfrmLinker::FormCreate()
{
    ReaduLinker();
    QPixmap logo;
    if (logo.load(AppPath + u"Images/Quillo1.bmp"_s))
        Image1->setPixmap(logo);
}

bool TfrmLinker::ReaduLinker()
{
    try {
        dsLinkClass->close();
        dsLinkClass->setCommandText(ContactSql::categoryList.toString());
        dsLinkClass->open();
        return true;
    } catch (const DbError &) {
        Dialogs::instance().message(u"读取联系人分类信息发生错误！"_s);
        return false;
    }
}

bool TfrmLinker::hasCategory() const
{
    return dsLinkClass->isOpen() && !dsLinkClass->isEmpty();
}

bool TfrmLinker::hasContact() const
{
    return dsLinkerExd->isOpen() && !dsLinkerExd->isEmpty();
}

void TfrmLinker::dsLinkClassAfterScroll()
{
    QString classId;
    QString title;
    try {
        if (dsLinkClass->isOpen() && dsLinkClass->recNo() >= 0) {
            classId = dsLinkClass->asString(u"ID"_s);
            title = dsLinkClass->asString(u"TitleName"_s);
        }
    } catch (const DbError &) {
        classId.clear();
    }
    if (classId.isEmpty())
        return;
    dsLinkerExd->close();
    const bool all = chkAll->isChecked();
    GroupBox10->setTitle(all ? u"联系人列举"_s : u"选定分类["_s + title + u"]联系人列举"_s);
    DBGridEh7->setAccessibleName(GroupBox10->title());
    try {
        dsLinkerExd->setCommandText(ContactSql::contactList(all, classId, EditName->text()));
        dsLinkerExd->open();
    } catch (const DbError &) {
        dsLinkerExd->close();
    }
}

void TfrmLinker::cmdQueryClick()
{
    dsLinkClassAfterScroll();
}

void TfrmLinker::chkAllClick()
{
    dsLinkClassAfterScroll();
}

void TfrmLinker::EditNameKeyDown(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        cmdQueryClick();
}

void TfrmLinker::Button11Click()
{
    const QString name = Dialogs::instance().inputBox(u"请输入新的联系人分类"_s,
                                                      u"请输入新的联系人分类："_s, QString());
    if (name.isEmpty())
        return;
    try {
        dsLinkClass->append();
        dsLinkClass->setField(u"TitleName"_s, name);
        dsLinkClass->post();
    } catch (const DbError &) {
        // The unstored row leaves the list at once.
        try {
            if (dsLinkClass->state() != DataSet::State::Browse &&
                dsLinkClass->state() != DataSet::State::Inactive)
                dsLinkClass->cancel();
        } catch (const DbError &) {
        }
        Dialogs::instance().message(u"更新数据发生错误！"_s);
        return;
    }
    dsLinkClassAfterScroll();
}

void TfrmLinker::Button12Click()
{
    if (!hasCategory())
        return;
    const QString current = dsLinkClass->asString(u"TitleName"_s);
    const QString name = Dialogs::instance().inputBox(u"请输入新的联系人分类"_s,
                                                      u"请输入新的联系人分类："_s, current);
    if (name.isEmpty())
        return;
    try {
        dsLinkClass->edit();
        dsLinkClass->setField(u"TitleName"_s, name);
        dsLinkClass->post();
    } catch (const DbError &) {
        try {
            if (dsLinkClass->state() == DataSet::State::Edit)
                dsLinkClass->cancel();
        } catch (const DbError &) {
        }
        Dialogs::instance().message(u"更新数据发生错误！"_s);
    }
}

void TfrmLinker::Button13Click()
{
    if (!hasCategory())
        return;
    const QString classId = dsLinkClass->asString(u"ID"_s);
    if (classId.isEmpty())
        return;
    bool hasContacts = true;
    try {
        DataSet probe(DM->ADOLocal);
        probe.setCommandText(u"Select ID from TLinker where ClassID="_s + classId);
        probe.open();
        hasContacts = !probe.isEmpty();
        probe.close();
    } catch (const DbError &) {
        Dialogs::instance().message(u"删除数据发生错误！"_s);
        return;
    }
    if (hasContacts) {
        Dialogs::instance().message(
            u"本分类下有联系人信息，不能直接删除！\r您可以将下属的联系人删除或变更分类！"_s);
        return;
    }
    if (!Dialogs::instance().confirm(u"您确认删除选定的联系人分类记录吗？"_s))
        return;
    try {
        dsLinkClass->deleteRow();
    } catch (const DbError &) {
        Dialogs::instance().message(u"删除数据发生错误！"_s);
    }
}

void TfrmLinker::Button14Click()
{
    if (!hasCategory()) {
        Dialogs::instance().message(u"请首先增加一个联系人分类！"_s);
        return;
    }
    const int classId = int(dsLinkClass->asInteger(u"ID"_s));
    if (EditALinker(classId, -1))
        dsLinkClassAfterScroll();
}

void TfrmLinker::Button15Click()
{
    if (!hasContact()) {
        Dialogs::instance().message(u"没有可用于修改的联系人！"_s);
        return;
    }
    const qint64 id = dsLinkerExd->asInteger(u"ID"_s);
    const int classId = hasCategory() ? int(dsLinkClass->asInteger(u"ID"_s)) : 0;
    if (EditALinker(classId, int(id))) {
        dsLinkClassAfterScroll();
        if (dsLinkerExd->isOpen())
            dsLinkerExd->locate(id);
    }
}

void TfrmLinker::Button16Click()
{
    if (!hasContact())
        return;
    if (!Dialogs::instance().confirm(u"您确认删除选定的联系人记录吗？"_s))
        return;
    try {
        dsLinkerExd->deleteRow();
    } catch (const DbError &) {
        Dialogs::instance().message(u"删除数据发生错误！"_s);
    }
}

void TfrmLinker::Button7Click()
{
    if (!hasContact())
        return;
    int id = 0;
    QString name;
    if (!SelectDepart(id, name))
        return;
    try {
        dsLinkerExd->edit();
        dsLinkerExd->setField(u"ClassID"_s, id);
        dsLinkerExd->post();
    } catch (const DbError &) {
        try {
            if (dsLinkerExd->state() == DataSet::State::Edit)
                dsLinkerExd->cancel();
        } catch (const DbError &) {
        }
        Dialogs::instance().message(u"存储数据发生错误！"_s);
        return;
    }
    dsLinkClassAfterScroll();
}

void TfrmLinker::Button8Click()
{
    OpenSMSSend();
}

void TfrmLinker::Button6Click()
{
    if (!hasContact()) {
        Dialogs::instance().message(u"没有指定联系人（单个发送需要指定，群发则不需要）！"_s);
        return;
    }
    const QString mobile = dsLinkerExd->asString(u"MobileCode"_s);
    if (IsMobileCode(mobile))
        OpenSMSSendTo(mobile);
    else
        Dialogs::instance().message(u"号码："_s + mobile + u" 不是合法的手机号码！"_s);
}

void TfrmLinker::Button3Click()
{
    if (!m_find)
        m_find = new GridFindDialog(DBGridEh7, m_contactModel, this);
    m_find->refreshColumns();
    m_find->show();
    m_find->raise();
    m_find->activateWindow();
}

void TfrmLinker::Button2Click()
{
    SendGridToExcel(u"联系人"_s, DBGridEh7);
}

void TfrmLinker::Button1Click()
{
    close();
}

void TfrmLinker::reconnectAndRelist(const QString &classId)
{
    try {
        DM->ADOLocal->open();
    } catch (const DbError &) {
        // ReaduLinker reports it.
    }
    if (ReaduLinker() && !classId.isEmpty())
        dsLinkClass->locate(classId.toLongLong());
}

void TfrmLinker::restart()
{
    ShellRun(QCoreApplication::applicationFilePath());
    close();
}

void TfrmLinker::Button4Click()
{
    const QString folder = DataMaintenance::backupFolder(AppPath);
    QDir().mkpath(folder);
    Dialogs::FileRequest request;
    request.title = u"备份文件"_s;
    request.initialDir = folder;
    request.fileName = DataMaintenance::proposedBackup(AppPath, QDate::currentDate());
    request.filter = u"Quillo联系人备份文件(*.WBK)"_s;
    request.defaultSuffix = u"WBK"_s;
    request.confirmOverwrite = true;
    const QString target = Dialogs::instance().saveFile(request);
    if (target.isEmpty())
        return;

    const QString classId = hasCategory() ? dsLinkClass->asString(u"ID"_s) : QString();
    DM->ADOLocal->close();
    try {
        CopyDataFile(DataMaintenance::databaseFile(AppPath), target);
    } catch (const FileError &) {
        reconnectAndRelist(classId);
        Dialogs::instance().message(u"确认目标位置可读写！"_s);
        return;
    }
    try {
        DM->ADOLocal->open();
    } catch (const DbError &) {
        // The new process reports it.
    }
    Dialogs::instance().message(u"备份数据成功！\r软件将自动退出并重新启动本软件。"_s);
    restart();
}

void TfrmLinker::Button5Click()
{
    Dialogs::instance().message(u"警告：还原数据库将会把当前设置状况下的数据覆盖，且不可恢复！\r"
                                u"建议在还原之前先备份数据库！\r请谨慎使用本功能！"_s);
    const QString folder = DataMaintenance::backupFolder(AppPath);
    Dialogs::FileRequest request;
    request.title = u"选择文件还原数据库"_s;
    request.initialDir = QFileInfo(folder).isDir() ? folder : AppPath;
    request.filter = u"Quillo联系人备份文件(*WBK)"_s;
    request.confirmOverwrite = false;
    const QString source = Dialogs::instance().openFile(request);
    if (source.isEmpty())
        return;

    // Nothing is replaced by a file that is not a contact database of this program.
    if (!DataMaintenance::isContactDatabase(source)) {
        Dialogs::instance().message(u"还原数据文件发生错误！"_s);
        return;
    }
    const QString classId = hasCategory() ? dsLinkClass->asString(u"ID"_s) : QString();
    DM->ADOLocal->close();
    try {
        CopyDataFile(source, DataMaintenance::databaseFile(AppPath));
    } catch (const FileError &) {
        reconnectAndRelist(classId);
        Dialogs::instance().message(u"还原数据文件发生错误！"_s);
        return;
    }
    try {
        DM->ADOLocal->open();
    } catch (const DbError &) {
    }
    Dialogs::instance().message(u"还原数据成功！\r软件将自动退出并重新启动本软件。"_s);
    restart();
}

void TfrmLinker::cmdRegClick()
{
    ShellRun(AppPath + u"QuilloUpdate"_s);
}

void TfrmLinker::Image1Click()
{
    BrowseURL(webSite());
}

void TfrmLinker::TabSheet2ContextPopup()
{
    BrowseURL(webSite());
}

#include "DemoData.h"

#include "common/uPub.h"
#include "data/Connection.h"
#include "data/Statement.h"

#include <QString>

using namespace Qt::StringLiterals;

namespace {

struct DemoContact
{
    int category; // index into categories
    const char16_t *linker;
    const char16_t *job;
    const char16_t *tele;
    const char16_t *mobile; // nullptr: stored as NULL
    const char16_t *qq;
    const char16_t *email;
    const char16_t *birthday;
    const char16_t *address;
    const char16_t *fancy;
};

const char16_t *const categories[] = {u"客户", u"供应商", u"同事", u"朋友"};

const DemoContact contacts[] = {
    {0, u"张伟", u"采购经理", u"010-62345678", u"13801012345", u"10234567", u"zhangwei@example.cn",
     u"1982-03-14", u"北京市海淀区中关村大街27号", u"羽毛球"},
    {0, u"王芳", u"总经理", u"021-58761234", u"13916543210", u"", u"wangfang@example.cn",
     u"1979-11-02", u"上海市浦东新区世纪大道100号", u"旅游"},
    {0, u"李娜", u"财务主管", u"", u"13522334455", u"87654321", u"", u"1990-06-30",
     u"北京市朝阳区建国路88号", u""},
    {0, u"曾国华", u"业务代表", u"0731-84561234", u"15874123698", u"", u"zengguohua@example.cn",
     u"1985-08-08", u"长沙市岳麓区麓山南路1号", u"书法"},
    {0, u"单立新", u"店长", u"", u"", u"", u"", u"1899-12-30", u"济南市历下区泉城路180号", u""},
    {0, u"解晓东", u"技术总监", u"0532-86671234", u"18653217890", u"45612378", u"xiexd@example.cn",
     u"1988-01-21", u"青岛市市南区香港中路8号", u"围棋"},
    {0, u"查良玉", u"采购员", u"0571-87012345", u"13705711234", u"", u"", u"1993-04-17",
     u"杭州市西湖区文三路90号", u"读书"},
    {0, u"Tom李", u"海外业务", u"", u"13600001111", u"", u"tom.li@example.com", u"1899-12-30", u"",
     u""},
    {1, u"刘强", u"销售经理", u"0755-83214567", u"13612345678", u"31415926", u"liuqiang@example.cn",
     u"1981-09-09", u"深圳市福田区深南大道6008号", u"钓鱼"},
    {1, u"陈静", u"客服", u"020-87654321", u"13760606060", u"", u"chenjing@example.cn",
     u"1995-12-25", u"广州市天河区天河路385号", u""},
    {1, u"仇建平", u"厂长", u"0512-65123456", u"", u"", u"", u"1970-05-01",
     u"苏州市工业园区星湖街328号", u""},
    {1, u"区志强", u"物流主管", u"0757-82223333", u"13925012345", u"", u"", u"1984-02-29",
     u"佛山市禅城区季华五路10号", u"篮球"},
    {1, u"朴成民", u"外贸专员", u"0433-2512345", u"15144332211", u"", u"piaocm@example.cn",
     u"1987-07-07", u"延吉市光明街12号", u""},
    {1, u"翟红梅", u"会计", u"0371-65901234", u"13838012345", u"", u"", u"1991-10-10",
     u"郑州市金水区花园路39号", u"烹饪"},
    {1, u"杨洋", u"司机", u"", nullptr, u"", u"", u"1899-12-30", u"", u""},
    {1, u"黄磊", u"仓库管理", u"0592-5123456", u"13859912345", u"", u"", u"1983-03-03",
     u"厦门市思明区湖滨南路55号", u""},
    {2, u"赵敏", u"人事专员", u"010-84561230", u"13911112222", u"22334455", u"zhaomin@example.cn",
     u"1992-08-15", u"北京市东城区东直门内大街5号", u"瑜伽"},
    {2, u"周杰", u"软件工程师", u"010-84561231", u"18612345670", u"55667788", u"zhoujie@example.cn",
     u"1994-01-18", u"北京市昌平区回龙观东大街", u"吉他"},
    {2, u"吴刚", u"行政主管", u"010-84561232", u"", u"", u"wugang@example.cn", u"1986-06-06", u"",
     u""},
    {2, u"徐丽", u"前台", u"010-84561200", u"15011223344", u"", u"", u"1998-02-14",
     u"北京市丰台区丽泽路18号", u"唱歌"},
    {2, u"孙浩", u"产品经理", u"010-84561233", u"13366778899", u"66778899", u"sunhao@example.cn",
     u"1989-12-01", u"北京市海淀区学院路30号", u"摄影"},
    {2, u"马超", u"测试工程师", u"", u"18701234567", u"", u"", u"1996-09-20", u"", u"足球"},
    {2, u"胡彬", u"部门经理", u"010-84561234", u"13501234567", u"", u"hubin@example.cn",
     u"1980-04-04", u"北京市西城区金融大街7号", u""},
    {3, u"郭靖", u"", u"", u"13312345678", u"12345678", u"", u"1985-10-01", u"", u"武术"},
    {3, u"林小雨", u"教师", u"0591-87654321", u"15906001234", u"", u"linxy@example.cn",
     u"1990-03-08", u"福州市鼓楼区五四路158号", u"绘画"},
    {3, u"何勇", u"医生", u"028-85501234", u"", u"", u"", u"1978-07-21",
     u"成都市武侯区人民南路四段", u""},
    {3, u"高远", u"律师", u"023-63801234", u"13983012345", u"", u"gaoyuan@example.cn",
     u"1984-11-11", u"重庆市渝中区解放碑", u"登山"},
    {3, u"罗佳", u"", u"", u"18980012345", u"", u"", u"1899-12-30", u"", u""},
    {3, u"宋雪", u"设计师", u"", u"13770001234", u"99887766", u"songxue@example.cn", u"1997-05-20",
     u"南京市鼓楼区中山北路30号", u"电影"},
    {3, u"安然", u"记者", u"", u"15801234567", u"", u"anran@example.cn", u"1993-12-12",
     u"北京市朝阳区光华路", u""},
    {3, u"白云", u"", u"", u"", u"", u"", u"1899-12-30", u"", u""},
};

QString s(const char16_t *text)
{
    return QString::fromUtf16(text);
}

} // namespace

void fillDemoData(Connection &connection)
{
    connection.open();
    sqlite3 *db = connection.handle();
    Sql::exec(db, "BEGIN");
    try {
        qint64 classIds[std::size(categories)];
        Sql::Statement addClass(db, u"INSERT INTO TLinkerClass(TitleName) VALUES (?)"_s);
        for (size_t i = 0; i < std::size(categories); ++i) {
            addClass.bindText(1, s(categories[i]));
            addClass.run();
            sqlite3_reset(addClass.get());
            classIds[i] = sqlite3_last_insert_rowid(db);
        }
        Sql::Statement addContact(
            db, u"INSERT INTO TLinker(ClassID,Linker,PYCode,Job,Tele,MobileCode,HomeTele,Fax,"
                u"QICQ,WW,ZFBCode,ALWW,EMail,Birthday,Address,Fancy,Desp) "
                u"VALUES (?,?,?,?,?,?,'','',?,'','','',?,?,?,?,'')"_s);
        for (const DemoContact &c : contacts) {
            const QString name = s(c.linker);
            addContact.bindInt(1, classIds[c.category]);
            addContact.bindText(2, name);
            addContact.bindText(3, GetPYCode(name));
            addContact.bindText(4, s(c.job));
            addContact.bindText(5, s(c.tele));
            if (c.mobile)
                addContact.bindText(6, s(c.mobile));
            else
                addContact.check(sqlite3_bind_null(addContact.get(), 6));
            addContact.bindText(7, s(c.qq));
            addContact.bindText(8, s(c.email));
            addContact.bindText(9, s(c.birthday));
            addContact.bindText(10, s(c.address));
            addContact.bindText(11, s(c.fancy));
            addContact.run();
            sqlite3_reset(addContact.get());
        }
        Sql::exec(db, "COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

#include "contacts/ContactQueries.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestContactSql : public QObject
{
    Q_OBJECT
private slots:
    void nameFilter_data();
    void nameFilter();
    void contactList();
    void filterFragment_data();
    void filterFragment();
    void insertAndUpdate();
    void valuesWithApostrophes();
};

void TestContactSql::nameFilter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("filter");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("initials") << u"ZS"_s
                              << u" And ((Linker Like '%ZS%') Or (PYCode like '%ZS%'))"_s;
    QTest::newRow("hanzi") << u"张"_s << u" And ((Linker Like '%张%') Or (PYCode like '%张%'))"_s;
    QTest::newRow("wildcards kept")
        << u"1_%"_s << u" And ((Linker Like '%1_%%') Or (PYCode like '%1_%%'))"_s;
    QTest::newRow("blanks kept") << u" a "_s
                                 << u" And ((Linker Like '% a %') Or (PYCode like '% a %'))"_s;
    QTest::newRow("apostrophe doubled")
        << u"O'B"_s << u" And ((Linker Like '%O''B%') Or (PYCode like '%O''B%'))"_s;
    QTest::newRow("lone apostrophe")
        << u"'"_s << u" And ((Linker Like '%''%') Or (PYCode like '%''%'))"_s;
}

void TestContactSql::nameFilter()
{
    QFETCH(QString, text);
    QFETCH(QString, filter);
    QCOMPARE(ContactSql::nameFilter(text), filter);
}

void TestContactSql::contactList()
{
    QCOMPARE(ContactSql::contactList(false, u"7"_s, QString()),
             u"Select * from TLinker where ClassID=7 Order by Linker"_s);
    QCOMPARE(ContactSql::contactList(true, u"7"_s, QString()),
             u"Select * from TLinker where 1=1  Order by Linker"_s);
    QCOMPARE(ContactSql::contactList(false, u"12"_s, u"ZS"_s),
             u"Select * from TLinker where ClassID=12 And ((Linker Like '%ZS%') Or "
             u"(PYCode like '%ZS%')) Order by Linker"_s);
    QCOMPARE(ContactSql::contactList(true, u"12"_s, u"ZS"_s),
             u"Select * from TLinker where 1=1  And ((Linker Like '%ZS%') Or "
             u"(PYCode like '%ZS%')) Order by Linker"_s);
    QCOMPARE(ContactSql::contactById(42), u"Select * from TLinker  where ID=42"_s);
}

void TestContactSql::filterFragment_data()
{
    QTest::addColumn<bool>("hasCategory");
    QTest::addColumn<int>("classId");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("fragment");
    QTest::newRow("neither") << false << -1 << QString() << QString();
    QTest::newRow("category only") << true << 3 << QString() << u" and ClassID=3"_s;
    QTest::newRow("name only") << false << -1 << u"张"_s
                               << u" And ((Linker Like '%张%') Or (PYCode like '%张%'))"_s;
    QTest::newRow("both") << true << 3 << u"张"_s
                          << u" and ClassID=3 And ((Linker Like '%张%') Or (PYCode like '%张%'))"_s;
    QTest::newRow("wildcard") << false << -1 << u"_"_s
                              << u" And ((Linker Like '%_%') Or (PYCode like '%_%'))"_s;
    QTest::newRow("apostrophe") << true << 9 << u"小'明"_s
                                << u" and ClassID=9 And ((Linker Like '%小''明%') Or "
                                   u"(PYCode like '%小''明%'))"_s;
}

void TestContactSql::filterFragment()
{
    QFETCH(bool, hasCategory);
    QFETCH(int, classId);
    QFETCH(QString, name);
    QFETCH(QString, fragment);
    QCOMPARE(ContactSql::filterFragment(hasCategory, classId, name), fragment);
}

void TestContactSql::insertAndUpdate()
{
    ContactSql::ContactFields f;
    f.linker = u"张三"_s;
    f.pyCode = u"ZS"_s;
    f.job = u"经理"_s;
    f.tele = u"010-1"_s;
    f.mobileCode = u"13800000000"_s;
    f.homeTele = u"h"_s;
    f.fax = u"f"_s;
    f.qicq = u"q"_s;
    f.ww = u"tb"_s;
    f.zfbCode = u"zfb"_s;
    f.alww = u"al"_s;
    f.email = u"e@x"_s;
    f.birthday = u"1980-02-03"_s;
    f.address = u"addr"_s;
    f.fancy = u"fan"_s;
    f.desp = u"d"_s;
    QCOMPARE(ContactSql::insertContact(5, f),
             u"Insert into TLinker (ClassID,Linker,PYCode,Job,Tele,MobileCode,HomeTele,Fax,QICQ,"
             u"WW,ZFBCode,ALWW,EMail,Birthday,Address,Fancy,Desp) Values(5,'张三','ZS','经理',"
             u"'010-1','13800000000','h','f','q','tb','zfb','al','e@x','1980-02-03','addr','fan',"
             u"'d')"_s);
    QCOMPARE(ContactSql::updateContact(17, f),
             u"Update TLinker Set Linker='张三',PYCode='ZS',Job='经理',Tele='010-1',"
             u"MobileCode='13800000000',HomeTele='h',Fax='f',QICQ='q',WW='tb',ZFBCode='zfb',"
             u"ALWW='al',EMail='e@x',Birthday='1980-02-03',Address='addr',Fancy='fan',Desp='d'"
             u" Where ID =17"_s);

    const ContactSql::ContactFields empty{
        .linker = u"A"_s, .pyCode = u"A"_s, .birthday = u"1899-12-30"_s};
    QCOMPARE(ContactSql::insertContact(1, empty),
             u"Insert into TLinker (ClassID,Linker,PYCode,Job,Tele,MobileCode,HomeTele,Fax,QICQ,"
             u"WW,ZFBCode,ALWW,EMail,Birthday,Address,Fancy,Desp) Values(1,'A','A','','','','',"
             u"'','','','','','','1899-12-30','','','')"_s);
}

void TestContactSql::valuesWithApostrophes()
{
    ContactSql::ContactFields f;
    f.linker = u"O'Brien"_s;
    f.pyCode = u"O'Brien"_s;
    f.desp = u"it's 'quoted'"_s;
    f.birthday = u"1899-12-30"_s;
    const QString insert = ContactSql::insertContact(2, f);
    QVERIFY(insert.contains(u"Values(2,'O''Brien','O''Brien',"_s));
    QVERIFY(insert.endsWith(u",'it''s ''quoted''')"_s));
    const QString update = ContactSql::updateContact(3, f);
    QVERIFY(update.startsWith(u"Update TLinker Set Linker='O''Brien',PYCode='O''Brien',"_s));
    QVERIFY(update.contains(u",Desp='it''s ''quoted''' Where ID =3"_s));
}

QTEST_APPLESS_MAIN(TestContactSql)
#include "tst_contactsql.moc"

#include "common/GbkCodec.h"
#include "updater/ApplyPlan.h"
#include "updater/SqlScript.h"
#include "updater/UpdateCatalogue.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
QByteArray gbk(const QString &text)
{
    return Gbk::encode(text).bytes;
}

QList<QByteArray> gbkList(const QStringList &texts)
{
    QList<QByteArray> list;
    for (const QString &t : texts)
        list << gbk(t);
    return list;
}

QStringList decoded(const QList<QByteArray> &list)
{
    QStringList texts;
    for (const QByteArray &b : list)
        texts << Gbk::decode(b);
    return texts;
}
} // namespace

class TestUpdateLogic : public QObject
{
    Q_OBJECT
private slots:
    void versionRule_data();
    void versionRule();
    void chooseEntries_data();
    void chooseEntries();
    void splitEntry_data();
    void splitEntry();
    void unsafeNames_data();
    void unsafeNames();
    void scriptBatches_data();
    void scriptBatches();
    void applyPlan();
};

void TestUpdateLogic::versionRule_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<int>("order"); // sign of compare(a, b)

    QTest::newRow("equal") << "2024010101"_ba
                           << "2024010101"_ba << 0;
    QTest::newRow("both empty") << ""_ba
                                << ""_ba << 0;
    QTest::newRow("empty is smallest") << ""_ba
                                       << "0"_ba << -1;
    QTest::newRow("prefix is smaller") << "20240101"_ba
                                       << "2024010101"_ba << -1;
    QTest::newRow("last byte decides") << "2024010102"_ba
                                       << "2024010101"_ba << 1;
    QTest::newRow("first difference wins over length") << "9"_ba
                                                       << "1000000000"_ba << 1;
    QTest::newRow("no numeric reading") << "10"_ba
                                        << "9"_ba << -1;
    QTest::newRow("no case folding") << "a"_ba
                                     << "B"_ba << 1;
    QTest::newRow("no trimming") << " 2024"_ba
                                 << "2024"_ba << -1;
    QTest::newRow("bytes are unsigned") << "\xB0\xA1"_ba
                                        << "zz"_ba << 1;
}

void TestUpdateLogic::versionRule()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(int, order);
    const int forward = UpdateCatalogue::compareVersions(a, b);
    const int backward = UpdateCatalogue::compareVersions(b, a);
    QCOMPARE((forward > 0) - (forward < 0), order);
    QCOMPARE((backward > 0) - (backward < 0), -order);
    QCOMPARE(UpdateCatalogue::versionLess(a, b), order < 0);
}

void TestUpdateLogic::chooseEntries_data()
{
    QTest::addColumn<QByteArray>("catalogue");
    QTest::addColumn<QString>("oldVer");
    QTest::addColumn<QStringList>("chosen"); // list order: reverse catalogue order
    QTest::addColumn<QString>("newVer");

    QTest::newRow("all equal to the installed version")
        << "2024010100[SQL]a.sql\ta.sql\r\n2024010100[CLIENT]b\tb\r\n"_ba << u"2024010100"_s
        << QStringList{} << u"2024010100"_s;
    QTest::newRow("newer lines only, reverse order, mixed line ends")
        << "2024010100[SQL]old.sql\told.sql\n2024010101[SQL]a.sql\ta.sql\r"
           "2024010102[CLIENT]b\tb\r\n"_ba
        << u"2024010100"_s << QStringList{u"[CLIENT]b\tb"_s, u"[SQL]a.sql\ta.sql"_s}
        << u"2024010102"_s;
    QTest::newRow("empty installed version takes every stamped line")
        << "0000000000[SQL]a\ta\n2024010101[SQL]b\tb\n"_ba << QString()
        << QStringList{u"[SQL]b\tb"_s, u"[SQL]a\ta"_s} << u"2024010101"_s;
    QTest::newRow("duplicate entry text chosen once, at its last place")
        << "2024010101[SQL]a\ta\n2024010102[SQL]b\tb\n2024010103[SQL]a\ta\n"_ba << u"2024010100"_s
        << QStringList{u"[SQL]a\ta"_s, u"[SQL]b\tb"_s} << u"2024010103"_s;
    QTest::newRow("new version counts lines not chosen")
        << "2024010109[SQL]a\ta\n2024010102[SQL]a\ta\n"_ba << u"2024010100"_s
        << QStringList{u"[SQL]a\ta"_s} << u"2024010109"_s;
    QTest::newRow("lower-case kind is chosen") << "2024010101[sql]a\ta\n"_ba << u"2024010100"_s
                                               << QStringList{u"[sql]a\ta"_s} << u"2024010101"_s;
    QTest::newRow("blank line never chosen, short line keeps its stamp")
        << "\n2024010105\n[SQL]\n"_ba << u"2024010100"_s << QStringList{QString()} << u"[SQL]"_s;
    QTest::newRow("a prefix of the installed version is older")
        << "20240101\n"_ba << u"2024010100"_s << QStringList{} << u"2024010100"_s;
    QTest::newRow("stamp is ten bytes, names are GBK")
        << gbk(u"2024010101[CLIENT]帮助\\说明.txt\t说明.txt\n"_s) << u"2024010100"_s
        << QStringList{u"[CLIENT]帮助\\说明.txt\t说明.txt"_s} << u"2024010101"_s;
}

void TestUpdateLogic::chooseEntries()
{
    QFETCH(QByteArray, catalogue);
    QFETCH(QString, oldVer);
    QFETCH(QStringList, chosen);
    QFETCH(QString, newVer);
    const auto lines = UpdateCatalogue::splitLines(catalogue);
    const UpdateCatalogue::Choice c = UpdateCatalogue::chooseEntries(lines, gbk(oldVer));
    QCOMPARE(decoded(c.entries), chosen);
    QCOMPARE(Gbk::decode(c.newVer), newVer);
}

void TestUpdateLogic::splitEntry_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("hasBracket");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("localName");
    QTest::addColumn<QString>("serverName");

    QTest::newRow("client") << u"[CLIENT]QuilloBook\tQuilloBook_2"_s << true << u"CLIENT"_s
                            << u"QuilloBook"_s << u"QuilloBook_2"_s;
    QTest::newRow("backslashes become slashes")
        << u"[CLIENT]Help\\帮助.txt\tHelp\\v2\\帮助.txt"_s << true << u"CLIENT"_s
        << u"Help/帮助.txt"_s << u"Help/v2/帮助.txt"_s;
    QTest::newRow("second TAB belongs to the server name")
        << u"[SQL]a\tb\tc"_s << true << u"SQL"_s << u"a"_s << u"b\tc"_s;
    QTest::newRow("no TAB: no names")
        << u"[SQL]a.sql"_s << true << u"SQL"_s << QString() << QString();
    QTest::newRow("no bracket") << u"SQL a\ta"_s << false << QString() << QString() << QString();
}

void TestUpdateLogic::splitEntry()
{
    QFETCH(QString, entry);
    const UpdateCatalogue::Entry e = UpdateCatalogue::splitEntry(gbk(entry));
    QTEST(e.hasBracket, "hasBracket");
    QTEST(e.kind, "kind");
    QTEST(e.localName, "localName");
    QTEST(e.serverName, "serverName");
}

void TestUpdateLogic::unsafeNames_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("refused");

    QTest::newRow("plain names pass")
        << QStringList{u"[CLIENT]Help\\a..b.txt\t...\\x"_s, u"[SQL]1.sql\t1.sql"_s}
        << QStringList{};
    QTest::newRow("parent folder in the local name")
        << QStringList{u"[CLIENT]..\\QuilloBook\tQuilloBook"_s} << QStringList{u"../QuilloBook"_s};
    QTest::newRow("parent folder inside the path")
        << QStringList{u"[SQL]a/../../b.sql\tb.sql"_s} << QStringList{u"a/../../b.sql"_s};
    QTest::newRow("absolute local name")
        << QStringList{u"[CLIENT]/etc/passwd\tp"_s} << QStringList{u"/etc/passwd"_s};
    QTest::newRow("drive letter") << QStringList{u"[CLIENT]C:\\Windows\\a.dll\ta.dll"_s}
                                  << QStringList{u"C:/Windows/a.dll"_s};
    QTest::newRow("server name leaving the product folder")
        << QStringList{u"[SQL]a.sql\t..\\..\\secret"_s} << QStringList{u"../../secret"_s};
    QTest::newRow("lower-case kind is downloaded, so checked")
        << QStringList{u"[client]../x\tx"_s} << QStringList{u"../x"_s};
    QTest::newRow("other kinds touch nothing")
        << QStringList{u"[DOC]../x\t../y"_s} << QStringList{};
}

void TestUpdateLogic::unsafeNames()
{
    QFETCH(QStringList, entries);
    QTEST(UpdateCatalogue::unsafeNames(gbkList(entries)), "refused");
}

void TestUpdateLogic::scriptBatches_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QStringList>("batches");

    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("no separator: one batch at the end")
        << "create table A(x)\ninsert into A values(1)"_ba
        << QStringList{u"create table A(x)\r\ninsert into A values(1)\r\n"_s};
    QTest::newRow("blank script without separator submits nothing")
        << " \r\n\t\r\n"_ba << QStringList{};
    QTest::newRow("last line a separator") << "a\r\nGO\r\n"_ba << QStringList{u"a\r\n"_s};
    QTest::newRow("blank tail after the last separator is not submitted")
        << "a\nGO\n  \n"_ba << QStringList{u"a\r\n"_s};
    QTest::newRow("any case, blanks and TABs around")
        << "a\n  go\t\nb\n\tGo \nc"_ba << QStringList{u"a\r\n"_s, u"b\r\n"_s, u"c\r\n"_s};
    QTest::newRow("anything after the word is part of the batch")
        << "a\nGO;\nGO 2\nGOTO\n"_ba << QStringList{u"a\r\nGO;\r\nGO 2\r\nGOTO\r\n"_s};
    QTest::newRow("blank lines inside a batch are kept, lines untrimmed")
        << "  a  \n\nb\nGO"_ba << QStringList{u"  a  \r\n\r\nb\r\n"_s};
    QTest::newRow("separator first and twice in a row gives empty batches")
        << "GO\na\nGO\nGO\nb"_ba << QStringList{QString(), u"a\r\n"_s, QString(), u"b\r\n"_s};
    QTest::newRow("separator inside a quoted text still separates")
        << "insert into A values('x\ngo\n')"_ba
        << QStringList{u"insert into A values('x\r\n"_s, u"')\r\n"_s};
    QTest::newRow("CR line ends, GBK text") << gbk(u"insert into A values('张三')\rGO\r"_s)
                                            << QStringList{u"insert into A values('张三')\r\n"_s};
}

void TestUpdateLogic::scriptBatches()
{
    QFETCH(QByteArray, script);
    QTEST(QStringList(SqlScript::splitBatches(script)), "batches");
}

void TestUpdateLogic::applyPlan()
{
    // Chosen list of a catalogue a.sql, bin, Help\readme.txt, b.sql, lower.sql, doc (catalogue
    // order); the chooser keeps them in reverse order.
    const QList<QByteArray> chosen = gbkList({
        u"[DOC]manual\tmanual"_s,
        u"[sql]lower.sql\tlower.sql"_s,
        u"[SQL]b.sql\tb_v2.sql"_s,
        u"[CLIENT]Help\\readme.txt\treadme.txt"_s,
        u"[CLIENT]QuilloBook\tQuilloBook.bin"_s,
        u"[SQL]a.sql\ta.sql"_s,
        u"SQL]broken\tbroken"_s,
    });

    const ApplyPlan::Steps steps = ApplyPlan::steps(chosen);
    QCOMPARE(QStringList(steps.scripts), (QStringList{u"a.sql"_s, u"b.sql"_s}));
    QCOMPARE(QStringList(steps.clientFiles), (QStringList{u"QuilloBook"_s, u"Help/readme.txt"_s}));

    QStringList downloads;
    for (const ApplyPlan::Download &d : ApplyPlan::downloads(chosen))
        downloads << d.urlPath + u" -> "_s + d.localPath;
    QCOMPARE(downloads, (QStringList{
                            u"/QuilloBook/SQL/lower.sql -> SQL/lower.sql"_s,
                            u"/QuilloBook/SQL/b_v2.sql -> SQL/b.sql"_s,
                            u"/QuilloBook/CLIENT/readme.txt -> CLIENT/Help/readme.txt"_s,
                            u"/QuilloBook/CLIENT/QuilloBook.bin -> CLIENT/QuilloBook"_s,
                            u"/QuilloBook/SQL/a.sql -> SQL/a.sql"_s,
                        }));
}

QTEST_APPLESS_MAIN(TestUpdateLogic)
#include "tst_updatelogic.moc"

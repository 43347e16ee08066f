#include "common/GbkCodec.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestGbk : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void refusesCharactersOutsideGbk();
    void decodeReplacesBrokenBytes();
};

void TestGbk::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << u"Tom 1+2"_s << QByteArray("Tom 1+2");
    QTest::newRow("hanzi") << u"张三"_s << QByteArray("\xD5\xC5\xC8\xFD");
    QTest::newRow("full-width bracket") << u"（"_s << QByteArray("\xA3\xA8");
    QTest::newRow("empty") << QString() << QByteArray();
}

void TestGbk::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const auto enc = Gbk::encode(text);
    QVERIFY(enc.ok());
    QCOMPARE(enc.bytes, bytes);
    QCOMPARE(Gbk::decode(bytes), text);
    QCOMPARE(Gbk::codeOf(U'张'), quint16(0xD5C5));
}

void TestGbk::refusesCharactersOutsideGbk()
{
    const QString text = u"李😀四€"_s;
    const auto enc = Gbk::encode(text);
    QVERIFY(!enc.ok());
    QCOMPARE(enc.badAt, 1);
    QVERIFY(enc.bytes.isEmpty());
    QCOMPARE(Gbk::unencodable(text), u"😀€"_s);
    QCOMPARE(Gbk::encodeLossy(text), QByteArray("\xC0\xEE?\xCB\xC4?"));
}

void TestGbk::decodeReplacesBrokenBytes()
{
    // A lone lead byte at the end and an invalid trail byte.
    QCOMPARE(Gbk::decode(QByteArray("A\xD5")), u"A\uFFFD"_s);
    QCOMPARE(Gbk::decode(QByteArray("\xD5\x20" "B")), u"\uFFFD B"_s);
}

QTEST_APPLESS_MAIN(TestGbk)
#include "tst_gbk.moc"

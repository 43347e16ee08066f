#include "common/GbkCodec.h"
#include "common/uPub.h"

#include "RecordingShell.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

class TestUPub : public QObject
{
    Q_OBJECT
private slots:
    void pinyinRanges_data();
    void pinyinRanges();
    void pinyinCodeOfNames_data();
    void pinyinCodeOfNames();
    void pinyinBytes_data();
    void pinyinBytes();
    void pinyinTextAgreesWithBytesForEveryGbkCharacter();

    void numberText_data();
    void numberText();
    void mobileCode_data();
    void mobileCode();

    void hexDigitValue_data();
    void hexDigitValue();
    void textToHex_data();
    void textToHex();
    void hexToText_data();
    void hexToText();

    void swapCharPairs_data();
    void swapCharPairs();
    void scrambleTableRoundTrip();
    void scrambleLeavesUnknownCharactersAlone();
    void password_data();
    void password();
    void passwordStoredForm();

    void shellPassesWholeTarget();

    void enterMovesFocus_data();
    void enterMovesFocus();
    void enterFromEventFilterIsNotConsumed();
};

// ---------------------------------------------------------------------------------------------

void TestUPub::pinyinRanges_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QChar>("initial");

    struct Range
    {
        char letter;
        int first;
        int last;
    };
    const Range ranges[] = {
        {'A', 0xB0A1, 0xB0C4}, {'B', 0xB0C5, 0xB2C0}, {'C', 0xB2C1, 0xB4ED}, {'D', 0xB4EE, 0xB6E9},
        {'E', 0xB6EA, 0xB7A1}, {'F', 0xB7A2, 0xB8C0}, {'G', 0xB8C1, 0xB9FD}, {'H', 0xB9FE, 0xBBF6},
        {'J', 0xBBF7, 0xBFA5}, {'K', 0xBFA6, 0xC0AB}, {'L', 0xC0AC, 0xC2E7}, {'M', 0xC2E8, 0xC4C2},
        {'N', 0xC4C3, 0xC5B5}, {'O', 0xC5B6, 0xC5BD}, {'P', 0xC5BE, 0xC6D9}, {'Q', 0xC6DA, 0xC8BA},
        {'R', 0xC8BB, 0xC8F5}, {'S', 0xC8F6, 0xCBF9}, {'T', 0xCBFA, 0xCDD9}, {'W', 0xCDDA, 0xCEF3},
        {'X', 0xCEF4, 0xD1B8}, {'Y', 0xD1B9, 0xD4D0}, {'Z', 0xD4D1, 0xD7F9},
    };
    for (const Range &r : ranges) {
        const QChar letter = QChar(char16_t(r.letter));
        QTest::addRow("%c first %X", r.letter, r.first) << r.first << letter;
        QTest::addRow("%c last %X", r.letter, r.last) << r.last << letter;
    }
    // Just outside the table, and codes far from it.
    QTest::newRow("B0A0") << 0xB0A0 << QChar(u' ');
    QTest::newRow("D7FA") << 0xD7FA << QChar(u' ');
    QTest::newRow("0") << 0 << QChar(u' ');
    QTest::newRow("A3A8 full-width bracket") << 0xA3A8 << QChar(u' ');
    QTest::newRow("D8A1 level-2 hanzi") << 0xD8A1 << QChar(u' ');
    QTest::newRow("FFFF") << 0xFFFF << QChar(u' ');
    // Codes that stand for no character still take the range's letter.
    QTest::newRow("B07F not a character") << 0xB07F << QChar(u' ');
    QTest::newRow("B1FF not a character") << 0xB1FF << QChar(u'B');
}

void TestUPub::pinyinRanges()
{
    QFETCH(int, code);
    QFETCH(QChar, initial);
    QCOMPARE(GetPYInitial(quint16(code)), initial);
}

void TestUPub::pinyinCodeOfNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("initials");
    QTest::newRow("two hanzi") << u"张三"_s << u"ZS"_s;
    QTest::newRow("ascii kept as typed") << u"Tom李"_s << u"TomL"_s;
    QTest::newRow("inner space") << u"王 五"_s << u"W W"_s;
    QTest::newRow("full-width bracket") << u"李（四）"_s << u"L S "_s;
    QTest::newRow("leading and trailing blanks") << u" 赵六 "_s << u" ZL "_s;
    QTest::newRow("punctuation and digits") << u"a-1.欧阳"_s << u"a-1.OY"_s;
    QTest::newRow("level-2 hanzi") << u"亍"_s << u" "_s;
    QTest::newRow("outside GBK, BMP") << u"€李"_s << u" L"_s;
    QTest::newRow("outside GBK, surrogate pair") << u"😀李"_s << u" L"_s;
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + u"李"_s << u" L"_s;
    QTest::newRow("empty") << QString() << QString();
}

void TestUPub::pinyinCodeOfNames()
{
    QFETCH(QString, name);
    QFETCH(QString, initials);
    QCOMPARE(GetPYCode(name), initials);
}

void TestUPub::pinyinBytes_data()
{
    QTest::addColumn<QByteArray>("gbk");
    QTest::addColumn<QString>("initials");
    QTest::newRow("张三") << QByteArray("\xD5\xC5\xC8\xFD") << u"ZS"_s;
    QTest::newRow("ascii between") << QByteArray("x\xD5\xC5y") << u"xZy"_s;
    // A lead byte at the end pairs with 0: D500 lies in Z, B000 below the table.
    QTest::newRow("lead byte last in Z") << QByteArray("A\xD5") << u"AZ"_s;
    QTest::newRow("lead byte last below table") << QByteArray("\xB0") << u" "_s;
    // The byte after a lead byte is consumed even when it is ASCII.
    QTest::newRow("lead byte before ascii") << QByteArray("\xC8"
                                                          "A")
                                            << u"Q"_s;
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestUPub::pinyinBytes()
{
    QFETCH(QByteArray, gbk);
    QFETCH(QString, initials);
    QCOMPARE(GetPYCodeBytes(gbk), initials);
}

void TestUPub::pinyinTextAgreesWithBytesForEveryGbkCharacter()
{
    // Build one name of every two-byte GBK character and compare the two routes at once.
    QString name;
    QByteArray bytes;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const char pair[2] = {char(lead), char(trail)};
            const QString c = Gbk::decode(QByteArrayView(pair, 2));
            if (c.size() != 1 || c[0] == QChar::ReplacementCharacter)
                continue;
            if (Gbk::codeOf(c[0].unicode()) != quint16(lead << 8 | trail))
                continue; // a second code for the same character
            name += c;
            bytes.append(pair, 2);
        }
    }
    QVERIFY(name.size() > 20000);
    const QString fromText = GetPYCode(name);
    QCOMPARE(fromText.size(), name.size());
    QCOMPARE(fromText, GetPYCodeBytes(bytes));
}

// ---------------------------------------------------------------------------------------------

void TestUPub::numberText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("number");
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("plus alone") << u"+"_s << true;
    QTest::newRow("minus alone") << u"-"_s << true;
    QTest::newRow("negative") << u"-12"_s << true;
    QTest::newRow("positive") << u"+7"_s << true;
    QTest::newRow("digits") << u"0123456789"_s << true;
    QTest::newRow("two signs") << u"+-1"_s << false;
    QTest::newRow("inner space") << u"1 2"_s << false;
    QTest::newRow("leading space") << u" 12"_s << false;
    QTest::newRow("sign after digits") << u"12-"_s << false;
    QTest::newRow("full-width digit") << u"１2"_s << false;
    QTest::newRow("arabic-indic digit") << u"\u0661"_s << false;
    QTest::newRow("decimal point") << u"1.5"_s << false;
}

void TestUPub::numberText()
{
    QFETCH(QString, text);
    QFETCH(bool, number);
    QCOMPARE(IsNumberText(text), number);
}

void TestUPub::mobileCode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("mobile");
    QTest::newRow("lowest") << u"13000000000"_s << true;
    QTest::newRow("highest") << u"18999999999"_s << true;
    QTest::newRow("typical") << u"13912345678"_s << true;
    QTest::newRow("blanks around") << u"  13000000000 "_s << true;
    QTest::newRow("control characters around") << u"\t18999999999\r\n"_s << true;
    QTest::newRow("below range") << u"12999999999"_s << false;
    QTest::newRow("above range") << u"19000000000"_s << false;
    QTest::newRow("10 digits") << u"1300000000"_s << false;
    QTest::newRow("12 digits") << u"130000000000"_s << false;
    QTest::newRow("plus sign") << u"+13000000000"_s << false;
    QTest::newRow("plus sign, 11 chars") << u"+1300000000"_s << false;
    QTest::newRow("minus sign, 11 chars") << u"-1300000000"_s << false;
    QTest::newRow("inner space") << u"139 1234567"_s << false;
    QTest::newRow("letter") << u"1391234567a"_s << false;
    QTest::newRow("full-width digits") << u"１３９１２３４５６７８"_s << false;
    QTest::newRow("ideographic space kept") << u"\u300013912345678"_s << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("blanks only") << u"   "_s << false;
}

void TestUPub::mobileCode()
{
    QFETCH(QString, text);
    QFETCH(bool, mobile);
    const QString before = text;
    QCOMPARE(IsMobileCode(text), mobile);
    QCOMPARE(text, before);
}

// ---------------------------------------------------------------------------------------------

void TestUPub::hexDigitValue_data()
{
    QTest::addColumn<QChar>("c");
    QTest::addColumn<int>("value");
    QTest::newRow("0") << QChar(u'0') << 0;
    QTest::newRow("9") << QChar(u'9') << 9;
    QTest::newRow("A") << QChar(u'A') << 10;
    QTest::newRow("f") << QChar(u'f') << 15;
    QTest::newRow("F") << QChar(u'F') << 15;
    QTest::newRow("G is not a digit") << QChar(u'G') << 0;
    QTest::newRow("space") << QChar(u' ') << 0;
    QTest::newRow("full-width A") << QChar(u'Ａ') << 0;
}

void TestUPub::hexDigitValue()
{
    QFETCH(QChar, c);
    QFETCH(int, value);
    QCOMPARE(HexDigitValue(c), value);
}

void TestUPub::textToHex_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("hex");
    QTest::newRow("empty") << QString() << 0 << QString();
    QTest::newRow("ascii") << u"abc123"_s << 6 << u"616263313233"_s;
    QTest::newRow("upper-case digits") << u"\u007f\n"_s << 2 << u"7F0A"_s;
    QTest::newRow("hanzi is two bytes") << u"张"_s << 2 << u"D5C5"_s;
    QTest::newRow("count cuts bytes") << u"张三"_s << 3 << u"D5C5C8"_s;
    QTest::newRow("count above length") << u"ab"_s << 10 << u"6162"_s;
    QTest::newRow("negative count") << u"ab"_s << -1 << QString();
}

void TestUPub::textToHex()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(QString, hex);
    QCOMPARE(TextToHex(text, count), hex);
}

void TestUPub::hexToText_data()
{
    QTest::addColumn<QString>("hex");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("one digit") << u"4"_s << QString();
    QTest::newRow("odd last ignored") << u"414"_s << u"A"_s;
    QTest::newRow("lower case") << u"4a"_s << u"J"_s;
    QTest::newRow("hanzi") << u"D5C5C8FD"_s << u"张三"_s;
    QTest::newRow("damaged digit counts 0") << u"4G"_s << u"@"_s;
    QTest::newRow("broken GBK") << u"D5"_s << u"\uFFFD"_s;
}

void TestUPub::hexToText()
{
    QFETCH(QString, hex);
    QFETCH(QString, text);
    QCOMPARE(HexToText(hex), text);
}

// ---------------------------------------------------------------------------------------------

void TestUPub::swapCharPairs_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("swapped");
    QTest::newRow("odd") << u"ABC"_s << u"BAC"_s;
    QTest::newRow("even") << u"ABCD"_s << u"BADC"_s;
    QTest::newRow("one") << u"A"_s << u"A"_s;
    QTest::newRow("empty") << QString() << QString();
}

void TestUPub::swapCharPairs()
{
    QFETCH(QString, text);
    QFETCH(QString, swapped);
    QCOMPARE(SwapCharPairs(text), swapped);
}

void TestUPub::scrambleTableRoundTrip()
{
    const QString table =
        u"AQB7CMD2EXFKG%H9IDJRK0LWM5NTOBP+QHR3SYT1UFV=WLX8YCZN041G263P4J5S6A7V8E9Z-U*I&O"_s;
    QString plain;
    QString scrambled;
    for (qsizetype i = 0; i < table.size(); i += 2) {
        plain += table[i];
        scrambled += table[i + 1];
        QCOMPARE(ScrambleChar(table[i]), table[i + 1]);
        QCOMPARE(UnscrambleChar(table[i + 1]), table[i]);
    }
    QCOMPARE(plain.size(), 39);
    QCOMPARE(UnscrambleText(ScrambleText(plain)), plain);
    QCOMPARE(ScrambleText(UnscrambleText(scrambled)), scrambled);
    // Substitution then swap: "AB" -> "Q7" -> "7Q".
    QCOMPARE(ScrambleText(u"AB"_s), u"7Q"_s);
}

void TestUPub::scrambleLeavesUnknownCharactersAlone()
{
    QCOMPARE(ScrambleChar(u'a'), QChar(u'~'));
    QCOMPARE(UnscrambleChar(u'-'), QChar(u'~')); // '-' is only on the plain side
    QCOMPARE(ScrambleChar(u'+'), QChar(u'~'));   // '+' is only on the scrambled side
    QCOMPARE(ScrambleText(u"a~张"_s), u"~a张"_s);
    QCOMPARE(UnscrambleText(u"a~张"_s), u"~a张"_s);
}

void TestUPub::password_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("ascii") << u"abc123"_s;
    QTest::newRow("chinese") << u"密码张三"_s;
    QTest::newRow("mixed, odd length") << u"p@ss 字!"_s;
    QTest::newRow("symbols") << u"~-*&+=%"_s;
    QTest::newRow("one character") << u"x"_s;
    QTest::newRow("empty") << QString();
}

void TestUPub::password()
{
    QFETCH(QString, password);
    const QString stored = EncodePassword(password);
    QCOMPARE(stored.size(), 2 * Gbk::encode(password).bytes.size());
    QCOMPARE(DecodePassword(stored), password);
}

void TestUPub::passwordStoredForm()
{
    // "abc123" -> "616263313233" -> substituted "AGA6APPGP6PP" -> swapped.
    QCOMPARE(EncodePassword(u"abc123"_s), u"GA6APAGP6PPP"_s);
    QCOMPARE(DecodePassword(u"GA6APAGP6PPP"_s), u"abc123"_s);
    QCOMPARE(DecodePassword(u"G"_s), QString());
    QVERIFY_THROWS_EXCEPTION(FileError, EncodePassword(u"pw€"_s));
}

// ---------------------------------------------------------------------------------------------

void TestUPub::shellPassesWholeTarget()
{
    RecordingShell shell;
    const QString longTarget = u"/tmp/"_s + QString(300, u'x') + u"/文件.txt"_s;
    const QString url = u"http://www.quillobook.example/?q="_s + QString(400, u'y');
    ShellRun(longTarget);
    BrowseURL(url);
    QCOMPARE(shell.opened, QStringList{longTarget});
    QCOMPARE(shell.browsed, QStringList{url});
}

// ---------------------------------------------------------------------------------------------

namespace {

// A small form: two line edits, a memo, a rich-text box, a hidden and a disabled edit, a
// last line edit and a button.
struct Form
{
    QWidget window;
    QLineEdit *first = new QLineEdit;
    QLineEdit *second = new QLineEdit;
    QPlainTextEdit *memo = new QPlainTextEdit;
    QTextEdit *rich = new QTextEdit;
    QLineEdit *hidden = new QLineEdit;
    QLineEdit *disabled = new QLineEdit;
    QLineEdit *last = new QLineEdit;
    QPushButton *button = new QPushButton(u"OK"_s);

    Form()
    {
        auto *layout = new QVBoxLayout(&window);
        for (QWidget *w : std::initializer_list<QWidget *>{first, second, memo, rich, hidden,
                                                           disabled, last, button})
            layout->addWidget(w);
        first->setObjectName(u"first"_s);
        second->setObjectName(u"second"_s);
        memo->setObjectName(u"memo"_s);
        rich->setObjectName(u"rich"_s);
        last->setObjectName(u"last"_s);
        button->setObjectName(u"button"_s);
        hidden->hide();
        disabled->setEnabled(false);
        window.show();
        window.activateWindow();
    }

    QWidget *byName(const QString &name) { return window.findChild<QWidget *>(name); }
};

} // namespace

void TestUPub::enterMovesFocus_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("to");
    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("Enter in a line edit")
        << u"first"_s << int(Qt::Key_Return) << none << u"second"_s;
    QTest::newRow("keypad Enter") << u"first"_s << int(Qt::Key_Enter) << none << u"second"_s;
    QTest::newRow("Shift+Enter still moves")
        << u"first"_s << int(Qt::Key_Return) << int(Qt::ShiftModifier) << u"second"_s;
    QTest::newRow("other key") << u"first"_s << int(Qt::Key_A) << none << u"first"_s;
    QTest::newRow("Tab key is not Enter") << u"first"_s << int(Qt::Key_Tab) << none << u"first"_s;
    QTest::newRow("Enter in a memo stays") << u"memo"_s << int(Qt::Key_Return) << none << u"memo"_s;
    QTest::newRow("Ctrl+Enter in a memo") << u"memo"_s << int(Qt::Key_Return) << ctrl << u"rich"_s;
    QTest::newRow("Enter in a rich text box")
        << u"rich"_s << int(Qt::Key_Enter) << none << u"rich"_s;
    QTest::newRow("skips hidden and disabled")
        << u"rich"_s << int(Qt::Key_Return) << ctrl << u"last"_s;
    QTest::newRow("on to the button") << u"last"_s << int(Qt::Key_Return) << none << u"button"_s;
    QTest::newRow("wraps around") << u"button"_s << int(Qt::Key_Return) << none << u"first"_s;
}

void TestUPub::enterMovesFocus()
{
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, to);

    Form form;
    QVERIFY(QTest::qWaitForWindowActive(&form.window));
    QWidget *start = form.byName(from);
    start->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), start);

    EnterMovesFocus(start, key, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(QApplication::focusWidget(), start); // queued, not yet moved
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::focusWidget()->objectName(), to);
}

namespace {

class EnterFilter : public QObject
{
public:
    explicit EnterFilter(QWidget *window) : m_window(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto *ke = static_cast<QKeyEvent *>(event);
            EnterMovesFocus(m_window->focusWidget(), ke->key(), ke->modifiers());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *m_window;
};

} // namespace

void TestUPub::enterFromEventFilterIsNotConsumed()
{
    Form form;
    QVERIFY(QTest::qWaitForWindowActive(&form.window));
    EnterFilter filter(&form.window);
    form.first->installEventFilter(&filter);
    form.memo->installEventFilter(&filter);
    QSignalSpy returnPressed(form.first, &QLineEdit::returnPressed);

    form.first->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), form.first);
    QTest::keyClick(form.first, Qt::Key_Return);
    QTRY_COMPARE(QApplication::focusWidget(), form.second);
    QCOMPARE(returnPressed.count(), 1);

    // Plain Enter in the memo breaks the line and keeps the focus.
    form.memo->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), form.memo);
    QTest::keyClicks(form.memo, u"ab"_s);
    QTest::keyClick(form.memo, Qt::Key_Return);
    QTest::keyClicks(form.memo, u"cd"_s);
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::focusWidget(), form.memo);
    QCOMPARE(form.memo->toPlainText(), u"ab\ncd"_s);
}

QTEST_MAIN(TestUPub)
#include "tst_upub.moc"

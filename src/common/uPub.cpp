#include "common/uPub.h"

#include "common/GbkCodec.h"
#include "platform/ShellLauncher.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRandomGenerator>
#include <QTextEdit>
#include <QWidget>

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

QString AppPath;

// ---------------------------------------------------------------------------------------------
// Pinyin initials

namespace {

struct PinyinRange
{
    quint16 first;
    char letter;
};

// Ranges follow one another without gaps; the last one ends at 0xD7F9.
constexpr std::array<PinyinRange, 23> pinyinRanges = {{
    {0xB0A1, 'A'}, {0xB0C5, 'B'}, {0xB2C1, 'C'}, {0xB4EE, 'D'}, {0xB6EA, 'E'}, {0xB7A2, 'F'},
    {0xB8C1, 'G'}, {0xB9FE, 'H'}, {0xBBF7, 'J'}, {0xBFA6, 'K'}, {0xC0AC, 'L'}, {0xC2E8, 'M'},
    {0xC4C3, 'N'}, {0xC5B6, 'O'}, {0xC5BE, 'P'}, {0xC6DA, 'Q'}, {0xC8BB, 'R'}, {0xC8F6, 'S'},
    {0xCBFA, 'T'}, {0xCDDA, 'W'}, {0xCEF4, 'X'}, {0xD1B9, 'Y'}, {0xD4D1, 'Z'},
}};
constexpr quint16 pinyinLast = 0xD7F9;

} // namespace

QChar GetPYInitial(quint16 code)
{
    if (code < pinyinRanges.front().first || code > pinyinLast)
        return u' ';
    // The last range whose first code is not above code.
    std::size_t lo = 0;
    std::size_t hi = pinyinRanges.size();
    while (hi - lo > 1) {
        const std::size_t mid = (lo + hi) / 2;
        if (pinyinRanges[mid].first <= code)
            lo = mid;
        else
            hi = mid;
    }
    return QChar(char16_t(pinyinRanges[lo].letter));
}

QString GetPYCode(const QString &name)
{
    QString out;
    out.reserve(name.size());
    const QChar *p = name.constData();
    const qsizetype n = name.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i].unicode();
        if (c < 0x80) {
            out.append(QChar(c));
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && p[i + 1].isLowSurrogate()) {
            out.append(u' '); // outside the BMP: never in GBK
            ++i;
        } else {
            const quint16 code = QChar::isSurrogate(c) ? 0 : Gbk::codeOf(c);
            out.append(code == 0 ? QChar(u' ') : GetPYInitial(code));
        }
    }
    return out;
}

QString GetPYCodeBytes(const QByteArray &gbk)
{
    QString out;
    out.reserve(gbk.size());
    const qsizetype n = gbk.size();
    for (qsizetype i = 0; i < n; ++i) {
        const quint8 b = quint8(gbk[i]);
        if (b < 0x80) {
            out.append(QChar(char16_t(b)));
            continue;
        }
        const quint8 trail = i + 1 < n ? quint8(gbk[i + 1]) : 0;
        ++i;
        out.append(GetPYInitial(quint16(b << 8 | trail)));
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Number texts

bool IsNumberText(const QString &text)
{
    if (text.isEmpty())
        return false;
    QStringView rest(text);
    if (rest.front() == u'+' || rest.front() == u'-')
        rest = rest.mid(1);
    for (const QChar c : rest) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

bool IsMobileCode(const QString &text)
{
    // Blanks and control characters: everything up to U+0020.
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    const QStringView s = QStringView(text).sliced(begin, end - begin);
    if (s.size() != 11 || s.front() != u'1' || !IsNumberText(s.toString()))
        return false;
    const qint64 value = s.toLongLong();
    return value >= 13000000000LL && value <= 18999999999LL;
}

// ---------------------------------------------------------------------------------------------
// Shell

void ShellRun(const QString &target)
{
    ShellLauncher::instance().open(target);
}

void BrowseURL(const QString &url)
{
    ShellLauncher::instance().browse(url);
}

// ---------------------------------------------------------------------------------------------
// Enter moves the focus

namespace {

bool isMultiLineEdit(const QWidget *w)
{
    // The focus may sit on the editor or, through a focus proxy, on its viewport.
    for (int depth = 0; w && depth < 2; ++depth, w = w->parentWidget()) {
        if (qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QTextEdit *>(w))
            return true;
    }
    return false;
}

// The next widget after from in the focus chain of window that takes focus by Tab.
QWidget *nextTabStop(QWidget *window, QWidget *from)
{
    QWidget *w = from;
    for (;;) {
        w = w->nextInFocusChain();
        if (!w || w == from)
            return nullptr;
        if (w != window && window->isAncestorOf(w) && !w->focusProxy() &&
            (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isVisibleTo(window) &&
            w->isEnabled())
            return w;
    }
}

} // namespace

void EnterMovesFocus(QWidget *activeControl, int key, Qt::KeyboardModifiers shift)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return;
    if (!activeControl)
        return;
    if (isMultiLineEdit(activeControl) && !(shift & Qt::ControlModifier))
        return;
    QWidget *window = activeControl->window();
    QPointer<QWidget> control(activeControl);
    QMetaObject::invokeMethod(
        window,
        [window, control] {
            // Move on from whatever holds the focus when the key has been handled.
            QWidget *from = window->focusWidget();
            if (!from)
                from = control.data();
            if (!from)
                return;
            if (QWidget *next = nextTabStop(window, from))
                next->setFocus(Qt::TabFocusReason);
        },
        Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------------------------
// File copy

namespace {

CopyProgressHook copyHook = nullptr;

QString errnoText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

class Fd
{
public:
    Fd() = default;
    explicit Fd(int fd) : m_fd(fd) {}
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    ~Fd() { reset(); }
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Closes and reports the result: a write error may show up only here.
    int close()
    {
        const int r = ::close(m_fd);
        m_fd = -1;
        return r;
    }

private:
    int m_fd = -1;
};

// Removes the temporary file unless the copy was committed.
struct TempGuard
{
    QByteArray path;
    bool committed = false;
    ~TempGuard()
    {
        if (!committed && !path.isEmpty())
            ::unlink(path.constData());
    }
};

void lockExclusive(int fd, const QString &path)
{
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno == EWOULDBLOCK)
            throw FileError(u"%1 is in use by another process"_s.arg(path));
        throw FileError(u"cannot lock %1: %2"_s.arg(path, errnoText(errno)));
    }
}

qint64 failAfterFromEnvironment()
{
    bool ok = false;
    const qint64 n = qEnvironmentVariable("QUILLO_COPY_FAIL_AFTER").toLongLong(&ok);
    return ok ? n : -1;
}

} // namespace

void setCopyDataFileHook(CopyProgressHook hook)
{
    copyHook = hook;
}

void CopyDataFile(const QString &src, const QString &dst)
{
    const QByteArray srcPath = QFile::encodeName(src);
    const QByteArray dstPath = QFile::encodeName(dst);
    if (src.isEmpty() || dst.isEmpty())
        throw FileError(u"copy: empty file name"_s);

    Fd in(::open(srcPath.constData(), O_RDONLY | O_CLOEXEC));
    if (!in.valid())
        throw FileError(u"cannot open %1: %2"_s.arg(src, errnoText(errno)));
    struct stat srcStat
    {
    };
    if (::fstat(in.get(), &srcStat) != 0)
        throw FileError(u"cannot read %1: %2"_s.arg(src, errnoText(errno)));
    if (!S_ISREG(srcStat.st_mode))
        throw FileError(u"%1 is not a regular file"_s.arg(src));
    lockExclusive(in.get(), src);

    // An existing destination is locked too, and keeps its permission bits.
    Fd old;
    mode_t mode = 0666;
    bool keepMode = false;
    struct stat dstStat
    {
    };
    if (::stat(dstPath.constData(), &dstStat) == 0) {
        if (S_ISDIR(dstStat.st_mode))
            throw FileError(u"%1 is a folder"_s.arg(dst));
        const bool sameFile = dstStat.st_dev == srcStat.st_dev && dstStat.st_ino == srcStat.st_ino;
        if (!sameFile && S_ISREG(dstStat.st_mode)) {
            old.reset(::open(dstPath.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
            if (!old.valid())
                throw FileError(u"cannot open %1: %2"_s.arg(dst, errnoText(errno)));
            lockExclusive(old.get(), dst);
        }
        mode = dstStat.st_mode & 07777;
        keepMode = true;
    } else if (errno != ENOENT) {
        throw FileError(u"cannot reach %1: %2"_s.arg(dst, errnoText(errno)));
    }

    const QFileInfo dstInfo(dst);
    const QString folder = dstInfo.absolutePath();
    TempGuard temp;
    Fd out;
    for (int attempt = 0; attempt < 100 && !out.valid(); ++attempt) {
        const QString name =
            u"%1/.%2.%3.tmp"_s.arg(folder, dstInfo.fileName(),
                                   QString::number(QRandomGenerator::global()->generate64(), 36));
        const QByteArray path = QFile::encodeName(name);
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            out.reset(fd);
            temp.path = path;
        } else if (errno != EEXIST) {
            throw FileError(u"cannot create a file in %1: %2"_s.arg(folder, errnoText(errno)));
        }
    }
    if (!out.valid())
        throw FileError(u"cannot create a temporary file in %1"_s.arg(folder));
    if (keepMode && ::fchmod(out.get(), mode) != 0)
        throw FileError(u"cannot set the mode of %1: %2"_s.arg(dst, errnoText(errno)));

    const qint64 failAfter = failAfterFromEnvironment();
    std::array<char, 1 << 16> buffer;
    qint64 copied = 0;
    for (;;) {
        const ssize_t got = ::read(in.get(), buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(u"cannot read %1: %2"_s.arg(src, errnoText(errno)));
        }
        if (got == 0)
            break;
        ssize_t done = 0;
        while (done < got) {
            const ssize_t put = ::write(out.get(), buffer.data() + done, size_t(got - done));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                throw FileError(u"cannot write %1: %2"_s.arg(dst, errnoText(errno)));
            }
            done += put;
        }
        copied += got;
        if ((copyHook && !copyHook(copied)) || (failAfter >= 0 && copied >= failAfter))
            throw FileError(u"copy of %1 interrupted after %2 bytes"_s.arg(src).arg(copied));
    }

    if (::fsync(out.get()) != 0)
        throw FileError(u"cannot write %1: %2"_s.arg(dst, errnoText(errno)));
    if (out.close() != 0)
        throw FileError(u"cannot write %1: %2"_s.arg(dst, errnoText(errno)));
    if (::rename(temp.path.constData(), dstPath.constData()) != 0)
        throw FileError(u"cannot replace %1: %2"_s.arg(dst, errnoText(errno)));
    temp.committed = true;

    // Make the rename itself durable; the copy is complete either way.
    Fd dir(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid())
        ::fsync(dir.get());
}

// ---------------------------------------------------------------------------------------------
// Password text

namespace {

constexpr char16_t ScrambleTable[] =
    u"AQB7CMD2EXFKG%H9IDJRK0LWM5NTOBP+QHR3SYT1UFV=WLX8YCZN041G263P4J5S6A7V8E9Z-U*I&O";
constexpr int scramblePairs = 39;
static_assert(sizeof ScrambleTable / sizeof ScrambleTable[0] == 2 * scramblePairs + 1);

} // namespace

QString TextToHex(const QString &text, int count)
{
    const QByteArray bytes = Gbk::encodeLossy(text);
    const qsizetype n = qBound(qsizetype(0), qsizetype(count), bytes.size());
    return QString::fromLatin1(bytes.first(n).toHex().toUpper());
}

int HexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return 0;
}

QString HexToText(const QString &text)
{
    if (text.size() < 2)
        return QString();
    QByteArray bytes;
    bytes.reserve(text.size() / 2);
    for (qsizetype i = 0; i + 1 < text.size(); i += 2)
        bytes.append(char(16 * HexDigitValue(text[i]) + HexDigitValue(text[i + 1])));
    return Gbk::decode(bytes);
}

QChar ScrambleChar(QChar c)
{
    for (int i = 0; i < scramblePairs; ++i) {
        if (ScrambleTable[2 * i] == c.unicode())
            return QChar(ScrambleTable[2 * i + 1]);
    }
    return u'~';
}

QChar UnscrambleChar(QChar c)
{
    for (int i = 0; i < scramblePairs; ++i) {
        if (ScrambleTable[2 * i + 1] == c.unicode())
            return QChar(ScrambleTable[2 * i]);
    }
    return u'~';
}

QString SwapCharPairs(const QString &text)
{
    QString out = text;
    for (qsizetype i = 0; i + 1 < out.size(); i += 2)
        std::swap(out[i], out[i + 1]);
    return out;
}

namespace {

// Substitutes every character the table knows (others stay), then swaps neighbours.
QString substituteAndSwap(const QString &text, QChar (*substitute)(QChar))
{
    QString out = text;
    for (QChar &c : out) {
        const QChar s = substitute(c);
        if (s != u'~')
            c = s;
    }
    return SwapCharPairs(out);
}

} // namespace

QString ScrambleText(const QString &text)
{
    return substituteAndSwap(text, ScrambleChar);
}

QString UnscrambleText(const QString &text)
{
    return substituteAndSwap(text, UnscrambleChar);
}

QString EncodePassword(const QString &password)
{
    // Every byte counts: a hanzi is two bytes, so the character count would cut the text.
    const Gbk::Encoded enc = Gbk::encode(password);
    if (!enc.ok())
        throw FileError(
            u"the password holds characters GBK lacks: %1"_s.arg(Gbk::unencodable(password)));
    return ScrambleText(TextToHex(password, int(enc.bytes.size())));
}

QString DecodePassword(const QString &stored)
{
    return HexToText(UnscrambleText(stored));
}

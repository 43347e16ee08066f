#pragma once

#include "common/FileError.h"

#include <QByteArray>
#include <QChar>
#include <QString>
#include <Qt>

class QWidget;

// Folder of the running executable, with a trailing '/'. Set by the data module at start-up;
// every relative file name of the program is appended to it.
extern QString AppPath;

// Pinyin initials of a name: one character per character. ASCII is kept as it is, a level-1
// hanzi gives the upper-case initial of its reading, anything else (symbols, full-width forms,
// level-2 hanzi, characters GBK lacks) gives a space.
QString GetPYCode(const QString &name);
// The same over GBK bytes. A lead byte that is the last byte counts with a trail byte of 0.
QString GetPYCodeBytes(const QByteArray &gbk);
// Initial of one two-byte GBK code (lead * 256 + trail), or a space outside the table.
QChar GetPYInitial(quint16 code);

// True for an optional leading '+' or '-' followed only by the digits 0-9 (a lone sign counts
// as a number); false for an empty text.
bool IsNumberText(const QString &text);
// True for 11 digits starting with "1", from 13000000000 to 18999999999, after trimming blanks
// and control characters from both ends.
bool IsMobileCode(const QString &text);

// Opens a file, folder, program or URL through the desktop; failures are ignored.
void ShellRun(const QString &target);
// Opens a URL in the default web browser; failures are ignored.
void BrowseURL(const QString &url);

// Lets Enter move the focus to the next control in tab order, as Tab does. In a multi-line
// text box (QPlainTextEdit, QTextEdit) only Ctrl+Enter moves; plain Enter starts a new line.
// The move is queued, so it happens after the key has been processed; the key is not consumed.
//
// A dialog calls it for every key press before the focused control handles it, e.g. from an
// event filter it installs on itself and its children (or on qApp, checking the window):
//
//     bool TfrmX::eventFilter(QObject *watched, QEvent *event)
//     {
//         if (event->type() == QEvent::KeyPress) {
//             auto *ke = static_cast<QKeyEvent *>(event);
//             EnterMovesFocus(focusWidget(), ke->key(), ke->modifiers());
//         }
//         return QDialog::eventFilter(watched, event);
//     }
//
// Since the key goes on to the control, a QDialog's default button still reacts to Enter
// unless its buttons have autoDefault and default switched off.
void EnterMovesFocus(QWidget *activeControl, int key, Qt::KeyboardModifiers shift);

// Copies src over dst. The copy is written to a temporary file in dst's folder, flushed to disk
// and renamed over dst, so dst is either the old file or a complete copy. src, and an existing
// dst, are locked with an exclusive non-blocking flock: a file another process holds open with
// a lock (every database connection does) is refused. A replaced dst keeps its permission bits;
// a new one gets the usual 0666 less umask. Throws FileError on every failure.
void CopyDataFile(const QString &src, const QString &dst);

// Test seam for CopyDataFile: called after each block written with the bytes copied so far;
// returning false makes the copy fail there as a write error would. nullptr removes it.
// The environment variable QUILLO_COPY_FAIL_AFTER=<bytes> has the same effect, for tests that
// drive a whole program.
using CopyProgressHook = bool (*)(qint64 bytesCopied);
void setCopyDataFileHook(CopyProgressHook hook);

// The first count GBK bytes of text as upper-case hexadecimal digits, two per byte.
// Characters GBK lacks are encoded as '?'; callers check Gbk::canEncode first.
QString TextToHex(const QString &text, int count);
// The inverse of TextToHex: each pair of digits gives one byte, the bytes are decoded as GBK.
// Shorter than 2 characters gives an empty text; an odd last character is ignored.
QString HexToText(const QString &text);
// Value of a hexadecimal digit, either case. A character that is not a hexadecimal digit
// counts as 0, so a damaged stored text still decodes to something of the same length.
int HexDigitValue(QChar c);

QChar ScrambleChar(QChar c);   // plain -> scrambled side of the table, '~' when absent
QChar UnscrambleChar(QChar c); // scrambled -> plain side of the table, '~' when absent
QString SwapCharPairs(const QString &text);
QString ScrambleText(const QString &text);
QString UnscrambleText(const QString &text);

// The SMS account password as stored in SMS.ini, and back. EncodePassword throws FileError
// when GBK lacks a character of the password, rather than storing a different one.
QString EncodePassword(const QString &password);
QString DecodePassword(const QString &stored);

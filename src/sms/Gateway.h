#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// Requests to and answers from the SMS gateway.
namespace Gateway {

constexpr quint16 Port = 8080;

struct Account
{
    QString entId;
    QString userName;
    QString password;
    bool complete() const { return !entId.isEmpty() && !userName.isEmpty() && !password.isEmpty(); }
};

// A query value: its GBK bytes, every byte but A-Z a-z 0-9 - . _ ~ percent-encoded. Empty
// with *ok false when the text has a character GBK lacks.
QByteArray encodeValue(const QString &value, bool *ok = nullptr);

// "http://HOST:8080/?CORPID=..&USERNAME=..&PASSWORD=..&EXTNO=&MOBILE=..&CONTENT=.."
// An invalid URL when a value cannot be encoded.
QUrl sendUrl(const QString &host, const Account &account, const QString &numbers,
             const QString &content);
// "http://HOST:8080/Balance.asp?CORPID=..&USERNAME=..&PASSWORD=.."
QUrl balanceUrl(const QString &host, const Account &account);

// An answer document as the worker browser would hold it.
struct Document
{
    bool hasBody = false;
    QString outerHtml; // markup of the root element, tag names in upper case
};
// Parses an HTML answer (UTF-8 bytes) as an HTML5 parser does and serialises its root.
Document parseHtml(const QByteArray &utf8);

// The result text of a root markup: what follows the first "BODY" and one more character, up
// to the next "<", cut before the first ":".
QString GetRtn(const QString &markup);

struct Result
{
    bool numeric = false; // digits with an optional sign, fitting a 64-bit integer
    qint64 value = 0;
};
Result readResult(const QString &resultText);

// The status text for a negative result code; empty for codes the table lacks.
QString errorText(const QString &resultText);

} // namespace Gateway

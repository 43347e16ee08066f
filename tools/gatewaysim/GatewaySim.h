#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QFile;
class QTcpServer;
class QTcpSocket;

// A stand-in for the provider's SMS gateway: answers send ("/") and balance ("/Balance.asp")
// requests over plain HTTP, with scripted result codes, delays and faults, and serves static
// pages (the provider's account page) from a table. Runs on the thread that owns it; every
// wait is a timer, so tests can run it in-process beside the code under test.
class GatewaySim : public QObject
{
    Q_OBJECT
public:
    // One scripted answer.
    struct Reply
    {
        enum class Kind
        {
            Text,   // an HTML page whose body text is `text` ("0", "-13", "0:ok", ...)
            Raw,    // `text` sent as the whole response body, unchanged
            NoBody, // 200 with an empty body
            Drop,   // connection closed without an answer
            Hang,   // the request is read and never answered
            Status, // HTTP status `status` with `text` as the body
        };
        Kind kind = Kind::Text;
        QString text = QStringLiteral("0");
        int delayMs = 0;
        int status = 200;

        // Parses "[MS@]WHAT": WHAT is drop, nobody, hang, garbage, raw:TEXT, http:CODE or a
        // result text. "250@-13" answers -13 after 250 ms. Returns false on a malformed item.
        static bool parse(const QString &item, Reply *out);
        static Reply code(const QString &text, int delayMs = 0);
    };

    enum class Kind
    {
        Send,
        Balance,
        Page,
        Other
    };

    // One request as the simulator read it; values are percent-decoded and read as GBK.
    struct Request
    {
        int seq = 0;
        Kind kind = Kind::Other;
        QByteArray target; // the request target as sent (path and query)
        QString path;
        QString corpId, userName, password, extNo, content;
        QStringList mobiles;
        QStringList keys;      // query keys in the order they came
        QString answer;        // what was answered: the result text, "drop", "nobody", ...
        bool accepted = false; // a non-negative result code went out to the client
    };

    explicit GatewaySim(QObject *parent = nullptr);
    ~GatewaySim() override;

    bool listen(const QHostAddress &address, quint16 port = 8080);
    void close();
    QString errorString() const;

    // Scripted answers, consumed one per request of that kind; when a queue is empty the
    // default answer of that kind is used (send: "0", balance: "1000").
    void queueSend(const Reply &r) { m_sendQueue.append(r); }
    void queueBalance(const Reply &r) { m_balanceQueue.append(r); }
    void setSendDefault(const Reply &r) { m_sendDefault = r; }
    void setBalanceDefault(const Reply &r) { m_balanceDefault = r; }
    // A static page served for GET `path` (compared without regard to case).
    void addPage(const QString &path, const QByteArray &body,
                 const QByteArray &contentType = QByteArrayLiteral("text/html; charset=gbk"));

    // Serves the provider's account pages: "/sms/" with the login form (inputs "Ecode", "user",
    // "password") and a second form holding another "user" input, and "/sms/records.asp",
    // linked from it, with a form of the same names.
    void addAccountPages();

    // Appends one line per request to this file (and flushes it); empty: no file log.
    bool setLogFile(const QString &path);
    static QString logLine(const Request &r);

    QList<Request> requests() const { return m_requests; }
    QList<Request> sendRequests() const;
    // The numbers of every send request that was answered with an acceptance, in order.
    QStringList acceptedNumbers() const;
    void clearLog() { m_requests.clear(); }

signals:
    void requestHandled(const GatewaySim::Request &request);

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void handle(QTcpSocket *socket, const QByteArray &target);
    // Writes the answer; true when an acceptance went out.
    bool answer(QTcpSocket *socket, const Reply &reply, const QByteArray &pageBody,
                const QByteArray &pageType);
    void delivered(int seq, bool sent);
    static QByteArray htmlFor(const QString &text);

    QTcpServer *m_server;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    QList<Reply> m_sendQueue, m_balanceQueue;
    Reply m_sendDefault, m_balanceDefault;
    QHash<QString, QPair<QByteArray, QByteArray>> m_pages;
    QList<Request> m_requests;
    QFile *m_log = nullptr;
    int m_seq = 0;
};

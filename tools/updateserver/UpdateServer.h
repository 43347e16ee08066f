#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTcpServer>

// A small HTTP/1.1 server for the updater: serves a folder whose layout is the update server's
// ("QuilloBook/UpdateCnt.txt", "QuilloBook/CLIENT/...", "QuilloBook/SQL/..."), with switches
// that make it behave like a server in the middle of publishing or a failing one.
class UpdateServer : public QTcpServer
{
    Q_OBJECT
public:
    struct Request
    {
        QString method;
        QString path; // decoded, without the query
        QString query;
        QByteArray userAgent;
        QByteArray accept;
        int status = 0;
    };

    explicit UpdateServer(const QString &rootFolder, QObject *parent = nullptr);

    // Serve the publishing marker "/QuilloBook/NowUpLoad.txt" even when no such file exists.
    void setPublishing(bool on) { m_publishing = on; }
    // Answer 404 for this path although the file exists.
    void addMissing(const QString &path) { m_missing.insert(path); }
    // Announce the whole file, send half of it and close the connection.
    void addFailing(const QString &path) { m_failing.insert(path); }
    // Send the headers and then nothing, keeping the connection open.
    void addStalling(const QString &path) { m_stalling.insert(path); }
    // Answer every request that has no query with a 302 to the same path and "?moved=1".
    void setRedirecting(bool on) { m_redirecting = on; }

    bool start(const QHostAddress &address, quint16 port = 0);
    QString rootUrl() const; // "http://<address>:<port>"
    QString hostAndPort() const;

    QList<Request> requests() const { return m_requests; }
    QStringList requestedPaths() const;
    void clearRequests() { m_requests.clear(); }

signals:
    void logLine(const QString &line);

protected:
    void incomingConnection(qintptr socketDescriptor) override;

private:
    void answer(class QTcpSocket *socket, const QByteArray &head);

    QString m_root;
    bool m_publishing = false;
    bool m_redirecting = false;
    QSet<QString> m_missing;
    QSet<QString> m_failing;
    QSet<QString> m_stalling;
    QList<Request> m_requests;
};

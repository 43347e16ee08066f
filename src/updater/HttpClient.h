#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QUrl>

// Blocking HTTP GET for the updater: waits in a local event loop, so windows keep painting.
// Redirects are followed, cookies kept, no proxy is used; a transfer that moves no data for
// the time-out fails.
class HttpClient : public QObject
{
    Q_OBJECT
public:
    explicit HttpClient(QObject *parent = nullptr);

    void setTransferTimeout(int ms) { m_timeoutMs = ms; }
    int transferTimeout() const { return m_timeoutMs; }

    // The body of a successful (2xx after redirects) answer; false on any failure.
    bool get(const QUrl &url, QByteArray &body);

signals:
    // Before the first bytes of an answer arrive: its expected size (0 when unknown).
    void workBegin(qint64 expected);
    // Bytes received so far.
    void work(qint64 received);

private:
    QNetworkAccessManager m_nam;
    int m_timeoutMs = 30000;
};

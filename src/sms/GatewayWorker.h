#pragma once

#include "sms/SendLoop.h"

#include <QObject>
#include <QPointer>
#include <QUrl>

class QNetworkAccessManager;
#include <QNetworkReply>
class QTimer;

// The hidden worker browser: issues one GET at a time and reports each answer as the document
// a browser would have built from it. Redirects are followed and cookies kept; an answer that
// is not complete within the time-out (30 s) is abandoned and reported as timed out.
class GatewayWorker : public QObject
{
    Q_OBJECT
public:
    explicit GatewayWorker(QObject *parent = nullptr);
    ~GatewayWorker() override;

    // A later navigate replaces a load still under way; the replaced one reports nothing.
    void navigate(const QUrl &url);
    bool loading() const { return m_reply != nullptr; }
    void setTimeout(int ms) { m_timeoutMs = ms; }
    int timeout() const { return m_timeoutMs; }

    // The document of a completed answer body (GBK unless the content type names UTF-8).
    static SendLoop::Answer documentFor(const QByteArray &body, const QByteArray &contentType);

signals:
    void documentComplete(const SendLoop::Answer &answer);

private:
    void finished();
    void timedOut();
    void drop();

    QNetworkAccessManager *m_nam;
    QPointer<QNetworkReply> m_reply;
    QTimer *m_deadline;
    int m_timeoutMs = 30000;
};

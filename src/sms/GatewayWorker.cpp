#include "sms/GatewayWorker.h"

#include "sms/Gateway.h"

#include "common/GbkCodec.h"

#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

using namespace Qt::StringLiterals;

GatewayWorker::GatewayWorker(QObject *parent)
    : QObject(parent), m_nam(new QNetworkAccessManager(this)), m_deadline(new QTimer(this))
{
    m_nam->setCookieJar(new QNetworkCookieJar(m_nam));
    m_nam->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    m_deadline->setSingleShot(true);
    connect(m_deadline, &QTimer::timeout, this, &GatewayWorker::timedOut);
}

GatewayWorker::~GatewayWorker()
{
    drop();
}

void GatewayWorker::drop()
{
    m_deadline->stop();
    if (QNetworkReply *r = m_reply) {
        m_reply = nullptr;
        r->disconnect(this);
        r->abort();
        r->deleteLater();
    }
}

void GatewayWorker::navigate(const QUrl &url)
{
    drop();
    QNetworkRequest req(url);
    req.setTransferTimeout(m_timeoutMs);
    req.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("QuilloBook"));
    m_reply = m_nam->get(req);
    connect(m_reply, &QNetworkReply::finished, this, &GatewayWorker::finished);
    m_deadline->start(m_timeoutMs);
}

SendLoop::Answer GatewayWorker::documentFor(const QByteArray &body, const QByteArray &contentType)
{
    SendLoop::Answer a;
    if (body.isEmpty()) {
        a.kind = SendLoop::Answer::Kind::NoBody;
        return a;
    }
    const bool utf8 = contentType.toLower().contains("utf-8");
    const QByteArray text = utf8 ? body : Gbk::decode(body).toUtf8();
    const Gateway::Document doc = Gateway::parseHtml(text);
    if (!doc.hasBody) {
        a.kind = SendLoop::Answer::Kind::NoBody;
        return a;
    }
    a.markup = doc.outerHtml;
    return a;
}

void GatewayWorker::finished()
{
    QNetworkReply *r = m_reply;
    if (!r || sender() != r)
        return;
    m_reply = nullptr;
    m_deadline->stop();
    r->deleteLater();
    SendLoop::Answer a;
    if (r->error() == QNetworkReply::OperationCanceledError ||
        r->error() == QNetworkReply::TimeoutError) {
        a.kind = SendLoop::Answer::Kind::TimedOut; // the transfer time-out fired
    } else if (r->error() != QNetworkReply::NoError) {
        a.kind = SendLoop::Answer::Kind::Failed;
    } else {
        a = documentFor(r->readAll(), r->header(QNetworkRequest::ContentTypeHeader).toByteArray());
    }
    emit documentComplete(a);
}

void GatewayWorker::timedOut()
{
    if (!m_reply)
        return;
    drop();
    SendLoop::Answer a;
    a.kind = SendLoop::Answer::Kind::TimedOut;
    emit documentComplete(a);
}

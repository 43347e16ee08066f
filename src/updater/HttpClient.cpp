#include "updater/HttpClient.h"

#include <QEventLoop>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>

using namespace Qt::StringLiterals;

HttpClient::HttpClient(QObject *parent) : QObject(parent)
{
    m_nam.setProxy(QNetworkProxy::NoProxy);
}

bool HttpClient::get(const QUrl &url, QByteArray &body)
{
    body.clear();
    if (!url.isValid())
        return false;
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      u"Mozilla/3.0 (compatible; Indy Library)"_s);
    request.setRawHeader("Accept", "text/html, */*");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(20);
    request.setTransferTimeout(m_timeoutMs);

    QNetworkReply *reply = m_nam.get(request);
    bool begun = false;
    connect(reply, &QNetworkReply::downloadProgress, this,
            [this, &begun](qint64 received, qint64 total) {
                if (!begun) {
                    begun = true;
                    emit workBegin(total > 0 ? total : 0);
                }
                emit work(received);
            });
    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool ok = reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
    if (ok)
        body = reply->readAll();
    reply->disconnect(this);
    reply->deleteLater();
    return ok;
}

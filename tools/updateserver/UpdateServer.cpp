#include "UpdateServer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTcpSocket>
#include <QUrl>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
QByteArray statusLine(int status)
{
    switch (status) {
    case 200:
        return "HTTP/1.1 200 OK\r\n";
    case 302:
        return "HTTP/1.1 302 Found\r\n";
    case 400:
        return "HTTP/1.1 400 Bad Request\r\n";
    case 404:
        return "HTTP/1.1 404 Not Found\r\n";
    case 405:
        return "HTTP/1.1 405 Method Not Allowed\r\n";
    }
    return "HTTP/1.1 500 Internal Server Error\r\n";
}

QByteArray headerValue(const QList<QByteArray> &lines, const QByteArray &name)
{
    for (const QByteArray &line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name)
            return line.mid(colon + 1).trimmed();
    }
    return QByteArray();
}
} // namespace

UpdateServer::UpdateServer(const QString &rootFolder, QObject *parent)
    : QTcpServer(parent), m_root(QDir(rootFolder).absolutePath())
{
}

bool UpdateServer::start(const QHostAddress &address, quint16 port)
{
    return listen(address, port);
}

QString UpdateServer::hostAndPort() const
{
    return u"%1:%2"_s.arg(serverAddress().toString()).arg(serverPort());
}

QString UpdateServer::rootUrl() const
{
    return u"http://"_s + hostAndPort();
}

QStringList UpdateServer::requestedPaths() const
{
    QStringList paths;
    for (const Request &r : m_requests)
        paths << r.path;
    return paths;
}

void UpdateServer::incomingConnection(qintptr socketDescriptor)
{
    auto *socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(socketDescriptor)) {
        delete socket;
        return;
    }
    auto buffer = std::make_shared<QByteArray>();
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
        *buffer += socket->readAll();
        const qsizetype end = buffer->indexOf("\r\n\r\n");
        if (end < 0) {
            if (buffer->size() > 64 * 1024)
                socket->abort();
            return;
        }
        const QByteArray head = buffer->left(end);
        buffer->clear();
        answer(socket, head);
    });
}

void UpdateServer::answer(QTcpSocket *socket, const QByteArray &head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    Request r;
    r.method = QString::fromLatin1(requestLine.value(0));
    const QByteArray target = requestLine.value(1);
    const qsizetype q = target.indexOf('?');
    r.path = QUrl::fromPercentEncoding(q < 0 ? target : target.left(q));
    r.query = q < 0 ? QString() : QString::fromLatin1(target.mid(q + 1));
    r.userAgent = headerValue(lines, "user-agent");
    r.accept = headerValue(lines, "accept");

    QByteArray extraHeaders;
    QByteArray body;
    bool failing = false;
    bool stalling = false;
    const QStringList parts = r.path.split(u'/');
    if (r.method != u"GET"_s && r.method != u"HEAD"_s) {
        r.status = 405;
    } else if (!r.path.startsWith(u'/') || parts.contains(u".."_s)) {
        r.status = 400;
    } else if (m_redirecting && r.query.isEmpty()) {
        r.status = 302;
        extraHeaders = "Location: " + QUrl::toPercentEncoding(r.path, "/") + "?moved=1\r\n";
    } else if (m_missing.contains(r.path)) {
        r.status = 404;
    } else if (m_publishing && r.path == u"/QuilloBook/NowUpLoad.txt"_s) {
        r.status = 200;
        body = "publishing\r\n";
    } else {
        QFile file(m_root + r.path);
        if (QFileInfo(file).isFile() && file.open(QIODevice::ReadOnly)) {
            r.status = 200;
            body = file.readAll();
            failing = m_failing.contains(r.path);
            stalling = m_stalling.contains(r.path);
        } else {
            r.status = 404;
        }
    }
    m_requests.append(r);
    emit logLine(u"%1 %2 %3%4 %5 UA=\"%6\" Accept=\"%7\""_s.arg(
        QDateTime::currentDateTime().toString(u"hh:mm:ss.zzz"_s), r.method, r.path,
        r.query.isEmpty() ? QString() : u"?"_s + r.query, QString::number(r.status),
        QString::fromLatin1(r.userAgent), QString::fromLatin1(r.accept)));

    if (r.status != 200)
        body = statusLine(r.status).mid(9).trimmed() + "\r\n";
    QByteArray reply = statusLine(r.status);
    reply += "Content-Type: application/octet-stream\r\n";
    reply += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    reply += extraHeaders;
    reply += "Connection: close\r\n\r\n";
    socket->write(reply);
    if (stalling)
        return;
    if (r.method == u"GET"_s)
        socket->write(failing ? body.left(body.size() / 2) : body);
    socket->disconnectFromHost();
}

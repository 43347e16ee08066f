#include "GatewaySim.h"

#include "common/GbkCodec.h"

#include <QFile>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

QString decodeValue(QByteArrayView raw)
{
    // '+' stays '+': the client percent-encodes every value, so a literal '+' is data.
    return Gbk::decode(QByteArray::fromPercentEncoding(raw.toByteArray()));
}

bool isAcceptance(const QString &text)
{
    QString t = text.section(u':', 0, 0);
    if (t.startsWith(u'+') || t.startsWith(u'-'))
        t = t.mid(1);
    if (t.isEmpty() || text.startsWith(u'-'))
        return false;
    for (QChar c : t)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

QString escaped(QString s)
{
    s.replace(u'\\', u"\\\\"_s).replace(u'\t', u"\\t"_s).replace(u'\r', u"\\r"_s);
    return s.replace(u'\n', u"\\n"_s);
}

} // namespace

bool GatewaySim::Reply::parse(const QString &item, Reply *out)
{
    Reply r;
    QString what = item;
    const qsizetype at = item.indexOf(u'@');
    if (at > 0) {
        bool ok = false;
        r.delayMs = item.left(at).toInt(&ok);
        if (!ok || r.delayMs < 0)
            return false;
        what = item.mid(at + 1);
    }
    if (what == u"drop")
        r.kind = Kind::Drop;
    else if (what == u"nobody")
        r.kind = Kind::NoBody;
    else if (what == u"hang")
        r.kind = Kind::Hang;
    else if (what == u"garbage") {
        r.kind = Kind::Raw;
        r.text = u"<html><body><h1>Service Unavailable</h1></body></html>"_s;
    } else if (what.startsWith(u"raw:")) {
        r.kind = Kind::Raw;
        r.text = what.mid(4);
    } else if (what.startsWith(u"http:")) {
        bool ok = false;
        r.kind = Kind::Status;
        r.status = what.mid(5).toInt(&ok);
        r.text = u"error"_s;
        if (!ok || r.status < 100 || r.status > 599)
            return false;
    } else {
        r.kind = Kind::Text;
        r.text = what;
    }
    *out = r;
    return true;
}

GatewaySim::Reply GatewaySim::Reply::code(const QString &text, int delayMs)
{
    Reply r;
    r.text = text;
    r.delayMs = delayMs;
    return r;
}

GatewaySim::GatewaySim(QObject *parent) : QObject(parent), m_server(new QTcpServer(this))
{
    m_balanceDefault = Reply::code(u"1000"_s);
    connect(m_server, &QTcpServer::newConnection, this, &GatewaySim::onNewConnection);
}

GatewaySim::~GatewaySim()
{
    close();
}

bool GatewaySim::listen(const QHostAddress &address, quint16 port)
{
    return m_server->listen(address, port);
}

void GatewaySim::close()
{
    m_server->close();
    const auto sockets = m_buffers.keys();
    for (QTcpSocket *s : sockets) {
        s->disconnect(this);
        s->abort();
        s->deleteLater();
    }
    m_buffers.clear();
}

QString GatewaySim::errorString() const
{
    return m_server->errorString();
}

void GatewaySim::addPage(const QString &path, const QByteArray &body, const QByteArray &contentType)
{
    m_pages.insert(path.toLower(), {body, contentType});
}

void GatewaySim::addAccountPages()
{
    addPage(u"/sms/"_s,
            Gbk::encodeLossy(
                u"<!DOCTYPE html><html><head><meta charset=\"gbk\"><title>短信帐户登录</title>"
                "</head><body><h1>我的短信帐户</h1>"
                "<form id=\"login\" action=\"login.asp\" method=\"post\">"
                "企业ID <input name=\"Ecode\"> 用户名 <input name=\"user\"> "
                "密码 <input name=\"password\" type=\"password\"> <input type=\"submit\" "
                "value=\"登录\"></form>"
                "<form id=\"find\" action=\"find.asp\"><input name=\"user\"></form>"
                "<p><a id=\"records\" href=\"records.asp\">发送记录</a></p></body></html>"_s));
    addPage(u"/sms/records.asp"_s,
            Gbk::encodeLossy(u"<!DOCTYPE html><html><head><meta charset=\"gbk\">"
                             "<title>发送记录</title></head><body><form><input name=\"Ecode\">"
                             "<input name=\"user\"></form></body></html>"_s));
}

bool GatewaySim::setLogFile(const QString &path)
{
    delete m_log;
    m_log = nullptr;
    if (path.isEmpty())
        return true;
    m_log = new QFile(path);
    if (!m_log->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        delete m_log;
        m_log = nullptr;
        return false;
    }
    return true;
}

QString GatewaySim::logLine(const Request &r)
{
    static const char *const kinds[] = {"send", "balance", "page", "other"};
    QString line = QString::number(r.seq) % u'\t' % QLatin1StringView(kinds[int(r.kind)]) % u'\t' %
                   escaped(r.answer);
    if (r.kind == Kind::Send || r.kind == Kind::Balance)
        line +=
            u'\t' % escaped(r.corpId) % u'\t' % escaped(r.userName) % u'\t' % escaped(r.password);
    if (r.kind == Kind::Send)
        line += u'\t' % r.mobiles.join(u',') % u'\t' % escaped(r.content);
    if (r.kind == Kind::Page || r.kind == Kind::Other)
        line += u'\t' % QString::fromLatin1(r.target);
    return line;
}

QList<GatewaySim::Request> GatewaySim::sendRequests() const
{
    QList<Request> out;
    for (const Request &r : m_requests)
        if (r.kind == Kind::Send)
            out.append(r);
    return out;
}

QStringList GatewaySim::acceptedNumbers() const
{
    QStringList out;
    for (const Request &r : m_requests)
        if (r.kind == Kind::Send && r.accepted)
            out += r.mobiles;
    return out;
}

void GatewaySim::onNewConnection()
{
    while (QTcpSocket *s = m_server->nextPendingConnection()) {
        m_buffers.insert(s, {});
        connect(s, &QTcpSocket::readyRead, this, [this, s] { onReadyRead(s); });
        connect(s, &QTcpSocket::disconnected, this, [this, s] {
            m_buffers.remove(s);
            s->deleteLater();
        });
    }
}

void GatewaySim::onReadyRead(QTcpSocket *socket)
{
    auto it = m_buffers.find(socket);
    if (it == m_buffers.end())
        return;
    it->append(socket->readAll());
    const qsizetype end = it->indexOf("\r\n\r\n");
    if (end < 0) {
        if (it->size() > 64 * 1024)
            socket->abort();
        return;
    }
    const QByteArray head = it->left(end);
    it->clear();
    // Further requests on this connection are not read: every answer closes it.
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    const QList<QByteArray> parts = head.left(head.indexOf("\r\n")).split(' ');
    if (parts.size() != 3 || parts[0] != "GET") {
        Reply r;
        r.kind = Reply::Kind::Status;
        r.status = 400;
        r.text = u"bad request"_s;
        answer(socket, r, {}, {});
        return;
    }
    handle(socket, parts[1]);
}

void GatewaySim::handle(QTcpSocket *socket, const QByteArray &target)
{
    Request req;
    req.seq = ++m_seq;
    req.target = target;
    const qsizetype q = target.indexOf('?');
    req.path = Gbk::decode(QByteArray::fromPercentEncoding(target.left(q < 0 ? target.size() : q)));
    const QByteArray query = q < 0 ? QByteArray() : target.mid(q + 1);
    QHash<QString, QString> values;
    if (!query.isEmpty()) {
        for (const QByteArray &pair : query.split('&')) {
            const qsizetype eq = pair.indexOf('=');
            const QString key = decodeValue(eq < 0 ? pair : pair.left(eq));
            req.keys << key;
            values.insert(key, eq < 0 ? QString() : decodeValue(pair.mid(eq + 1)));
        }
    }
    req.corpId = values.value(u"CORPID"_s);
    req.userName = values.value(u"USERNAME"_s);
    req.password = values.value(u"PASSWORD"_s);
    req.extNo = values.value(u"EXTNO"_s);
    req.content = values.value(u"CONTENT"_s);
    const QString mobile = values.value(u"MOBILE"_s);
    if (!mobile.isEmpty())
        req.mobiles = mobile.split(u',');

    const QString lowerPath = req.path.toLower();
    Reply reply;
    QByteArray pageBody, pageType;
    if (lowerPath == u"/" && values.contains(u"MOBILE"_s)) {
        req.kind = Kind::Send;
        reply = m_sendQueue.isEmpty() ? m_sendDefault : m_sendQueue.takeFirst();
    } else if (lowerPath == u"/balance.asp") {
        req.kind = Kind::Balance;
        reply = m_balanceQueue.isEmpty() ? m_balanceDefault : m_balanceQueue.takeFirst();
    } else if (auto page = m_pages.constFind(lowerPath); page != m_pages.constEnd()) {
        req.kind = Kind::Page;
        reply.kind = Reply::Kind::Raw;
        pageBody = page->first;
        pageType = page->second;
    } else {
        req.kind = Kind::Other;
        reply.kind = Reply::Kind::Status;
        reply.status = 404;
        reply.text = u"not found"_s;
    }

    switch (reply.kind) {
    case Reply::Kind::Text:
        req.answer = reply.text;
        break;
    case Reply::Kind::Raw:
        req.answer = pageBody.isEmpty() ? u"raw:"_s + reply.text : u"page"_s;
        break;
    case Reply::Kind::NoBody:
        req.answer = u"nobody"_s;
        break;
    case Reply::Kind::Drop:
        req.answer = u"drop"_s;
        break;
    case Reply::Kind::Hang:
        req.answer = u"hang"_s;
        break;
    case Reply::Kind::Status:
        req.answer = u"http:"_s + QString::number(reply.status);
        break;
    }
    if (reply.delayMs > 0)
        req.answer = QString::number(reply.delayMs) % u'@' % req.answer;

    m_requests.append(req);
    if (m_log) {
        m_log->write((logLine(req) + u'\n').toUtf8());
        m_log->flush();
    }
    emit requestHandled(req);

    if (reply.delayMs > 0) {
        QPointer<QTcpSocket> guard(socket);
        const int seq = req.seq;
        QTimer::singleShot(reply.delayMs, this, [this, guard, reply, pageBody, pageType, seq] {
            if (guard && guard->state() == QAbstractSocket::ConnectedState)
                delivered(seq, answer(guard, reply, pageBody, pageType));
        });
    } else {
        delivered(req.seq, answer(socket, reply, pageBody, pageType));
    }
}

QByteArray GatewaySim::htmlFor(const QString &text)
{
    return "<html><head><title>SMS Gateway</title></head><body>" + Gbk::encodeLossy(text) +
           "</body></html>";
}

void GatewaySim::delivered(int seq, bool sent)
{
    for (qsizetype i = m_requests.size(); i-- > 0;) {
        Request &r = m_requests[i];
        if (r.seq == seq) {
            r.accepted = sent && r.kind == Kind::Send;
            return;
        }
    }
}

bool GatewaySim::answer(QTcpSocket *socket, const Reply &reply, const QByteArray &pageBody,
                        const QByteArray &pageType)
{
    QByteArray body, type = "text/html; charset=gbk";
    int status = 200;
    switch (reply.kind) {
    case Reply::Kind::Drop:
        socket->abort();
        return false;
    case Reply::Kind::Hang:
        return false;
    case Reply::Kind::NoBody:
        break;
    case Reply::Kind::Text:
        body = htmlFor(reply.text);
        break;
    case Reply::Kind::Raw:
        body = pageBody.isEmpty() ? Gbk::encodeLossy(reply.text) : pageBody;
        if (!pageType.isEmpty())
            type = pageType;
        break;
    case Reply::Kind::Status:
        status = reply.status;
        body = htmlFor(reply.text);
        break;
    }
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) +
                      (status == 200 ? " OK" : " Error") + "\r\nContent-Type: " + type +
                      "\r\nContent-Length: " + QByteArray::number(body.size()) +
                      "\r\nConnection: close\r\n\r\n";
    const bool written = socket->write(head + body) == head.size() + body.size();
    socket->disconnectFromHost();
    return written && reply.kind == Reply::Kind::Text && isAcceptance(reply.text);
}

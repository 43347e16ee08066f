#include "sms/SendLoop.h"

#include "sms/Gateway.h"

using namespace Qt::StringLiterals;

SendLoop::SendLoop(RecipientQueue &list, Host &host, std::function<QUrl(const QString &)> sendUrl)
    : m_list(list), m_host(host), m_sendUrl(std::move(sendUrl))
{
}

QString SendLoop::networkFailureText()
{
    return u"获取网络数据失败，可能网络已经未连接Internet！"_s;
}

QString SendLoop::notConnectedText()
{
    return u"确认电脑是否连接到Internet"_s;
}

QStringList SendLoop::inFlight() const
{
    return m_busy && m_requestKind == Request::Send ? m_lastSend : QStringList();
}

void SendLoop::start()
{
    // A batch still awaiting its answer is kept: the answer decides whether it returns.
    if (!m_busy)
        m_lastSend.clear();
    m_running = true;
    m_host.setRunning(true);
    m_sendTotal = int(m_list.count());
    m_sendPos = 0;
}

void SendLoop::interrupt()
{
    m_running = false;
    m_host.setRunning(false);
}

void SendLoop::issue(Request kind, const QUrl &url)
{
    m_busy = true;
    m_requestKind = kind;
    m_host.navigate(url);
}

void SendLoop::tick()
{
    if (!m_running || m_busy)
        return;
    if (m_listBuf) {
        const QUrl url = *m_listBuf;
        m_listBuf.reset();
        issue(Request::Balance, url);
        return;
    }
    const qsizetype left = m_list.count();
    if (left == 0) {
        m_host.setStatus(u"发送完毕"_s, Colour::Keep);
        interrupt();
        return;
    }
    if (left <= 50)
        m_sendSpeed = 2;
    if (left <= 10)
        m_sendSpeed = 1;

    m_lastSend = m_list.takeFront(m_sendSpeed);
    const QString numbers = m_lastSend.join(u',');
    if (numbers.isEmpty()) {
        m_host.setStatus(u"发送完毕"_s, Colour::Keep);
        interrupt();
        return;
    }
    m_sendPos = std::min(m_sendPos + int(m_lastSend.size()), m_sendTotal);
    m_host.setStatus(u"正在发送 "_s + QString::number(m_sendPos) + u" / "_s +
                         QString::number(m_sendTotal) + u" 当前速度并行发送"_s +
                         QString::number(m_sendSpeed) + u"条/次(秒)"_s,
                     Colour::Keep);
    issue(Request::Send, m_sendUrl(numbers));
}

void SendLoop::RestoreLastMobile()
{
    if (m_requestKind == Request::Send && !m_lastSend.isEmpty())
        m_list.putFront(m_lastSend);
    m_lastSend.clear();
}

void SendLoop::fail(const QString &text, Colour colour)
{
    m_host.setStatus(text, colour);
    RestoreLastMobile();
    m_busy = false;
    interrupt();
    issueDeferredWhenIdle();
}

void SendLoop::issueDeferredWhenIdle()
{
    // Outside sending nothing else would issue a balance query deferred behind a request.
    if (!m_running && !m_busy && m_listBuf) {
        const QUrl url = *m_listBuf;
        m_listBuf.reset();
        issue(Request::Balance, url);
    }
}

void SendLoop::answer(const Answer &a)
{
    if (!m_busy)
        return;
    switch (a.kind) {
    case Answer::Kind::NoBody:
    case Answer::Kind::TimedOut:
        fail(networkFailureText(), Colour::Keep);
        return;
    case Answer::Kind::Failed:
        fail(notConnectedText(), Colour::Red);
        return;
    case Answer::Kind::Document:
        break;
    }
    const QString text = Gateway::GetRtn(a.markup);
    const Gateway::Result r = Gateway::readResult(text);
    if (!r.numeric) {
        fail(notConnectedText(), Colour::Red);
        return;
    }
    if (r.value < 0) {
        fail(Gateway::errorText(text), Colour::Red);
        return;
    }
    m_busy = false;
    if (m_requestKind == Request::Balance) {
        m_host.setBalance(text);
        m_host.setStatus(u"帐户余额："_s + text + u" 条"_s, Colour::Green);
        if (r.value < 100)
            m_sendSpeed = 1;
    } else {
        m_lastSend.clear();
        m_host.batchAccepted();
    }
    issueDeferredWhenIdle();
}

void SendLoop::refreshBalance(const QUrl &url)
{
    if (m_running || m_busy) {
        m_listBuf = url;
        return;
    }
    issue(Request::Balance, url);
}

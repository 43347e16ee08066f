#pragma once

#include "sms/RecipientList.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

// The send loop of the SMS window as a plain state machine. The window drives it (start,
// interrupt, a tick every 500 ms, each answer of the worker, balance refreshes) and carries out
// what it asks for through the Host interface. At most one request is outstanding at a time.
class SendLoop
{
public:
    enum class Colour
    {
        Keep,
        Red,
        Green
    };
    enum class Request
    {
        Balance = 1,
        Send = 2
    };

    class Host
    {
    public:
        virtual ~Host() = default;
        // Issue this GET on the worker; its answer comes back through answer().
        virtual void navigate(const QUrl &url) = 0;
        virtual void setStatus(const QString &text, Colour colour) = 0;
        virtual void setBalance(const QString &text) = 0;
        // The timer runs (true) or stops; the list buttons are disabled while it runs.
        virtual void setRunning(bool running) = 0;
        // A batch was accepted: the list as it now stands is to be saved.
        virtual void batchAccepted() = 0;
    };

    // What came back for the outstanding request.
    struct Answer
    {
        enum class Kind
        {
            Document, // a document with a body; markup holds its root's outer HTML
            NoBody,   // the answer had no body (empty, or a document without a body)
            TimedOut, // no complete answer within the time-out
            Failed,   // the request failed (refused, dropped, HTTP error): an error page
        };
        Kind kind = Kind::Document;
        QString markup;
    };

    // sendUrl builds the send request for a batch (the numbers joined by ","), with the
    // account and message text as they stand at that moment.
    SendLoop(RecipientQueue &list, Host &host, std::function<QUrl(const QString &)> sendUrl);

    // Starts sending the list from its top (the checks before it are the window's).
    void start();
    // Stops the timer. A request already issued stays outstanding and is answered as usual.
    void interrupt();
    // One timer tick.
    void tick();
    // The answer of the outstanding request.
    void answer(const Answer &a);
    // A balance query: deferred while sending or while a request is outstanding, so that at
    // most the latest one waits; otherwise issued at once.
    void refreshBalance(const QUrl &url);

    // The list check sets the speed from the list size.
    void setSendSpeed(int speed) { m_sendSpeed = speed; }
    int sendSpeed() const { return m_sendSpeed; }
    bool running() const { return m_running; }
    bool busy() const { return m_busy; }
    Request requestKind() const { return m_requestKind; }
    // The numbers of the send request awaiting its answer; empty when none is.
    QStringList inFlight() const;
    // A send runs, or a batch still awaits its answer.
    bool sending() const { return m_running || !inFlight().isEmpty(); }
    int sendTotal() const { return m_sendTotal; }
    int sendPos() const { return m_sendPos; }
    std::optional<QUrl> deferredBalance() const { return m_listBuf; }

    static QString networkFailureText(); // "获取网络数据失败，可能网络已经未连接Internet！"
    static QString notConnectedText(); // "确认电脑是否连接到Internet"

private:
    void issue(Request kind, const QUrl &url);
    void fail(const QString &text, Colour colour);
    void RestoreLastMobile();
    void issueDeferredWhenIdle();

    RecipientQueue &m_list;
    Host &m_host;
    std::function<QUrl(const QString &)> m_sendUrl;

    int m_sendSpeed = 1;
    Request m_requestKind = Request::Balance;
    bool m_busy = false;
    int m_sendTotal = 0;
    int m_sendPos = 0;
    bool m_running = false;
    QStringList m_lastSend;
    std::optional<QUrl> m_listBuf;
};

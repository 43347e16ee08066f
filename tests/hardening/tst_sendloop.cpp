// Model-based test of the send loop against the gateway simulator over loopback HTTP: random
// lists with duplicates, random answers and faults (acceptance, every error code, refused
// connection, time-out, body-less answer, garbage, HTTP errors), interrupts and restarts at
// random ticks, and crashes after which the window's state is rebuilt from the saved list file.
//
// Invariant after every run: the numbers the simulator accepted, in order, followed by the list
// as it stands (in memory and in the file) give back the original list exactly. So every number
// was accepted exactly as often as it appeared or still stands in the list in its order, and
// nothing accepted is still listed.
//
// QUILLO_SENDLOOP_CASES and QUILLO_SENDLOOP_SEED change the number of cases and the seed
// (scripts/sendloop-soak.sh runs many seeds).
#include "GatewaySim.h"

#include "sms/Gateway.h"
#include "sms/GatewayWorker.h"
#include "sms/ListFiles.h"
#include "sms/RecipientList.h"
#include "sms/SendLoop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QHostAddress simAddress(u"127.0.0.88"_s);
constexpr int timeoutMs = 50;

// What the window does around the loop: the worker carries out requests, and the list is saved
// after every accepted batch.
class Window : public SendLoop::Host
{
public:
    Window(const QString &listFile, std::vector<QString> entries)
        : list(std::move(entries)), m_listFile(listFile),
          loop(list, *this, [](const QString &numbers) {
              return Gateway::sendUrl(simAddress.toString(), {u"1001"_s, u"demo"_s, u"pw"_s},
                                      numbers, u"测试"_s);
          })
    {
        worker.setTimeout(timeoutMs);
        QObject::connect(&worker, &GatewayWorker::documentComplete, &worker,
                         [this](const SendLoop::Answer &a) { loop.answer(a); });
    }

    void navigate(const QUrl &url) override { worker.navigate(url); }
    void setStatus(const QString &text, SendLoop::Colour) override { status = text; }
    void setBalance(const QString &) override {}
    void setRunning(bool r) override { running = r; }
    void batchAccepted() override { ListFiles::writeLines(m_listFile, list.toVector()); }

    RecipientList list;
    GatewayWorker worker;
    QString status;
    bool running = false;

private:
    QString m_listFile;

public:
    SendLoop loop;
};

// Runs the event loop until cond holds, blocking between events rather than polling.
template <typename Cond> bool waitUntil(Cond cond, int ms)
{
    QElapsedTimer t;
    t.start();
    QTimer guard; // wakes the loop at least this often
    guard.start(20);
    while (!cond()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

struct Case
{
    std::vector<QString> numbers;
    int ticks = 0, requests = 0, faults = 0, crashes = 0, interrupts = 0, refusals = 0;
};

} // namespace

class TestSendLoopModel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void randomRuns();

private:
    GatewaySim::Reply randomReply();
    std::vector<QString> randomList();
    void runCase(int index, Case &c);

    QRandomGenerator m_rng;
    QTemporaryDir m_dir;
    std::unique_ptr<GatewaySim> m_sim;
    QStringList m_accepted; // over every simulator instance of the case
    int m_cases = 200;
};

void TestSendLoopModel::initTestCase()
{
    QVERIFY(m_dir.isValid());
    bool ok = false;
    const int cases = qEnvironmentVariableIntValue("QUILLO_SENDLOOP_CASES", &ok);
    if (ok && cases > 0)
        m_cases = cases;
    const quint32 seed = quint32(qEnvironmentVariableIntValue("QUILLO_SENDLOOP_SEED", &ok));
    m_rng.seed(ok ? seed : 8u);
    qInfo("send loop model: %d cases, seed %u", m_cases, ok ? seed : 8u);
}

GatewaySim::Reply TestSendLoopModel::randomReply()
{
    static const QStringList faults = {
        u"-1"_s,       u"-4"_s,           u"-5"_s,     u"-9"_s,      u"-10"_s,
        u"-11"_s,      u"-13"_s,          u"-14"_s,    u"-999"_s,    u"-7"_s,
        u"-3:bad"_s,   u"drop"_s,         u"nobody"_s, u"garbage"_s, u"http:500"_s,
        u"http:404"_s, u"raw:<p>x</p>"_s, u"abc"_s,    u"raw:"_s,    u"+"_s};
    static const QStringList accepts = {u"0"_s, u"0:ok"_s, u"12"_s, u"5@0"_s, u"+3"_s};
    const quint32 r = m_rng.bounded(100u);
    QString item;
    if (r < 79)
        item = accepts.at(int(m_rng.bounded(quint32(accepts.size()))));
    else if (r < 99)
        item = faults.at(int(m_rng.bounded(quint32(faults.size()))));
    else
        item = u"hang"_s; // the worker's time-out ends it
    GatewaySim::Reply reply;
    if (!GatewaySim::Reply::parse(item, &reply))
        qFatal("bad reply item %s", qPrintable(item));
    return reply;
}

std::vector<QString> TestSendLoopModel::randomList()
{
    const quint32 shape = m_rng.bounded(100u);
    const int n = shape < 5    ? 0
                  : shape < 80 ? int(m_rng.bounded(40u))
                  : shape < 97 ? int(m_rng.bounded(40u, 400u))
                               : int(m_rng.bounded(400u, 5001u));
    // A small pool makes duplicates common.
    const quint32 pool = quint32(std::max(1, n / 3 + 1));
    std::vector<QString> out;
    out.reserve(size_t(n));
    for (int i = 0; i < n; ++i)
        out.push_back(QString::number(13000000000LL + m_rng.bounded(pool)));
    return out;
}

void TestSendLoopModel::runCase(int index, Case &c)
{
    const QString listFile = m_dir.filePath(u"list%1.txt"_s.arg(index));
    c.numbers = randomList();
    ListFiles::writeLines(listFile, c.numbers);
    m_accepted.clear();
    // One scripted answer is queued ahead of the send that takes it, so the worker's time-out
    // can be short for an answer that never comes and generous for every other one: a slow
    // machine must not turn an acceptance into a time-out (the batch would go out twice).
    int queued = 0; // send answers queued on this simulator, counted like its send requests
    bool nextHangs = false;
    auto restartSim = [&] {
        if (m_sim)
            m_accepted += m_sim->acceptedNumbers();
        m_sim = std::make_unique<GatewaySim>();
        QVERIFY2(m_sim->listen(simAddress, Gateway::Port), qPrintable(m_sim->errorString()));
        queued = 0;
        m_sim->setSendDefault(GatewaySim::Reply::code(u"0"_s));
    };
    restartSim();
    bool listening = true;

    auto window = std::make_unique<Window>(listFile, ListFiles::readLines(listFile));
    auto startSending = [&] {
        window->loop.setSendSpeed(sendSpeedFor(window->list.count()));
        window->loop.start();
    };
    startSending();
    auto waitIdle = [&] {
        QVERIFY2(waitUntil([&] { return !window->loop.busy(); }, 15000),
                 "the outstanding request is answered");
    };

    // Bounded: each fault stops the loop; a restart follows within a few ticks.
    for (int step = 0; step < 200000; ++step) {
        const quint32 r = m_rng.bounded(1000u);
        if (r < 4 && !window->loop.busy()) {
            // The window dies between requests; the next one starts from the saved list.
            ++c.crashes;
            window = std::make_unique<Window>(listFile, ListFiles::readLines(listFile));
            startSending();
        } else if (r < 6 && listening) {
            // The window dies with a send request outstanding that the gateway holds unanswered.
            m_accepted += m_sim->acceptedNumbers();
            m_sim = std::make_unique<GatewaySim>();
            QVERIFY(m_sim->listen(simAddress, Gateway::Port));
            m_sim->queueSend(GatewaySim::Reply{GatewaySim::Reply::Kind::Hang});
            queued = 1;
            window->worker.setTimeout(10000);
            if (!window->loop.running())
                startSending();
            window->loop.tick();
            if (window->loop.busy())
                QVERIFY(waitUntil([&] { return !m_sim->requests().isEmpty(); }, 5000));
            ++c.crashes;
            window = std::make_unique<Window>(listFile, ListFiles::readLines(listFile));
            restartSim();
            startSending();
        } else if (r < 20) {
            ++c.interrupts;
            window->loop.interrupt();
        } else if (r < 26 && listening) {
            ++c.refusals;
            m_accepted += m_sim->acceptedNumbers();
            queued -= int(m_sim->sendRequests().size());
            m_sim->clearLog();
            m_sim->close();
            listening = false;
        } else if (r < 60 && !listening) {
            QVERIFY(m_sim->listen(simAddress, Gateway::Port));
            listening = true;
        } else if (r < 70 && !window->loop.busy()) {
            window->loop.refreshBalance(
                Gateway::balanceUrl(simAddress.toString(), {u"1001"_s, u"demo"_s, u"pw"_s}));
        }
        if (QTest::currentTestFailed())
            return;

        if (!window->loop.running()) {
            if (window->list.count() == 0 && !window->loop.busy())
                break;
            if (m_rng.bounded(4u) == 0) {
                if (!listening) {
                    QVERIFY(m_sim->listen(simAddress, Gateway::Port));
                    listening = true;
                }
                startSending();
            }
        }
        if (queued <= int(m_sim->sendRequests().size())) {
            const GatewaySim::Reply reply = randomReply();
            m_sim->queueSend(reply);
            queued = int(m_sim->sendRequests().size()) + 1;
            nextHangs = reply.kind == GatewaySim::Reply::Kind::Hang;
        }
        window->worker.setTimeout(nextHangs ? timeoutMs : 10000);
        const bool wasBusy = window->loop.busy();
        window->loop.tick();
        ++c.ticks;
        if (!wasBusy && window->loop.busy())
            ++c.requests;
        waitIdle();
        if (QTest::currentTestFailed())
            return;
        if (!window->running && !window->list.isEmpty())
            ++c.faults;
    }
    m_accepted += m_sim->acceptedNumbers();
    m_sim.reset();

    // Accepted numbers in order, then the list as it stands, give the original list.
    QStringList rebuilt = m_accepted;
    const std::vector<QString> left = window->list.toVector();
    rebuilt += QStringList(left.begin(), left.end());
    const QStringList original(c.numbers.begin(), c.numbers.end());
    QVERIFY2(rebuilt == original,
             qPrintable(u"case %1: %2 numbers, %3 accepted, %4 left"_s.arg(index)
                            .arg(original.size())
                            .arg(m_accepted.size())
                            .arg(left.size())));
    // A finished run sent everything; the saved file and the list agree.
    QCOMPARE(ListFiles::readLines(listFile), left);
    QVERIFY(left.empty());
}

void TestSendLoopModel::randomRuns()
{
    int numbers = 0, ticks = 0, requests = 0, crashes = 0, interrupts = 0, refusals = 0;
    for (int i = 0; i < m_cases; ++i) {
        Case c;
        runCase(i, c);
        if (QTest::currentTestFailed())
            return;
        numbers += int(c.numbers.size());
        ticks += c.ticks;
        requests += c.requests;
        crashes += c.crashes;
        interrupts += c.interrupts;
        refusals += c.refusals;
    }
    qInfo("%d cases: %d numbers, %d ticks, %d requests, %d crashes, %d interrupts, %d refused "
          "periods",
          m_cases, numbers, ticks, requests, crashes, interrupts, refusals);
}

QTEST_GUILESS_MAIN(TestSendLoopModel)
#include "tst_sendloop.moc"

// gatewaysim: a loopback stand-in for the SMS gateway and the provider's account page.
//
//   gatewaysim [--address 127.0.0.5] [--port 8080] [--send ITEM]... [--send-default ITEM]
//              [--balance ITEM]... [--balance-default ITEM] [--page PATH=FILE]...
//              [--account-page] [--log FILE]
//
// ITEM is "[MS@]WHAT": WHAT is a result text (0, -13, 0:ok), drop, nobody, hang, garbage,
// raw:TEXT or http:CODE. Every request is logged to stdout (and FILE), one line each.
#include "GatewaySim.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription(u"SMS gateway simulator"_s);
    p.addHelpOption();
    const QCommandLineOption address(u"address"_s, u"Address to listen on."_s, u"addr"_s,
                                     u"127.0.0.1"_s);
    const QCommandLineOption port(u"port"_s, u"Port (8080)."_s, u"port"_s, u"8080"_s);
    const QCommandLineOption send(u"send"_s, u"Next send answer (repeatable)."_s, u"item"_s);
    const QCommandLineOption sendDefault(u"send-default"_s,
                                         u"Send answer once the queue is empty."_s, u"item"_s);
    const QCommandLineOption balance(u"balance"_s, u"Next balance answer (repeatable)."_s,
                                     u"item"_s);
    const QCommandLineOption balanceDefault(
        u"balance-default"_s, u"Balance answer once the queue is empty."_s, u"item"_s);
    const QCommandLineOption page(u"page"_s, u"Serve FILE at PATH (repeatable)."_s, u"path=file"_s);
    const QCommandLineOption account(u"account-page"_s,
                                     u"Serve the provider's account page at /sms/."_s);
    const QCommandLineOption log(u"log"_s, u"Also append the request log to this file."_s,
                                 u"file"_s);
    p.addOptions({address, port, send, sendDefault, balance, balanceDefault, page, account, log});
    p.process(app);

    GatewaySim sim;
    QTextStream err(stderr);
    auto reply = [&](const QString &item, GatewaySim::Reply *r) {
        if (!GatewaySim::Reply::parse(item, r)) {
            err << "bad answer item: " << item << '\n';
            std::exit(2);
        }
    };
    GatewaySim::Reply r;
    for (const QString &item : p.values(send)) {
        reply(item, &r);
        sim.queueSend(r);
    }
    for (const QString &item : p.values(balance)) {
        reply(item, &r);
        sim.queueBalance(r);
    }
    if (p.isSet(sendDefault)) {
        reply(p.value(sendDefault), &r);
        sim.setSendDefault(r);
    }
    if (p.isSet(balanceDefault)) {
        reply(p.value(balanceDefault), &r);
        sim.setBalanceDefault(r);
    }
    for (const QString &spec : p.values(page)) {
        const qsizetype eq = spec.indexOf(u'=');
        QFile f(spec.mid(eq + 1));
        if (eq <= 0 || !f.open(QIODevice::ReadOnly)) {
            err << "cannot serve page: " << spec << '\n';
            return 2;
        }
        sim.addPage(spec.left(eq), f.readAll());
    }
    if (p.isSet(account))
        sim.addAccountPages();
    if (p.isSet(log) && !sim.setLogFile(p.value(log))) {
        err << "cannot open log file\n";
        return 2;
    }
    QTextStream out(stdout);
    QObject::connect(&sim, &GatewaySim::requestHandled, [&](const GatewaySim::Request &req) {
        out << GatewaySim::logLine(req) << '\n';
        out.flush();
    });
    const QHostAddress host(p.value(address));
    if (host.isNull() || !sim.listen(host, quint16(p.value(port).toUInt()))) {
        err << "cannot listen on " << p.value(address) << ':' << p.value(port) << ": "
            << sim.errorString() << '\n';
        return 1;
    }
    out << "listening " << host.toString() << ':' << p.value(port) << '\n';
    out.flush();
    return app.exec();
}

// updateserver: serves a folder in the update server's layout for QuilloUpdate.
//
//   updateserver --root DIR [--address 127.0.0.1] [--port 8080] [--publishing]
//                [--missing PATH]... [--fail PATH]... [--stall PATH]... [--redirect] [--log FILE]
//
// PATH is a URL path such as /QuilloBook/UpdateCnt.txt. The first line on standard output is
// "listening on http://ADDRESS:PORT"; every request is logged to standard error (or FILE).
#include "UpdateServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Serves a folder in the update server layout."_s);
    parser.addHelpOption();
    const QCommandLineOption root(u"root"_s, u"Folder that holds QuilloBook/."_s, u"dir"_s);
    const QCommandLineOption address(u"address"_s, u"Address to listen on."_s, u"ip"_s,
                                     u"127.0.0.1"_s);
    const QCommandLineOption port(u"port"_s, u"Port (0: any free one)."_s, u"port"_s, u"8080"_s);
    const QCommandLineOption publishing(u"publishing"_s,
                                        u"Serve the publishing marker NowUpLoad.txt."_s);
    const QCommandLineOption missing(u"missing"_s, u"Answer 404 for this path."_s, u"path"_s);
    const QCommandLineOption failing(u"fail"_s, u"Break the transfer of this path."_s, u"path"_s);
    const QCommandLineOption stalling(u"stall"_s, u"Send no body for this path."_s, u"path"_s);
    const QCommandLineOption redirect(u"redirect"_s, u"Redirect every request once."_s);
    const QCommandLineOption log(u"log"_s, u"Append the request log to this file."_s, u"file"_s);
    parser.addOptions({root, address, port, publishing, missing, failing, stalling, redirect, log});
    parser.process(app);

    if (!parser.isSet(root)) {
        std::fprintf(stderr, "updateserver: --root is required\n");
        return 2;
    }
    UpdateServer server(parser.value(root));
    server.setPublishing(parser.isSet(publishing));
    server.setRedirecting(parser.isSet(redirect));
    for (const QString &p : parser.values(missing))
        server.addMissing(p);
    for (const QString &p : parser.values(failing))
        server.addFailing(p);
    for (const QString &p : parser.values(stalling))
        server.addStalling(p);

    QFile logFile;
    if (parser.isSet(log)) {
        logFile.setFileName(parser.value(log));
        if (!logFile.open(QIODevice::Append | QIODevice::Text)) {
            std::fprintf(stderr, "updateserver: cannot open the log file\n");
            return 2;
        }
    } else {
        if (!logFile.open(stderr, QIODevice::WriteOnly | QIODevice::Text))
            return 2;
    }
    QObject::connect(&server, &UpdateServer::logLine, &app, [&logFile](const QString &line) {
        logFile.write(line.toUtf8() + '\n');
        logFile.flush();
    });

    bool portOk = false;
    const uint portNumber = parser.value(port).toUInt(&portOk);
    const QHostAddress host(parser.value(address));
    if (host.isNull() || !portOk || portNumber > 65535 ||
        !server.start(host, quint16(portNumber))) {
        std::fprintf(stderr, "updateserver: cannot listen on %s:%s\n",
                     qPrintable(parser.value(address)), qPrintable(parser.value(port)));
        return 1;
    }
    std::printf("listening on %s\n", qPrintable(server.rootUrl()));
    std::fflush(stdout);
    return app.exec();
}

#include "platform/NameLookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdio>

namespace {
bool plausibleHostName(const QString &name)
{
    if (name.isEmpty() || name.size() > 253)
        return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool ok = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') ||
                        (u >= u'0' && u <= u'9') || u == u'-' || u == u'.' || u == u'_';
        if (!ok)
            return false;
    }
    return true;
}
} // namespace

QString ResolveHostIP(const QString &hostName)
{
    if (!plausibleHostName(hostName))
        return QString();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *result = nullptr;
    if (getaddrinfo(hostName.toLatin1().constData(), nullptr, &hints, &result) != 0 || !result)
        return QString();
    QString text;
    for (addrinfo *ai = result; ai; ai = ai->ai_next) {
        if (ai->ai_family != AF_INET || !ai->ai_addr)
            continue;
        const auto *sin = reinterpret_cast<const sockaddr_in *>(ai->ai_addr);
        const auto *b = reinterpret_cast<const unsigned char *>(&sin->sin_addr.s_addr);
        char buf[16];
        std::snprintf(buf, sizeof buf, "%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
        text = QString::fromLatin1(buf);
        break;
    }
    freeaddrinfo(result);
    return text;
}

#pragma once

#include <QString>

// The first IPv4 address of a host name as dotted decimal text, or "" when the name does not
// resolve. A name holding characters no host name has is not looked up at all.
QString ResolveHostIP(const QString &hostName);

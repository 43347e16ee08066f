#pragma once

#include <QString>

#include <span>

// The provider's servers and data, from Provider.ini ([Provider]) in the application folder,
// with built-in defaults. A key that is absent or empty in the file takes its default.
struct ProviderDefault
{
    const char16_t *key;
    const char16_t *value;
};

// Every key the programs read, with its default.
std::span<const ProviderDefault> providerDefaults();

// The value of key from Provider.ini in folder (with a trailing '/'). The file is read afresh
// on each call; it is a handful of lines.
QString providerValue(const QString &folder, const QString &key);
// The same in the application folder: AppPath, or the executable's folder before it is set.
QString providerValue(const QString &key);

QString gatewayHost();  // SMS gateway host (port 8080; account page on port 80)
QString updateHost();   // update server host, may carry ":port"
QString webSite();      // provider's web site, with a trailing '/'
QString providerName(); // the line naming the provider on the maintenance page
QString qqChatHost();   // host of the QQ web chat link

// Writes Provider.ini in folder with every default that it does not yet hold; values already
// there are kept. Throws FileError when the file cannot be written.
void writeDefaultProviderIni(const QString &folder);

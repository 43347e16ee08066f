#include "sms/SmsSettings.h"

#include "common/IniFile.h"
#include "common/uPub.h"

using namespace Qt::StringLiterals;

namespace SmsSettings {

Gateway::Account readAccount(const QString &iniPath)
{
    const IniFile ini(iniPath, IniFile::OwnerOnly);
    Gateway::Account a;
    a.entId = ini.readString(u"comm"_s, u"EntID"_s, QString());
    a.userName = ini.readString(u"comm"_s, u"Username"_s, QString());
    a.password = DecodePassword(ini.readString(u"comm"_s, u"userPass"_s, QString()));
    return a;
}

void writeAccount(const QString &iniPath, const Gateway::Account &account)
{
    // Encode first, so that a password GBK cannot hold leaves the file untouched.
    const QString stored = EncodePassword(account.password);
    IniFile ini(iniPath, IniFile::OwnerOnly);
    // One replacement of the file, so a crash never leaves a mixture of two accounts.
    ini.writeStrings(
        u"comm"_s,
        {{u"EntID"_s, account.entId}, {u"Username"_s, account.userName}, {u"userPass"_s, stored}});
}

} // namespace SmsSettings

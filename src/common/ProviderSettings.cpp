#include "common/ProviderSettings.h"

#include "common/IniFile.h"
#include "common/ResolvePath.h"
#include "common/uPub.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace {

const QString section = u"Provider"_s;
const QString fileName = u"Provider.ini"_s;

// The one table of provider settings.
constexpr ProviderDefault defaults[] = {
    {u"GatewayHost", u"sms.quillobook.example"},
    {u"UpdateHost", u"update.quillobook.example"},
    {u"WebSite", u"http://www.quillobook.example/"},
    {u"ProviderName", u"Quillo软件工作室 出品"},
    {u"QQChatHost", u"wpa.qq.com"},
    {u"GreetingsUrl", u"http://www.quillobook.example/greetings/"},
    {u"SupportPhone", u"0571-88880000"},
    {u"SupportQQ", u"800000000"},
    {u"SupportEmail", u"service@quillobook.example"},
    {u"RechargePackages",
     u"1000条 100元|2000条 190元|5000条 450元|10000条 850元|20000条 1600元|50000条 3800元|"
     u"100000条 7000元"},
    {u"RechargeUrls",
     u"http://shop.quillobook.example/sms?n=1000|http://shop.quillobook.example/sms?n=2000|"
     u"http://shop.quillobook.example/sms?n=5000|http://shop.quillobook.example/sms?n=10000|"
     u"http://shop.quillobook.example/sms?n=20000|http://shop.quillobook.example/sms?n=50000|"
     u"http://shop.quillobook.example/sms?n=100000"},
    {u"PaymentUrl", u"https://pay.quillobook.example/transfer"},
    {u"PayeeName", u"Quillo软件工作室"},
    {u"PayeeAccount", u"pay@quillobook.example"},
    {u"PayeeBank", u"中国工商银行杭州分行 6222 0000 0000 0000 000"},
};

QString defaultOf(const QString &key)
{
    for (const ProviderDefault &d : defaults) {
        if (key.compare(QStringView(d.key), Qt::CaseInsensitive) == 0)
            return QString::fromUtf16(d.value);
    }
    return QString();
}

QString applicationFolder()
{
    if (!AppPath.isEmpty())
        return AppPath;
    return QCoreApplication::applicationDirPath() + u'/';
}

QString iniPath(const QString &folder)
{
    QString f = folder;
    if (!f.isEmpty() && !f.endsWith(u'/'))
        f += u'/';
    return resolveCaseInsensitive(f + fileName);
}

} // namespace

std::span<const ProviderDefault> providerDefaults()
{
    return defaults;
}

QString providerValue(const QString &folder, const QString &key)
{
    const QString value = IniFile(iniPath(folder)).readString(section, key, QString());
    return value.isEmpty() ? defaultOf(key) : value;
}

QString providerValue(const QString &key)
{
    return providerValue(applicationFolder(), key);
}

QString gatewayHost()
{
    return providerValue(u"GatewayHost"_s);
}

QString updateHost()
{
    return providerValue(u"UpdateHost"_s);
}

QString webSite()
{
    return providerValue(u"WebSite"_s);
}

QString providerName()
{
    return providerValue(u"ProviderName"_s);
}

QString qqChatHost()
{
    return providerValue(u"QQChatHost"_s);
}

void writeDefaultProviderIni(const QString &folder)
{
    IniFile ini(iniPath(folder));
    for (const ProviderDefault &d : defaults) {
        const QString key = QString::fromUtf16(d.key);
        if (ini.readString(section, key, QString()).isEmpty())
            ini.writeString(section, key, QString::fromUtf16(d.value));
    }
}

#include "sms/SmsContent.h"

#include "sms/ListFiles.h"

#include "common/FileError.h"

using namespace Qt::StringLiterals;

namespace SmsContent {

int smsCount(qsizetype n)
{
    return int((n + UnitLength - 1) / UnitLength);
}

QString lengthLine(const QString &text)
{
    const qsizetype n = text.size();
    return u"信息长度:"_s + QString::number(n) + u"字 按"_s + QString::number(smsCount(n)) +
           u"条短信计费(70字计一条)"_s;
}

QString screen(const QStringList &keywords, const QString &text)
{
    QString found;
    for (const QString &k : keywords)
        if (!k.isEmpty() && text.contains(k))
            found += k + u';';
    return found;
}

QStringList loadKeywords(const QString &path)
{
    try {
        const std::vector<QString> lines = ListFiles::readLines(path);
        return QStringList(lines.begin(), lines.end());
    } catch (const FileError &) {
        return {};
    }
}

QString keywordWarning(const QString &found)
{
    return u"软件自动检索您的短信内容，发现部分信息可能非法！"_s + u"\r\r"_s +
           u"可能非法内容为："_s + found + u"\r\r"_s +
           u"如果继续发送，相关可能非法信息内容将自动提交到我方软件平台。"_s + u'\r' +
           u"一旦管理人员确定该信息非法，您的帐号将会被冻结！"_s + u'\r' + u"是否继续发送？"_s;
}

} // namespace SmsContent

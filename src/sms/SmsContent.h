#pragma once

#include <QString>
#include <QStringList>

// Message text rules of the SMS window: the length line and the keyword screening.
namespace SmsContent {

constexpr int MaxLength = 560; // characters (UTF-16 units) the message box accepts
constexpr int UnitLength = 70; // characters billed as one SMS

// Number of SMS a text of n characters is billed as.
int smsCount(qsizetype n);
// "信息长度:n字 按m条短信计费(70字计一条)"
QString lengthLine(const QString &text);

// Keywords in `text`, each followed by ";", in the order of `keywords`. Matched as characters,
// exactly and case-sensitively; an empty keyword never matches.
QString screen(const QStringList &keywords, const QString &text);
// The keyword file's lines; an empty list when it is missing or unreadable.
QStringList loadKeywords(const QString &path);

// The warning shown when screening found keywords.
QString keywordWarning(const QString &found);

} // namespace SmsContent

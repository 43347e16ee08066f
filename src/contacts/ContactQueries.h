#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

// SQL texts of the contact windows. Text typed by the user goes between single quotes with
// every apostrophe doubled; nothing else is escaped, so '%' and '_' keep their LIKE meaning.
namespace ContactSql {

// text between single quotes, apostrophes doubled.
QString quoted(const QString &text);

// " And ((Linker Like '%t%') Or (PYCode like '%t%'))", or empty for an empty search text.
QString nameFilter(const QString &searchText);

// The contact list: all categories, or the one with this ID, filtered by the search text.
QString contactList(bool allCategories, const QString &classId, const QString &searchText);

// The filter dialog's fragment: " and ClassID=<id>" when a category is chosen, then the
// name filter. Empty when neither is given.
QString filterFragment(bool hasCategory, int classId, const QString &name);

inline constexpr QStringView categoryList = u"Select * from TLinkerClass Order by TitleName";
inline constexpr QStringView pickerCategoryList = u"select * from TLinkerClass Order by TitleName";
inline constexpr QStringView distinctJobs = u"Select distinct Job from TLinker ";

QString contactById(qint64 id);

// Day 0 of the date serial: what an unset birthday is stored as.
inline QDate noBirthday()
{
    return QDate(1899, 12, 30);
}
// Dates before this one (serial below 10000) count as no birthday when read.
inline QDate firstBirthday()
{
    return QDate(1927, 5, 18);
}

// Every value the editor writes, as typed.
struct ContactFields
{
    QString linker = {};
    QString pyCode = {};
    QString job = {};
    QString tele = {};
    QString mobileCode = {};
    QString homeTele = {};
    QString fax = {};
    QString qicq = {};
    QString ww = {};
    QString zfbCode = {};
    QString alww = {};
    QString email = {};
    QString birthday = {}; // yyyy-MM-dd
    QString address = {};
    QString fancy = {};
    QString desp = {};
};

QString insertContact(qint64 classId, const ContactFields &f);
QString updateContact(qint64 id, const ContactFields &f);

} // namespace ContactSql

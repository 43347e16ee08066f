#include "contacts/ContactQueries.h"

using namespace Qt::StringLiterals;

namespace ContactSql {

QString quoted(const QString &text)
{
    QString t = text;
    t.replace(u'\'', u"''"_s);
    return u'\'' + t + u'\'';
}

QString nameFilter(const QString &searchText)
{
    if (searchText.isEmpty())
        return QString();
    const QString pattern = quoted(u'%' + searchText + u'%');
    return u" And ((Linker Like "_s + pattern + u") Or (PYCode like "_s + pattern + u"))"_s;
}

QString contactList(bool allCategories, const QString &classId, const QString &searchText)
{
    const QString filter = nameFilter(searchText);
    if (allCategories)
        return u"Select * from TLinker where 1=1 "_s + filter + u" Order by Linker"_s;
    return u"Select * from TLinker where ClassID="_s + classId + filter + u" Order by Linker"_s;
}

QString filterFragment(bool hasCategory, int classId, const QString &name)
{
    QString fragment;
    if (hasCategory)
        fragment += u" and ClassID="_s + QString::number(classId);
    fragment += nameFilter(name);
    return fragment;
}

QString contactById(qint64 id)
{
    return u"Select * from TLinker  where ID="_s + QString::number(id);
}

QString insertContact(qint64 classId, const ContactFields &f)
{
    QString sql = u"Insert into TLinker (ClassID,Linker,PYCode,Job,Tele,MobileCode,HomeTele,Fax,"
                  u"QICQ,WW,ZFBCode,ALWW,EMail,Birthday,Address,Fancy,Desp) Values("_s +
                  QString::number(classId);
    for (const QString *v :
         {&f.linker, &f.pyCode, &f.job, &f.tele, &f.mobileCode, &f.homeTele, &f.fax, &f.qicq, &f.ww,
          &f.zfbCode, &f.alww, &f.email, &f.birthday, &f.address, &f.fancy, &f.desp})
        sql += u',' + quoted(*v);
    return sql + u')';
}

QString updateContact(qint64 id, const ContactFields &f)
{
    const std::pair<const char16_t *, const QString *> rest[] = {
        {u",PYCode=", &f.pyCode},     {u",Job=", &f.job},
        {u",Tele=", &f.tele},         {u",MobileCode=", &f.mobileCode},
        {u",HomeTele=", &f.homeTele}, {u",Fax=", &f.fax},
        {u",QICQ=", &f.qicq},         {u",WW=", &f.ww},
        {u",ZFBCode=", &f.zfbCode},   {u",ALWW=", &f.alww},
        {u",EMail=", &f.email},       {u",Birthday=", &f.birthday},
        {u",Address=", &f.address},   {u",Fancy=", &f.fancy},
        {u",Desp=", &f.desp},
    };
    QString sql = u"Update TLinker Set Linker="_s + quoted(f.linker);
    for (const auto &[prefix, value] : rest)
        sql += QStringView(prefix) + quoted(*value);
    return sql + u" Where ID ="_s + QString::number(id);
}

} // namespace ContactSql

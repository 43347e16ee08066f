#include "contacts/ContactColumns.h"

using namespace Qt::StringLiterals;

QList<DataSetModel::Column> contactGridColumns()
{
    using K = DataSetModel::Kind;
    return {
        {u"ID"_s, u"ID"_s, 40, false, K::Text},
        {u"ClassID"_s, u"ClassID"_s, 40, false, K::Text},
        {u"Linker"_s, u"联系人姓名"_s, 105, true, K::Text},
        {u"Job"_s, u"职位"_s, 76, true, K::Text},
        {u"Tele"_s, u"办公电话"_s, 96, true, K::Text},
        {u"MobileCode"_s, u"移动电话"_s, 97, true, K::Text},
        {u"HomeTele"_s, u"家庭电话"_s, 88, true, K::Text},
        {u"Fax"_s, u"传真"_s, 96, true, K::Text},
        {u"QICQ"_s, u"QQ号码"_s, 72, true, K::Text},
        {u"ALWW"_s, u"阿里帐号"_s, 79, true, K::Text},
        {u"WW"_s, u"淘宝帐号"_s, 88, true, K::Text},
        {u"ZFBCode"_s, u"支付宝帐号"_s, 107, true, K::Text},
        {u"EMail"_s, u"电子邮件"_s, 119, true, K::Text},
        {u"Birthday"_s, u"生日"_s, 82, true, K::Date},
        {u"Address"_s, u"详细地址"_s, 276, true, K::Text},
        {u"Fancy"_s, u"个人嗜好"_s, 147, true, K::Text},
    };
}

QList<DataSetModel::Column> categoryGridColumns(const QString &title, int width)
{
    return {
        {u"ID"_s, u"ID"_s, 40, false, DataSetModel::Kind::Text},
        {u"TitleName"_s, title, width, true, DataSetModel::Kind::Text},
    };
}

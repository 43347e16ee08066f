#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <utility>

// The texts every hostile-input table types into its fields.
inline QList<std::pair<const char *, QString>> hostileTexts()
{
    using namespace Qt::StringLiterals;
    return {
        {"quote", u"O'Brien"_s},
        {"double quote", u"say \"hi\""_s},
        {"backslash", u"a\\b\\"_s},
        {"percent", u"100%25 %s %n"_s},
        {"underscore", u"a_b_"_s},
        {"semicolon", u"a;b;"_s},
        {"comment dashes", u"x -- y"_s},
        {"block comment", u"/* x */"_s},
        {"url characters", u"a&b=c?d#e+f"_s},
        {"statement", u"'); Delete from TLinker; --"_s},
        {"10000 characters", QString(10000, u'字').replace(0, 10, u"'\";--/*%_\\"_s)},
        // A character outside the Basic Multilingual Plane where a 20-character field ends.
        {"emoji at the limit", QString(19, u'张') + u"😀"_s},
        {"emoji", u"张😀"_s},
        {"euro", u"5€"_s},
        {"empty", QString()},
    };
}

class TestHostileInput : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void fields_data();
    void fields();
};

class TestHostileContacts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    // The filter first: later rows add contacts whose numbers the list check would reject.
    void filterName_data();
    void filterName();
    void searchBox_data();
    void searchBox();
    void categoryNames_data();
    void categoryNames();
    void editorFields_data();
    void editorFields();
};

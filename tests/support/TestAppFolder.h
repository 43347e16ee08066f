#pragma once

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

// A temporary application folder for tests: DB/ZARI.dat holding a fresh database (schema and
// one TPara row), and an empty Bak/. Rows are added through a short-lived connection of its own,
// so no lock is held between calls.
//
//     TestAppFolder app;
//     const qint64 customers = app.addCategory(u"客户"_s);
//     app.addContact(customers, {.linker = u"张三"_s, .mobileCode = u"13800000000"_s});
//     TDM dm(app.path());
class TestAppFolder
{
public:
    struct Contact
    {
        QString linker = {};
        QString pyCode = {}; // null: GetPYCode of linker
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
        QString birthday = QStringLiteral("1899-12-30"); // as the editor writes it
        QString address = {};
        QString fancy = {};
        QString desp = {};
        bool mobileIsNull = false; // store NULL instead of mobileCode
    };

    TestAppFolder();

    bool isValid() const { return m_valid; }
    // The folder, with a trailing '/'.
    QString path() const;
    QString dbPath() const; // path() + "DB/ZARI.dat"
    QString connectionString() const;

    qint64 addCategory(const QString &titleName);
    qint64 addContact(qint64 classId, const Contact &contact);
    QList<qint64> addContacts(qint64 classId, const QList<Contact> &contacts);

    // Runs one statement; returns the number of rows changed. Throws DbError.
    int exec(const QString &sql);
    // The first column of the first row as text ("" for none). Throws DbError.
    QString queryValue(const QString &sql);
    // The first column of every row. Throws DbError.
    QStringList queryColumn(const QString &sql);

    QByteArray dbBytes() const;

private:
    QTemporaryDir m_dir;
    bool m_valid = false;
};

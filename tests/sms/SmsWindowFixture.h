#pragma once

#include "sms/RecipientModel.h"
#include "sms/uSMSSend.h"

#include "common/GbkCodec.h"
#include "common/uPub.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

#include <unistd.h>

// main() of the SMS window tests: the account page's browser engine needs shared GL contexts,
// and as root its sandbox off.
#define QUILLO_SMS_TEST_MAIN(TestClass)                                                            \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        if (geteuid() == 0)                                                                        \
            qputenv("QTWEBENGINE_CHROMIUM_FLAGS",                                                  \
                    qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " --no-sandbox");                      \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                \
        QApplication app(argc, argv);                                                              \
        TestClass t;                                                                               \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&t, argc, argv);                                                       \
    }

// An application folder for one SMS window: SMS.ini, list files and Provider.ini as a test
// writes them. The window is created on demand and deleted with the fixture.
struct SmsFolder
{
    QTemporaryDir dir;
    QString path() const { return dir.path() + u'/'; }
    QString file(const QString &name) const { return path() + name; }

    SmsFolder()
    {
        AppPath = path();
        QDir().mkpath(file(QStringLiteral("Help")));
    }

    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(file(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void writeGbk(const QString &name, const QString &text) const
    {
        write(name, Gbk::encode(text).bytes);
    }
    QByteArray read(const QString &name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    bool exists(const QString &name) const { return QFile::exists(file(name)); }
    void setGateway(const QString &host) const
    {
        writeGbk(QStringLiteral("Provider.ini"),
                 QStringLiteral("[Provider]\r\nGatewayHost=") + host + QStringLiteral("\r\n"));
    }
    void setAccount() const
    {
        writeGbk(QStringLiteral("SMS.ini"),
                 QStringLiteral("[comm]\r\nEntID=E1\r\nUsername=u1\r\nuserPass=") +
                     EncodePassword(QStringLiteral("pw")) + QStringLiteral("\r\n"));
    }
};

// The list as the window holds it.
inline QStringList recipients(TfrmSMSSend *w)
{
    const std::vector<QString> e = w->listModel->entries();
    return {e.begin(), e.end()};
}

// Runs `answer` once the next modal dialog is open, from a zero-delay timer queued now.
inline void whenModal(const std::function<void(QWidget *)> &answer)
{
    QTimer::singleShot(0, [answer] {
        QPointer<QWidget> modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        answer(modal);
        if (modal && modal->isVisible())
            modal->close(); // a failed check must not leave the test waiting on the dialog
    });
}

#include "sms/AccountPage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <unistd.h>

using namespace Qt::StringLiterals;

AccountPage::AccountPage(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void AccountPage::navigate(const QUrl &url)
{
    if (!m_view) {
        // The engine reads its flags when it starts, on the first view; its sandbox cannot
        // run as root.
        if (geteuid() == 0) {
            const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
            if (!flags.contains("--no-sandbox"))
                qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + " --no-sandbox");
        }
        m_view = new QWebEngineView(this);
        m_view->setObjectName(u"WebBrowser1View"_s);
        m_view->setAccessibleName(u"我的帐户使用详情"_s);
        m_view->setContextMenuPolicy(Qt::NoContextMenu);
        layout()->addWidget(m_view);
        connect(m_view, &QWebEngineView::loadFinished, this, &AccountPage::documentComplete);
    }
    m_view->load(url);
}

QString AccountPage::fillFormScript(const QString &name, const QString &value)
{
    // JSON text is a valid script literal, whatever quotes or backslashes the values hold.
    const QString args =
        QString::fromUtf8(QJsonDocument(QJsonArray{name, value}).toJson(QJsonDocument::Compact));
    return u"(function (a) {"
           "  var set = false;"
           "  try {"
           "    if (document.getElementsByTagName('FORM').length === 0) return false;"
           "    for (var i = 0; i < document.forms.length; ++i) {"
           "      var f = document.forms[i];"
           "      for (var j = 0; j < f.length; ++j) {"
           "        if (f[j].name === a[0]) { f[j].value = a[1]; set = true; }"
           "      }"
           "    }"
           "  } catch (e) {}"
           "  return set;"
           "})("_s +
           args + u")"_s;
}

void AccountPage::FillForm(const QString &name, const QString &value,
                           const std::function<void(bool)> &done)
{
    if (!m_view) {
        if (done)
            done(false);
        return;
    }
    m_view->page()->runJavaScript(fillFormScript(name, value), [done](const QVariant &r) {
        if (done)
            done(r.toBool());
    });
}

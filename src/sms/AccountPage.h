#pragma once

#include <QUrl>
#include <QWidget>

#include <functional>

class QWebEngineView;

// The provider's account page inside the SMS window. The browser engine is created on the
// first navigation, so a window that never shows the page never starts it.
class AccountPage : public QWidget
{
    Q_OBJECT
public:
    explicit AccountPage(QWidget *parent = nullptr);

    // A later navigation replaces a load still under way.
    void navigate(const QUrl &url);
    QWebEngineView *view() const { return m_view; }

    // Sets the value of every input of that name in every form of the current document;
    // `done` receives true when at least one was set.
    void FillForm(const QString &name, const QString &value,
                  const std::function<void(bool)> &done = {});
    // The script FillForm runs; name and value travel as JSON string literals.
    static QString fillFormScript(const QString &name, const QString &value);

signals:
    // After each load of the page, whether or not it succeeded.
    void documentComplete(bool ok);

private:
    QWebEngineView *m_view = nullptr;
};

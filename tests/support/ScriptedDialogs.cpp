#include "ScriptedDialogs.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const char *kindName(ScriptedDialogs::Kind k)
{
    switch (k) {
    case ScriptedDialogs::Kind::Message: return "message";
    case ScriptedDialogs::Kind::Confirm: return "confirm";
    case ScriptedDialogs::Kind::Question: return "question";
    case ScriptedDialogs::Kind::Error: return "error";
    case ScriptedDialogs::Kind::Input: return "input";
    case ScriptedDialogs::Kind::OpenFile: return "open file";
    case ScriptedDialogs::Kind::SaveFile: return "save file";
    }
    return "?";
}
} // namespace

ScriptedDialogs::ScriptedDialogs()
{
    Dialogs::install(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    Dialogs::install(nullptr);
    if (!m_shown.isEmpty()) {
        QStringList texts;
        for (const auto &s : std::as_const(m_shown))
            texts << QString::fromLatin1(kindName(s.kind)) + u": "_s + s.text;
        QTest::qFail(qPrintable(u"dialogs shown but not checked: "_s + texts.join(u" | "_s)),
                     __FILE__, __LINE__);
    } else if (!m_answers.isEmpty()) {
        QTest::qFail(qPrintable(u"queued dialog answers never used: %1"_s.arg(m_answers.size())),
                     __FILE__, __LINE__);
    }
}

QList<ScriptedDialogs::Shown> ScriptedDialogs::take()
{
    return std::exchange(m_shown, {});
}

QStringList ScriptedDialogs::takeTexts()
{
    QStringList texts;
    for (const auto &s : take())
        texts << s.text;
    return texts;
}

ScriptedDialogs::Answer ScriptedDialogs::next(Kind k, const QString &what)
{
    if (m_answers.isEmpty() || m_answers.constFirst().kind != k) {
        const QString msg = u"unexpected %1 dialog: %2"_s.arg(QString::fromLatin1(kindName(k)), what);
        QTest::qFail(qPrintable(msg), __FILE__, __LINE__);
        return {k, QString(), true};
    }
    return m_answers.takeFirst();
}

void ScriptedDialogs::message(const QString &text)
{
    m_shown.append({Kind::Message, text, {}, {}, {}});
}

void ScriptedDialogs::error(const QString &text)
{
    m_shown.append({Kind::Error, text, {}, {}, {}});
}

bool ScriptedDialogs::confirm(const QString &text)
{
    m_shown.append({Kind::Confirm, text, {}, {}, {}});
    return !next(Kind::Confirm, text).text.isEmpty();
}

bool ScriptedDialogs::question(const QString &text)
{
    m_shown.append({Kind::Question, text, {}, {}, {}});
    return !next(Kind::Question, text).text.isEmpty();
}

QString ScriptedDialogs::inputBox(const QString &caption, const QString &prompt,
                                  const QString &defaultText)
{
    m_shown.append({Kind::Input, prompt, caption, defaultText, {}});
    const Answer a = next(Kind::Input, prompt);
    return a.cancel ? defaultText : a.text;
}

QString ScriptedDialogs::openFile(const FileRequest &request)
{
    m_shown.append({Kind::OpenFile, request.title, {}, {}, request});
    return next(Kind::OpenFile, request.title).text;
}

QString ScriptedDialogs::saveFile(const FileRequest &request)
{
    m_shown.append({Kind::SaveFile, request.title, {}, {}, request});
    return next(Kind::SaveFile, request.title).text;
}

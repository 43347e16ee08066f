#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

// A Dialogs double for tests. It records every dialog shown, in order, and answers questions,
// input boxes and file dialogs from a queue. A dialog that needs an answer nobody queued, or an
// answer of the wrong kind, fails the running test. On destruction it fails the test when
// shown dialogs were not taken or queued answers were not used, so no dialog goes unnoticed.
class ScriptedDialogs : public Dialogs
{
public:
    enum class Kind { Message, Confirm, Question, Error, Input, OpenFile, SaveFile };

    struct Shown
    {
        Kind kind;
        QString text;         // message/question text, input prompt, file dialog title
        QString caption;      // input box caption
        QString defaultText;  // input default
        FileRequest file;     // file dialogs
    };

    ScriptedDialogs();   // installs itself
    ~ScriptedDialogs() override;

    // Queue answers, consumed in order.
    void answerYes() { queue(Kind::Confirm, QStringLiteral("yes")); }
    void answerNo() { queue(Kind::Confirm, QString()); }
    void answerQuestion(bool yes) { queue(Kind::Question, yes ? QStringLiteral("yes") : QString()); }
    // An input box answer; cancelled() gives back the default text, as the real box does.
    void answerInput(const QString &text) { queue(Kind::Input, text, false); }
    void cancelInput() { queue(Kind::Input, QString(), true); }
    // File dialogs: a path, or an empty text for Cancel.
    void answerOpenFile(const QString &path) { queue(Kind::OpenFile, path); }
    void answerSaveFile(const QString &path) { queue(Kind::SaveFile, path); }

    // Everything shown since the last take, and forgets it.
    QList<Shown> take();
    // The texts of everything shown since the last take, and forgets them.
    QStringList takeTexts();
    bool nothingShown() const { return m_shown.isEmpty(); }
    int pendingAnswers() const { return int(m_answers.size()); }

    void message(const QString &text) override;
    bool confirm(const QString &text) override;
    bool question(const QString &text) override;
    void error(const QString &text) override;
    QString inputBox(const QString &caption, const QString &prompt,
                     const QString &defaultText) override;
    QString openFile(const FileRequest &request) override;
    QString saveFile(const FileRequest &request) override;

private:
    struct Answer
    {
        Kind kind;
        QString text;
        bool cancel = false;
    };
    void queue(Kind k, const QString &text, bool cancel = false) { m_answers.append({k, text, cancel}); }
    Answer next(Kind k, const QString &what);

    QList<Shown> m_shown;
    QList<Answer> m_answers;
};

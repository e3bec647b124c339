#pragma once

#include "QtPrinters.h"
#include "widgets/Prompt.h"

#include <QQueue>
#include <QStringList>

#include <functional>

#include <optional>

// Stands in for every message box and file dialog while a test runs: records what the user
// would have read and hands out answers queued beforehand. A question or file dialog with no
// answer queued fails the test (and is answered No / Cancel).
class ScriptedPrompt : public Prompt
{
public:
    ScriptedPrompt();           // installs itself
    ~ScriptedPrompt() override; // brings back the real dialogs

    void answer(bool yes);
    // The answer to the next Save / Discard / Cancel question.
    void answerSave(Prompt::Choice choice);
    void chooseFile(const QString &path);
    void cancelFile();

    // Texts in the order shown: message boxes, questions (both kinds), and "save: FILTER" / "open: FILTER"
    // for file dialogs.
    const QStringList &shown() const { return m_shown; }
    const QStringList &messages() const { return m_messages; }
    const QStringList &questions() const { return m_questions; }
    // The names the save dialogs offered, in order.
    const QStringList &suggestedNames() const { return m_suggestedNames; }
    QString lastMessage() const { return m_messages.isEmpty() ? QString() : m_messages.constLast(); }
    void clear();

    // Called as each message, question or file dialog comes up, before it is recorded.
    std::function<void()> onShow;

protected:
    void showMessage(QWidget *parent, const QString &text) override;
    bool showQuestion(QWidget *parent, const QString &text) override;
    Choice showSaveQuestion(QWidget *parent, const QString &text) override;
    std::optional<QString> showSaveFile(QWidget *parent, const QString &filter,
                                        const QString &suggestedName) override;
    std::optional<QString> showOpenFile(QWidget *parent, const QString &filter) override;

private:
    std::optional<QString> nextFile(const QString &kind, const QString &filter);

    QStringList m_shown;
    QStringList m_messages;
    QStringList m_questions;
    QStringList m_suggestedNames;
    QQueue<bool> m_answers;
    QQueue<Choice> m_saveAnswers;
    QQueue<std::optional<QString>> m_files;
};

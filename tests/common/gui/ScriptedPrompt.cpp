#include "ScriptedPrompt.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

ScriptedPrompt::ScriptedPrompt()
{
    Prompt::install(this);
}

ScriptedPrompt::~ScriptedPrompt()
{
    Prompt::install(nullptr);
    if (!m_answers.isEmpty() || !m_saveAnswers.isEmpty() || !m_files.isEmpty())
        ADD_FAILURE() << "answers left unused: " << m_answers.size() << " questions, " << m_saveAnswers.size()
                      << " save questions, " << m_files.size() << " files";
}

void ScriptedPrompt::answer(bool yes)
{
    m_answers.enqueue(yes);
}

void ScriptedPrompt::answerSave(Prompt::Choice choice)
{
    m_saveAnswers.enqueue(choice);
}

void ScriptedPrompt::chooseFile(const QString &path)
{
    m_files.enqueue(path);
}

void ScriptedPrompt::cancelFile()
{
    m_files.enqueue(std::nullopt);
}

void ScriptedPrompt::clear()
{
    m_shown.clear();
    m_messages.clear();
    m_questions.clear();
    m_suggestedNames.clear();
}

void ScriptedPrompt::showMessage(QWidget *, const QString &text)
{
    if (onShow)
        onShow();
    m_shown.append(text);
    m_messages.append(text);
}

bool ScriptedPrompt::showQuestion(QWidget *, const QString &text)
{
    if (onShow)
        onShow();
    m_shown.append(text);
    m_questions.append(text);
    if (m_answers.isEmpty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return false;
    }
    return m_answers.dequeue();
}

Prompt::Choice ScriptedPrompt::showSaveQuestion(QWidget *, const QString &text)
{
    if (onShow)
        onShow();
    m_shown.append(text);
    m_questions.append(text);
    if (m_saveAnswers.isEmpty()) {
        ADD_FAILURE() << "unexpected save question: " << text.toStdString();
        return Choice::Cancel;
    }
    return m_saveAnswers.dequeue();
}

std::optional<QString> ScriptedPrompt::nextFile(const QString &kind, const QString &filter)
{
    if (onShow)
        onShow();
    m_shown.append(kind + QStringLiteral(": ") + filter);
    if (m_files.isEmpty()) {
        ADD_FAILURE() << "unexpected file dialog: " << filter.toStdString();
        return std::nullopt;
    }
    return m_files.dequeue();
}

std::optional<QString> ScriptedPrompt::showSaveFile(QWidget *, const QString &filter,
                                                    const QString &suggestedName)
{
    m_suggestedNames.append(suggestedName);
    return nextFile(QStringLiteral("save"), filter);
}

std::optional<QString> ScriptedPrompt::showOpenFile(QWidget *, const QString &filter)
{
    return nextFile(QStringLiteral("open"), filter);
}

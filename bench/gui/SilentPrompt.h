#pragma once

#include "widgets/Prompt.h"

// Answers every message box at once ("Update successful" and the like would wait for a click
// that never comes), so a measured command runs to its end unattended: questions get Yes,
// unsaved edits are discarded and file dialogs are cancelled.
class SilentPrompt : public Prompt
{
protected:
    void showMessage(QWidget *, const QString &) override {}
    bool showQuestion(QWidget *, const QString &) override { return true; }
    Choice showSaveQuestion(QWidget *, const QString &) override { return Choice::Discard; }
    std::optional<QString> showSaveFile(QWidget *, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    std::optional<QString> showOpenFile(QWidget *, const QString &) override { return std::nullopt; }
};

#pragma once

#include <QString>

#include <optional>

class QWidget;
class VmError;

// Every message box, yes/no question and file dialog of the program goes through here, so a
// test can install a scripted Prompt that records what was shown and hands out answers.
class Prompt
{
public:
    virtual ~Prompt() = default;

    // An OK-only message box with the default title.
    static void message(QWidget *parent, const QString &text);
    // A failure of the library, in its own words.
    static void report(QWidget *parent, const VmError &error);
    // A store operation's status text: empty is success and shows nothing; anything else is shown
    // as the failure it reports. True when it was a failure.
    static bool failed(QWidget *parent, const QString &status);
    // A Yes/No question; true for Yes.
    static bool ask(QWidget *parent, const QString &text);
    // What to do with edits not yet saved, before they would be lost: Save, Discard or Cancel.
    enum class Choice { Save, Discard, Cancel };
    static Choice askToSave(QWidget *parent, const QString &text);
    // File dialogs. filter is in the "Spell Files (*.spel)|*.spel" form; no value = cancelled.
    // A save dialog offers suggestedName (the extension added when missing) in the folder the
    // user last chose.
    static std::optional<QString> saveFile(QWidget *parent, const QString &filter,
                                           const QString &suggestedName = QString());
    static std::optional<QString> openFile(QWidget *parent, const QString &filter);

    // Replaces the dialogs (not owned); nullptr brings back the real ones.
    static void install(Prompt *prompt);

    // "Spell Files (*.spel)|*.spel|All (*.*)|*.*" to the filter list of a Qt file dialog.
    static QString qtFilter(const QString &filter);

protected:
    virtual void showMessage(QWidget *parent, const QString &text) = 0;
    virtual bool showQuestion(QWidget *parent, const QString &text) = 0;
    virtual Choice showSaveQuestion(QWidget *parent, const QString &text) = 0;
    virtual std::optional<QString> showSaveFile(QWidget *parent, const QString &filter,
                                                const QString &suggestedName) = 0;
    virtual std::optional<QString> showOpenFile(QWidget *parent, const QString &filter) = 0;

private:
    static Prompt &current();
};

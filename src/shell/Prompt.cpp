#include "shell/Prompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {

class DialogPrompt final : public Prompt
{
protected:
    void showMessage(QWidget *parent, const QString &text) override
    {
        QMessageBox::information(parent, QApplication::applicationDisplayName(), text, QMessageBox::Ok);
    }

    bool showQuestion(QWidget *parent, const QString &text) override
    {
        return QMessageBox::question(parent, QApplication::applicationDisplayName(), text,
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
    }

    std::optional<QString> showSaveFile(QWidget *parent, const QString &filter) override
    {
        const QString path = QFileDialog::getSaveFileName(parent, QString(), QString(), qtFilter(filter));
        return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
    }

    std::optional<QString> showOpenFile(QWidget *parent, const QString &filter) override
    {
        const QString path = QFileDialog::getOpenFileName(parent, QString(), QString(), qtFilter(filter));
        return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
    }
};

Prompt *installed = nullptr;

} // namespace

Prompt &Prompt::current()
{
    static DialogPrompt dialogs;
    return installed ? *installed : dialogs;
}

void Prompt::install(Prompt *prompt)
{
    installed = prompt;
}

void Prompt::message(QWidget *parent, const QString &text)
{
    current().showMessage(parent, text);
}

bool Prompt::ask(QWidget *parent, const QString &text)
{
    return current().showQuestion(parent, text);
}

std::optional<QString> Prompt::saveFile(QWidget *parent, const QString &filter)
{
    return current().showSaveFile(parent, filter);
}

std::optional<QString> Prompt::openFile(QWidget *parent, const QString &filter)
{
    return current().showOpenFile(parent, filter);
}

QString Prompt::qtFilter(const QString &filter)
{
    // Pairs of description and pattern; the description already shows the pattern.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters.append(parts.at(i));
    if (filters.isEmpty())
        filters.append(filter);
    return filters.join(QStringLiteral(";;"));
}

#include "widgets/Prompt.h"

#include "store/VmError.h"
#include "widgets/BusyCursor.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStyle>

namespace {

// A dialog never shows the busy pointer, whatever the command that opened it has set; the
// pointer comes back when the dialog closes.
class NormalPointer
{
public:
    NormalPointer()
    {
        while (const QCursor *cursor = QApplication::overrideCursor()) {
            m_saved.prepend(*cursor);
            QApplication::restoreOverrideCursor();
        }
    }
    ~NormalPointer()
    {
        for (const QCursor &cursor : std::as_const(m_saved))
            QApplication::setOverrideCursor(cursor);
    }
    NormalPointer(const NormalPointer &) = delete;
    NormalPointer &operator=(const NormalPointer &) = delete;

private:
    QList<QCursor> m_saved;
};

// "Spell Files (*.spel)|*.spel" gives "spel" for "Spell Files (*.spel)": a name typed without
// it gets the extension of the file type chosen.
QString defaultSuffix(const QString &filter, const QString &chosen = QString())
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QString pattern = parts.value(1);
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts.at(i) == chosen)
            pattern = parts.at(i + 1);
    }
    return pattern.startsWith(QStringLiteral("*.")) && !pattern.contains(QLatin1Char(';')) ? pattern.mid(2)
                                                                                           : QString();
}

// A box of a short text ("Scroll saved") is as narrow as the text, and the window manager then
// cuts its title: room is kept for the title and the title bar's buttons.
void keepTitleWhole(QMessageBox &box)
{
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid)
        return;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int buttons = 4 * box.style()->pixelMetric(QStyle::PM_TitleBarButtonSize);
    const int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) * 5 / 4 + buttons;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

class DialogPrompt final : public Prompt
{
protected:
    void showMessage(QWidget *parent, const QString &text) override
    {
        NormalPointer pointer;
        QMessageBox box(QMessageBox::Information, QApplication::applicationDisplayName(), text,
                        QMessageBox::Ok, parent);
        keepTitleWhole(box);
        box.exec();
    }

    bool showQuestion(QWidget *parent, const QString &text) override
    {
        NormalPointer pointer;
        QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text,
                        QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::No);
        keepTitleWhole(box);
        return box.exec() == QMessageBox::Yes;
    }

    Choice showSaveQuestion(QWidget *parent, const QString &text) override
    {
        NormalPointer pointer;
        QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text,
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
        keepTitleWhole(box);
        box.setDefaultButton(QMessageBox::Save);
        box.setEscapeButton(QMessageBox::Cancel);
        switch (box.exec()) {
        case QMessageBox::Save:
            return Choice::Save;
        case QMessageBox::Discard:
            return Choice::Discard;
        default:
            return Choice::Cancel; // also Esc and the close button
        }
    }

    std::optional<QString> showSaveFile(QWidget *parent, const QString &filter,
                                        const QString &suggestedName) override
    {
        return runFileDialog(parent, filter, QFileDialog::AcceptSave, suggestedName);
    }

    std::optional<QString> showOpenFile(QWidget *parent, const QString &filter) override
    {
        return runFileDialog(parent, filter, QFileDialog::AcceptOpen, QString());
    }

private:
    std::optional<QString> runFileDialog(QWidget *parent, const QString &filter, QFileDialog::AcceptMode mode,
                                         const QString &suggestedName)
    {
        NormalPointer pointer;
        QFileDialog dialog(parent);
        dialog.setAcceptMode(mode);
        dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                           : QFileDialog::ExistingFile);
        dialog.setNameFilters(qtFilter(filter).split(QStringLiteral(";;")));
        dialog.setDefaultSuffix(defaultSuffix(filter));
        if (!m_lastFolder.isEmpty())
            dialog.setDirectory(m_lastFolder);
        if (!suggestedName.isEmpty())
            dialog.selectFile(suggestedName);
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog, &filter](const QString &chosen) {
                             dialog.setDefaultSuffix(defaultSuffix(filter, chosen));
                         });
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        const QString chosen = dialog.selectedFiles().constFirst();
        m_lastFolder = QFileInfo(chosen).absolutePath();
        return chosen;
    }

    // The folder of the last file chosen, for the run: the next dialog opens there.
    QString m_lastFolder;
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
    BusyCursor::clearProgressTexts();
    current().showMessage(parent, text);
}

void Prompt::report(QWidget *parent, const VmError &error)
{
    message(parent, error.description.trimmed());
}

bool Prompt::failed(QWidget *parent, const QString &status)
{
    if (status.isEmpty())
        return false;
    message(parent, status.trimmed());
    return true;
}

bool Prompt::ask(QWidget *parent, const QString &text)
{
    BusyCursor::clearProgressTexts();
    return current().showQuestion(parent, text);
}

Prompt::Choice Prompt::askToSave(QWidget *parent, const QString &text)
{
    BusyCursor::clearProgressTexts();
    return current().showSaveQuestion(parent, text);
}

std::optional<QString> Prompt::saveFile(QWidget *parent, const QString &filter, const QString &suggestedName)
{
    BusyCursor::clearProgressTexts();
    // A name offered to be saved carries the extension of its kind of file; characters no file
    // name may hold become blanks.
    QString name = suggestedName.trimmed();
    name.replace(QLatin1Char('/'), QLatin1Char(' ')).replace(QChar(0), QLatin1Char(' '));
    const QString suffix = defaultSuffix(filter);
    if (!name.isEmpty() && !suffix.isEmpty() &&
        !name.endsWith(QLatin1Char('.') + suffix, Qt::CaseInsensitive))
        name += QLatin1Char('.') + suffix;
    return current().showSaveFile(parent, filter, name);
}

std::optional<QString> Prompt::openFile(QWidget *parent, const QString &filter)
{
    BusyCursor::clearProgressTexts();
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

#include "widgets/Prompt.h"

#include "store/VmError.h"
#include "widgets/BusyCursor.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QSortFilterProxyModel>
#include <QSpacerItem>
#include <QStyle>
#include <QTemporaryDir>

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

// The "description|pattern" pairs of a filter as Qt name filters: Qt takes the patterns from the
// parentheses, separated by blanks, so "Vellumar Files (*.spel;*.sbok)|*.spel;*.sbok" becomes
// "Vellumar Files (*.spel *.sbok)", with each pattern's suffix.
struct NameFilter
{
    QString qtName;
    QStringList patterns;
};

QList<NameFilter> nameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QList<NameFilter> filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &pattern : patterns)
            pattern = pattern.trimmed();
        QString description = parts.at(i).trimmed();
        if (const qsizetype open = description.lastIndexOf(QLatin1Char('('));
            open > 0 && description.endsWith(QLatin1Char(')')))
            description = description.left(open).trimmed();
        filters.append(
            {QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' '))), patterns});
    }
    return filters;
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

// "Spell Files (*.spel)|*.spel" gives "spel" for "Spell Files (*.spel)": a name typed without
// it gets the extension of the file type chosen. A type of several patterns adds none.
QString defaultSuffix(const QString &filter, const QString &chosen = QString())
{
    const QList<NameFilter> filters = nameFilters(filter);
    QStringList patterns = filters.isEmpty() ? QStringList() : filters.constFirst().patterns;
    for (const NameFilter &each : filters) {
        if (each.qtName == chosen)
            patterns = each.patterns;
    }
    return patterns.size() == 1 && patterns.constFirst().startsWith(QStringLiteral("*."))
               ? patterns.constFirst().mid(2)
               : QString();
}

// A file dialog must not open the files it lists. Qt's own icon provider guesses a file's type
// from its first bytes when the name does not tell (as for Spells.mdb-wal and -shm), and the
// desktop's icon themes may do the same; closing that handle would drop every lock the program's
// connections hold on the file, and another program could then remove the log they write to.
// Icons and type names here come from the name alone.
class NameOnlyIconProvider final : public QFileIconProvider
{
public:
    NameOnlyIconProvider() { setOptions(DontUseCustomDirectoryIcons); }
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo &info) const override
    {
        return QFileIconProvider::icon(info.isDir() ? Folder : File);
    }
    QString type(const QFileInfo &info) const override
    {
        if (info.isDir())
            return QStringLiteral("Folder");
        const QMimeType type = m_types.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
        return type.isDefault() || type.comment().isEmpty() ? QStringLiteral("File") : type.comment();
    }

private:
    QMimeDatabase m_types;
};

// The journal files of SQLite databases (the library's among them) are never a file to open or
// write over: the dialogs leave them out.
class HideJournals final : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        const QString name = sourceModel()->index(row, 0, parent).data().toString();
        return !(name.endsWith(QLatin1String("-wal")) || name.endsWith(QLatin1String("-shm")) ||
                 name.endsWith(QLatin1String("-journal")));
    }
};

// Messages are plain text: a name in one ("<img src=…>") must not make Qt read the file it names,
// the library's among them.
class DialogPrompt final : public Prompt
{
protected:
    void showMessage(QWidget *parent, const QString &text) override
    {
        NormalPointer pointer;
        QMessageBox box(QMessageBox::Information, QApplication::applicationDisplayName(), text,
                        QMessageBox::Ok, parent);
        keepTitleWhole(box);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }

    bool showQuestion(QWidget *parent, const QString &text) override
    {
        NormalPointer pointer;
        QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text,
                        QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::No);
        keepTitleWhole(box);
        box.setTextFormat(Qt::PlainText);
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
        box.setTextFormat(Qt::PlainText);
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
        // Qt's own dialog, not a desktop's, which would look into the files in this process by
        // itself. A new dialog lists its first folder at once, with Qt's icon provider: that
        // first folder is an empty one, and the real one comes once the provider above is set.
        const QTemporaryDir empty;
        QFileDialog dialog(parent, QString(), empty.path());
        dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontUseCustomDirectoryIcons);
        dialog.setIconProvider(&m_icons);
        dialog.setProxyModel(new HideJournals(&dialog));
        dialog.setDirectory(m_lastFolder.isEmpty() ? QDir::currentPath() : m_lastFolder);
        dialog.setAcceptMode(mode);
        dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                           : QFileDialog::ExistingFile);
        dialog.setNameFilters(qtFilter(filter).split(QStringLiteral(";;")));
        dialog.setDefaultSuffix(defaultSuffix(filter));
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
    NameOnlyIconProvider m_icons;
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
    QStringList filters;
    for (const NameFilter &each : nameFilters(filter))
        filters.append(each.qtName);
    if (filters.isEmpty())
        filters.append(filter);
    return filters.join(QStringLiteral(";;"));
}

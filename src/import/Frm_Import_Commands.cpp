// The import window's commands: a correction saved to a record, and the import of the checked
// records (with the caster of a spellbook file).

#include "import/Frm_Import.h"

#include "exchange/ExchangeRules.h"
#include "exchange/VM_SpellSaver.h"
#include "store/Schema.h"
#include "store/VM_Library.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
#include "widgets/ButtonToolBar.h"
#include "widgets/ColumnSortToggle.h"
#include "widgets/LibraryEvents.h"
#include "widgets/ListView.h"
#include "widgets/ListViewModel.h"
#include "widgets/Prompt.h"
#include "widgets/ToolIcons.h"
#include "widgets/Workspace.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QScopedValueRollback>
#include <QSet>
#include <QStatusBar>
#include <QStyle>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

// The progress dialog is brought up to date, and asked about Cancel, once per this many spells.
constexpr int kProgressBatch = 250;

} // namespace

void Frm_Import::saveItem()
{
    const int row = selectedRow();
    if (m_list->rowCount() == 0 || row < 0)
        return;
    QStringList schools;
    for (int i = 0; i < m_schools->count(); ++i) {
        if (m_schools->item(i)->isSelected())
            schools.append(m_schools->item(i)->text());
    }
    if (schools.isEmpty()) {
        m_panel2->clear();
        Prompt::message(this, QStringLiteral("You must select at least one School"));
        return;
    }
    auto text = [this](ImportReview::Field field) {
        return static_cast<QLineEdit *>(m_fieldWidgets.value(field))->text();
    };
    // A correction no spells file could carry would be imported and then stop every export
    // that holds the spell: refused here, the text kept in its box.
    const std::pair<ImportReview::Field, QString> typedFields[] = {
        {ImportReview::Range, QStringLiteral("range")},
        {ImportReview::Duration, QStringLiteral("duration")},
        {ImportReview::AreaOfEffect, QStringLiteral("area of effect")},
        {ImportReview::CastingTime, QStringLiteral("casting time")},
        {ImportReview::SavingThrow, QStringLiteral("saving throw")},
        {ImportReview::Book, QStringLiteral("book")},
        {ImportReview::Page, QStringLiteral("page")},
        {ImportReview::Author, QStringLiteral("author")}};
    for (const auto &[field, caption] : typedFields) {
        const QString problem = ExchangeRules::fieldProblem(text(field));
        if (!problem.isEmpty()) {
            Prompt::message(this, ExchangeRules::refusal(caption, problem, QStringLiteral("spell")));
            m_fieldWidgets.value(field)->setFocus();
            return;
        }
    }
    if (const QString problem = ExchangeRules::descriptionProblem(m_description->toPlainText());
        !problem.isEmpty()) {
        Prompt::message(
            this, ExchangeRules::refusal(QStringLiteral("description"), problem, QStringLiteral("spell")));
        m_description->setFocus();
        return;
    }
    BusyCursor busy;
    SpellEdits edits;
    edits.components = m_components->currentIndex() < 0 ? QString() : m_components->currentText();
    edits.duration = text(ImportReview::Duration);
    edits.range = text(ImportReview::Range);
    edits.castingTime = text(ImportReview::CastingTime);
    edits.castingTimeType =
        m_castingTimeType->currentIndex() < 0 ? QString() : m_castingTimeType->currentText();
    edits.areaOfEffect = text(ImportReview::AreaOfEffect);
    edits.savingThrow = text(ImportReview::SavingThrow);
    edits.book = text(ImportReview::Book);
    edits.page = text(ImportReview::Page);
    edits.author = text(ImportReview::Author);
    edits.description = m_description->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    edits.schools = schools;
    const qsizetype record = recordOfRow(row);
    m_saver->SaveItem(record, edits);
    m_unimportedEdits = true;

    const VM_Spell &saved = m_saver->Import_List()[size_t(record)];
    m_list->rows()->setText(row, ReviewColumn, ImportReview::statusText(m_review.status(saved)));
    showMarks(record);
    m_panel2->setText(m_list->text(row) + QStringLiteral(" ") +
                      QStringLiteral("has been updated for Import"));
}

ListRows Frm_Import::rowsInRecordOrder() const
{
    ListRows rows(qsizetype(m_saver->Import_List().size()));
    for (int row = 0; row < m_list->rowCount(); ++row) {
        const qsizetype record = recordOfRow(row);
        if (record >= 0 && record < rows.size())
            rows[record] = ListRow{m_list->text(row), {}, false, m_list->rows()->isChecked(row)};
    }
    return rows;
}

void Frm_Import::Store_Caster_Details()
{
    QStringList details;
    for (const QLineEdit *field : std::as_const(m_casterFields))
        details.append(field->text().trimmed());
    m_saver->Set_Caster_Details(details);
}

// A caster corrected here into something the exchange format cannot carry would be imported
// and then stop every export of the spellbook; the boxes keep what was typed.
bool Frm_Import::casterExportable()
{
    for (qsizetype i = 0; i < m_casterFields.size(); ++i) {
        const QString problem = ExchangeRules::fieldProblem(m_casterFields.at(i)->text().trimmed());
        if (problem.isEmpty())
            continue;
        QString field = casterCaption(i).chopped(1).toLower(); // "race", "1st", ...
        if (i == 0)
            field = QStringLiteral("spellbook name");
        else if (i >= 4)
            field += QStringLiteral("-level figure");
        Prompt::message(this, ExchangeRules::refusal(field, problem, QStringLiteral("spellbook")));
        m_casterFields.at(i)->setFocus();
        return false;
    }
    return true;
}

void Frm_Import::importChecked()
{
    if (m_fileType == OtherFile || m_list->rowCount() == 0)
        return;
    if (m_fileType == SpellbookFile && !casterExportable())
        return;
    const ListRows rows = rowsInRecordOrder();
    const std::vector<VM_Spell> &records = m_saver->Import_List();

    // A record follows the check box of the first row of its name, as the import does.
    QHash<QString, bool> checked;
    for (const ListRow &row : rows) {
        if (!checked.contains(row.text))
            checked.insert(row.text, row.checked);
    }
    int total = 0;
    QSet<QString> replaced;
    const bool overwrites = m_fileType == SpellsFile || m_overwrite->isChecked();
    for (const VM_Spell &record : records) {
        if (!checked.value(record.Fetch_Spell_Name(), false))
            continue;
        ++total;
        if (overwrites && m_review.status(record) == ImportReview::Status::Changed)
            replaced.insert(record.Fetch_Spell_Name().trimmed());
    }
    if (!replaced.isEmpty() &&
        !Prompt::ask(this,
                     QStringLiteral("Import will replace the details of %1 spells in your library. Continue?")
                         .arg(replaced.size())))
        return;

    QString failure;
    int done = 0;
    bool cancelled = false;
    QString caster;
    {
        BusyCursor busy;
        QProgressDialog progress(QStringLiteral("Importing spells..."), QStringLiteral("Cancel"), 0, total,
                                 this);
        progress.setObjectName(QStringLiteral("ImportProgress"));
        progress.setWindowTitle(caption());
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        progress.setAutoReset(false);
        progress.setValue(0);
        const VM_SpellSaver::ImportProgress report = [&](int count, int all) {
            done = count;
            if (count % kProgressBatch != 0 && count != all)
                return true;
            progress.setLabelText(QStringLiteral("%1 of %2 spells imported").arg(count).arg(all));
            progress.setValue(count); // once shown, lets the window repaint and Cancel be pressed
            // Before the dialog shows, the window still repaints; clicks wait for the import's end.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            cancelled = progress.wasCanceled() && count < all;
            return !cancelled;
        };
        try {
            if (m_fileType == SpellsFile) {
                m_panel2->setText(QStringLiteral("Importing Checked Spells..."));
                m_panel2->repaint();
                m_saver->ImportSpells(rows, report);
            } else {
                m_panel2->setText(QStringLiteral("Importing Spellbook..."));
                m_panel2->repaint();
                Store_Caster_Details();
                caster = m_saver->Caster_Details().value(0).trimmed();
                m_saver->ImportSpellbook(rows, m_replaceList->isChecked(), m_replaceDetails->isChecked(),
                                         m_overwrite->isChecked(), report);
            }
        } catch (const VmError &error) {
            failure = error.description.trimmed();
        }
    }

    // Whatever was written, also before a failure or Cancel, is shown everywhere.
    // A spellbook import that failed may still have written its caster or cleared its list.
    if (done > 0 || m_fileType == SpellbookFile) {
        m_own.announce(m_workspace->events(), [&](LibraryEvents &events) {
            emit events.spellsChanged();
            if (m_fileType == SpellbookFile) {
                emit events.castersChanged();
                emit events.spellbookChanged(caster);
            }
        });
        if (failure.isEmpty()) {
            // The library now holds what was imported, so the review follows without reading it.
            int adopted = 0;
            for (const VM_Spell &record : records) {
                if (adopted == done)
                    break;
                if (!checked.value(record.Fetch_Spell_Name(), false))
                    continue;
                ++adopted;
                if (overwrites || !m_review.libraryVersion(record.Fetch_Spell_Name()))
                    m_review.adopt(record);
            }
            showReviewColumn();
        } else {
            readReview(); // where the import stopped is known to the library alone
        }
        const int row = selectedRow();
        if (row >= 0)
            showMarks(recordOfRow(row));
    }
    if (!failure.isEmpty()) {
        Prompt::message(this, failure);
        return;
    }
    if (cancelled) {
        const QString text =
            QStringLiteral("Import cancelled: %1 of %2 spells were imported.").arg(done).arg(total);
        m_panel2->setText(text);
        Prompt::message(this, text);
        return;
    }
    m_unimportedEdits = false;
    m_panel2->setText(m_fileType == SpellsFile ? QStringLiteral("Checked Spells Imported")
                                               : QStringLiteral("Spellbook Imported"));
}

// The import window's commands: a correction saved to a record, and the import of the checked
// records (with the caster of a spellbook file).

#include "import/Frm_Import.h"

#include "exchange/ExchangeRules.h"
#include "exchange/VM_SpellSaver.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
#include "widgets/LibraryEvents.h"
#include "widgets/ListView.h"
#include "widgets/ListViewModel.h"
#include "widgets/Prompt.h"
#include "widgets/SpellForm.h"
#include "widgets/Workspace.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QScopedValueRollback>
#include <QSet>

namespace {

// The progress dialog is brought up to date, and asked about Cancel, once per this many spells,
// and then no sooner than this many milliseconds after the last time: a repaint of the windows
// costs more than importing a batch, and a few a second keep Cancel at hand.
constexpr int kProgressBatch = 250;
constexpr qint64 kProgressInterval = 100;

} // namespace

void Frm_Import::saveItem()
{
    const int row = selectedRow();
    if (m_list->rowCount() == 0 || row < 0)
        return;
    const QStringList schools = chosenSchools();
    if (schools.isEmpty()) {
        m_panel2->clear();
        Prompt::message(this, QStringLiteral("You must select at least one School"));
        return;
    }
    // A correction no spells file could carry would be imported and then stop every export
    // that holds the spell: refused here, the text kept in its box.
    if (const std::optional<SpellForm::Problem> problem = m_form->problem(ExchangeRules::detailRefusal)) {
        Prompt::message(this, problem->message);
        m_form->control(problem->field)->setFocus();
        return;
    }
    BusyCursor busy;
    SpellEdits edits;
    for (SpellFields::Field field : m_form->fields())
        edits.details.insert(field, m_form->storedText(field));
    edits.schools = schools;
    const qsizetype record = recordOfRow(row);
    const bool wasImportable = VM_SpellSaver::importProblem(m_saver->Import_List()[size_t(record)]).isEmpty();
    m_review.settle(); // the library's versions of what was imported, before a record changes
    m_saver->SaveItem(record, edits);
    m_unimported.insert(record);

    const VM_Spell &saved = m_saver->Import_List()[size_t(record)];
    // A spell corrected into one the library can list is meant to be imported.
    if (!wasImportable && VM_SpellSaver::importProblem(saved).isEmpty())
        m_list->rows()->setChecked(row, true);
    m_list->rows()->setText(row, LevelColumn, saved.Fetch_Spell_Level());
    m_list->rows()->setText(row, ReviewColumn, reviewText(saved));
    showReviewColumn();
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
        const QString typed = m_casterFields.at(i)->text().trimmed();
        QString problem = ExchangeRules::entryProblem(typed, ExchangeRules::Entry::Field);
        if (problem.isEmpty())
            problem = ExchangeRules::fieldProblem(typed);
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
    ListRows rows = rowsInRecordOrder();
    const std::vector<VM_Spell> &records = m_saver->Import_List();
    // The records the import takes, in its order: each name is one row and one record (the
    // reader leaves out a name's later lines), checked, and one the library can list.
    std::vector<char> listable(records.size());
    for (size_t i = 0; i < records.size(); ++i)
        listable[i] = VM_SpellSaver::importProblem(records[i]).isEmpty();
    const auto taken = [&rows, &records, &listable] {
        QList<qsizetype> indexes;
        for (qsizetype i = 0; i < rows.size() && i < qsizetype(records.size()); ++i) {
            if (rows[i].checked && listable[size_t(i)])
                indexes.append(i);
        }
        return indexes;
    };
    bool overwrites = m_fileType == SpellsFile || m_overwrite->isChecked();
    int replaced = 0;
    for (qsizetype i : taken()) {
        if (overwrites && m_review.status(records[size_t(i)]) == ImportReview::Status::Changed)
            ++replaced;
    }
    if (replaced > 0 &&
        !Prompt::ask(
            this, QStringLiteral("Import will replace the details of %1 in your library. Continue?\n"
                                 "Answer No to keep your library's details of those spells and import only "
                                 "the new ones.")
                      .arg(replaced == 1 ? QStringLiteral("1 spell")
                                         : QStringLiteral("%1 spells").arg(replaced)))) {
        // The spells the library holds keep its details: a spells file brings only the new ones,
        // a spellbook still lists the others without overwriting them.
        if (m_fileType == SpellsFile) {
            for (qsizetype i = 0; i < rows.size(); ++i) {
                if (m_review.libraryVersion(records[size_t(i)].Fetch_Spell_Name()))
                    rows[i].checked = false;
            }
        }
        overwrites = false;
    }
    const QList<qsizetype> importing = taken();
    const int total = int(importing.size());

    QString failure;
    QString skipped;
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
        QElapsedTimer sinceUpdate;
        const VM_SpellSaver::ImportProgress report = [&](int count, int all) {
            done = count;
            if (count % kProgressBatch != 0 && count != all)
                return true;
            if (sinceUpdate.isValid() && !sinceUpdate.hasExpired(kProgressInterval) && count != all)
                return true;
            progress.setLabelText(QStringLiteral("%1 of %2 spells imported").arg(count).arg(all));
            progress.setValue(count); // once shown, lets the window repaint and Cancel be pressed
            // Before the dialog shows, the window still repaints; clicks wait for the import's end.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sinceUpdate.start(); // the interval counts from the end of the repaint
            cancelled = progress.wasCanceled() && count < all;
            return !cancelled;
        };
        try {
            if (m_fileType == SpellsFile) {
                m_panel2->setText(QStringLiteral("Importing Checked Spells..."));
                m_panel2->repaint();
                skipped = m_saver->ImportSpells(rows, report);
            } else {
                m_panel2->setText(QStringLiteral("Importing Spellbook..."));
                m_panel2->repaint();
                Store_Caster_Details();
                caster = m_saver->Caster_Details().value(0).trimmed();
                skipped = m_saver->ImportSpellbook(rows, m_replaceList->isChecked(),
                                                   m_replaceDetails->isChecked(), overwrites, report);
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
            // The library now holds what was imported, so the review follows without reading it
            // or comparing the imported records again; a correction is imported once its record
            // is written.
            std::vector<char> same(records.size());
            std::vector<qsizetype> adopted;
            adopted.reserve(size_t(done));
            for (qsizetype i : importing.mid(0, done)) {
                if (overwrites || !m_review.libraryVersion(records[size_t(i)].Fetch_Spell_Name())) {
                    adopted.push_back(i);
                    m_unimported.remove(i);
                    same[size_t(i)] = 1;
                }
            }
            m_review.adoptLater(records, std::move(adopted));
            showReviewColumn(same);
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
    m_panel2->setText(m_fileType == SpellsFile ? QStringLiteral("Checked Spells Imported")
                                               : QStringLiteral("Spellbook Imported"));
    if (!skipped.isEmpty())
        Prompt::message(this, skipped);
}

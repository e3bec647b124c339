// The import window's review: the column that says new, changed or the same, the marks on changed
// fields, and the check boxes the review sets.

#include "import/Frm_Import.h"

#include "exchange/VM_SpellSaver.h"
#include "store/VmError.h"
#include "widgets/FormControls.h"
#include "widgets/ListView.h"
#include "widgets/ListViewModel.h"
#include "widgets/Prompt.h"
#include "widgets/ReadableColour.h"
#include "widgets/SpellForm.h"

#include <QLabel>

// What importing each spell would do to the library: the review column, its summary, the marks
// on the fields of the spell shown, and the check boxes set by what the review found.

namespace {

// A value as the review quotes it: a long description is cut short.
QString libraryValue(const QString &value)
{
    constexpr qsizetype kShown = 80;
    if (value.isEmpty())
        return QStringLiteral("(empty)");
    QString shown = value.left(kShown);
    shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return value.size() > kShown ? shown + QStringLiteral("...") : shown;
}

// A detail named as this window's label names it ("AoE", "Caster").
QString fieldCaption(ImportReview::Field field)
{
    const SpellFields::FieldDescription &described = SpellFields::of(field);
    const QLatin1String label(described.importLabel);
    return label.size() > 0 ? QString(label).chopped(1) : QString(QLatin1String(described.caption));
}

} // namespace

void Frm_Import::readReview()
{
    m_reviewSummary.clear();
    try {
        m_review.read(m_library.get(), m_saver->Import_List());
    } catch (const VmError &error) {
        m_review.clear();
        m_list->setColumnHidden(ReviewColumn, true);
        Prompt::report(this, error);
        return;
    }
    m_list->setColumnHidden(ReviewColumn, false);
    showReviewColumn();
}

QString Frm_Import::reviewText(const VM_Spell &record) const
{
    if (!VM_SpellSaver::importProblem(record).isEmpty())
        return QStringLiteral("To correct");
    return ImportReview::statusText(m_review.status(record));
}

void Frm_Import::showReviewColumn(const std::vector<char> &sameRecords)
{
    const std::vector<VM_Spell> &records = m_saver->Import_List();
    int counts[3] = {};
    int toCorrect = 0;
    QList<QString> texts(m_list->rowCount());
    for (int row = 0; row < m_list->rowCount(); ++row) {
        const qsizetype record = recordOfRow(row);
        if (record < 0 || record >= qsizetype(records.size()))
            continue;
        // Each record is checked and compared once: after an import of 10,000 spells this runs
        // for every one of them.
        if (size_t(record) < sameRecords.size() && sameRecords[size_t(record)]) {
            texts[row] = ImportReview::statusText(ImportReview::Status::Same);
            ++counts[int(ImportReview::Status::Same)];
            continue;
        }
        const VM_Spell &spell = records[size_t(record)];
        if (!VM_SpellSaver::importProblem(spell).isEmpty()) {
            texts[row] = reviewText(spell);
            ++toCorrect;
            continue;
        }
        const ImportReview::Status status = m_review.status(spell);
        texts[row] = ImportReview::statusText(status);
        ++counts[int(status)];
    }
    m_list->rows()->setColumnTexts(ReviewColumn, texts);
    m_reviewSummary = QStringLiteral("%1 spells: %2 new, %3 changed, %4 same")
                          .arg(m_list->rowCount())
                          .arg(counts[int(ImportReview::Status::New)])
                          .arg(counts[int(ImportReview::Status::Changed)])
                          .arg(counts[int(ImportReview::Status::Same)]);
    if (toCorrect > 0)
        m_reviewSummary += QStringLiteral(", %1 to correct before import").arg(toCorrect);
}

void Frm_Import::showMarks(qsizetype record)
{
    // The mark keeps its hue but reads on the palette in use, light or dark.
    const QColor markColour =
        ReadableColour::against(QColor(0xa3, 0x3a, 0x00), m_changes->palette().color(QPalette::Window));
    const QString marked = QStringLiteral("color: %1; font-weight: bold;").arg(markColour.name());
    for (SpellFields::Field field : m_form->fields()) {
        if (QLabel *label = m_form->label(field))
            label->setStyleSheet(QString());
        m_form->control(field)->setToolTip(QString());
    }
    m_schoolsLabel->setStyleSheet(QString());
    m_changes->clear();
    const std::vector<VM_Spell> &records = m_saver->Import_List();
    if (record < 0 || record >= qsizetype(records.size()))
        return;
    const VM_Spell &spell = records[size_t(record)];
    // What keeps the spell out of the library comes first: the user corrects it here.
    QString text;
    if (const QString problem = VM_SpellSaver::importProblem(spell); !problem.isEmpty()) {
        const bool level = !SpellFields::levelNames().contains(spell.Fetch_Spell_Level().trimmed());
        (level ? m_form->label(SpellFields::Level) : m_schoolsLabel)->setStyleSheet(marked);
        text = QStringLiteral("Cannot be imported as it is: ") + problem +
               QStringLiteral(" Correct it and press Save. ");
    }
    const ImportReview::Version *version = m_review.libraryVersion(spell.Fetch_Spell_Name());
    if (!version) {
        m_changes->setText(text.trimmed());
        return;
    }
    const ImportReview::Difference difference = m_review.difference(spell);
    if (difference.isEmpty()) {
        m_changes->setText(text + QStringLiteral("Your library holds this spell exactly as it is here."));
        return;
    }
    // Each changed field's label is marked, and the library's value stands beside the file's.
    QStringList changed;
    for (ImportReview::Field field : difference.fields) {
        const QString stored = libraryValue(version->details.at(field));
        const SpellFields::Field labelled =
            field == SpellFields::CastingTimeType ? SpellFields::CastingTime : field; // shares its label
        if (QLabel *label = m_form->label(labelled)) {
            label->setStyleSheet(marked);
            m_form->control(field)->setToolTip(
                FormControls::plainToolTip(QStringLiteral("In your library: ") + stored));
        }
        changed.append(fieldCaption(field) + QStringLiteral(" (your library: ") + stored +
                       QStringLiteral(")"));
    }
    text += QStringLiteral("Changed from your library");
    if (!changed.isEmpty())
        text += QStringLiteral(": ") + changed.join(QStringLiteral(", "));
    text += QLatin1Char('.');
    if (!difference.schoolsAdded.isEmpty())
        text += QStringLiteral(" Schools added: ") + difference.schoolsAdded.join(QStringLiteral(", ")) +
                QLatin1Char('.');
    if (!difference.schoolsRemoved.isEmpty())
        text += QStringLiteral(" Schools removed: ") + difference.schoolsRemoved.join(QStringLiteral(", ")) +
                QLatin1Char('.');
    m_changes->setText(text);
}

void Frm_Import::checkWhere(const std::function<bool(ImportReview::Status)> &wanted)
{
    const std::vector<VM_Spell> &records = m_saver->Import_List();
    for (int row = 0; row < m_list->rowCount(); ++row) {
        const qsizetype record = recordOfRow(row);
        const bool valid = record >= 0 && record < qsizetype(records.size()) &&
                           VM_SpellSaver::importProblem(records[size_t(record)]).isEmpty();
        m_list->rows()->setChecked(row, valid && wanted(m_review.status(records[size_t(record)])));
    }
}

void Frm_Import::PopUp_Check_Click()
{
    checkWhere([](ImportReview::Status) { return true; });
}

void Frm_Import::PopUp_UnCheck_Click()
{
    checkWhere([](ImportReview::Status) { return false; });
}

void Frm_Import::PopUp_CheckNew_Click()
{
    checkWhere([](ImportReview::Status status) { return status == ImportReview::Status::New; });
}

void Frm_Import::PopUp_CheckNewChanged_Click()
{
    checkWhere([](ImportReview::Status status) { return status != ImportReview::Status::Same; });
}

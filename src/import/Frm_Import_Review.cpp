// The import window's review: the column that says new, changed or the same, the marks on changed
// fields, and the check boxes the review sets.

#include "import/Frm_Import.h"

#include "exchange/VM_SpellSaver.h"
#include "store/VmError.h"
#include "widgets/ListView.h"
#include "widgets/ListViewModel.h"
#include "widgets/Prompt.h"
#include "widgets/ReadableColour.h"

#include <QLabel>

// What importing each spell would do to the library: the review column, its summary, the marks
// on the fields of the spell shown, and the check boxes set by what the review found.

namespace {

QString fieldCaption(ImportReview::Field field)
{
    switch (field) {
    case ImportReview::Level:
        return QStringLiteral("Level");
    case ImportReview::Frequency:
        return QStringLiteral("Frequency");
    case ImportReview::Book:
        return QStringLiteral("Book");
    case ImportReview::Page:
        return QStringLiteral("Page");
    case ImportReview::Components:
        return QStringLiteral("Components");
    case ImportReview::Range:
        return QStringLiteral("Range");
    case ImportReview::Duration:
        return QStringLiteral("Duration");
    case ImportReview::AreaOfEffect:
        return QStringLiteral("AoE");
    case ImportReview::CastingTime:
        return QStringLiteral("Casting Time");
    case ImportReview::CastingTimeType:
        return QStringLiteral("Casting Time Type");
    case ImportReview::SavingThrow:
        return QStringLiteral("Saving Throw");
    case ImportReview::Description:
        return QStringLiteral("Description");
    case ImportReview::Author:
        return QStringLiteral("Caster");
    case ImportReview::FieldCount:
        break;
    }
    return {};
}

QString libraryValue(const QString &value)
{
    return value.isEmpty() ? QStringLiteral("(empty)") : value;
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

void Frm_Import::showReviewColumn()
{
    const std::vector<VM_Spell> &records = m_saver->Import_List();
    int counts[3] = {};
    QList<QString> texts(m_list->rowCount());
    for (int row = 0; row < m_list->rowCount(); ++row) {
        const qsizetype record = recordOfRow(row);
        if (record < 0 || record >= qsizetype(records.size()))
            continue;
        const ImportReview::Status status = m_review.status(records[size_t(record)]);
        ++counts[int(status)];
        texts[row] = ImportReview::statusText(status);
    }
    m_list->rows()->setColumnTexts(ReviewColumn, texts);
    m_reviewSummary = QStringLiteral("%1 spells: %2 new, %3 changed, %4 same")
                          .arg(m_list->rowCount())
                          .arg(counts[int(ImportReview::Status::New)])
                          .arg(counts[int(ImportReview::Status::Changed)])
                          .arg(counts[int(ImportReview::Status::Same)]);
}

void Frm_Import::showMarks(qsizetype record)
{
    for (auto it = m_fieldLabels.cbegin(); it != m_fieldLabels.cend(); ++it)
        it.value()->setStyleSheet(QString());
    for (QWidget *widget : std::as_const(m_fieldWidgets))
        widget->setToolTip(QString());
    m_changes->clear();
    const std::vector<VM_Spell> &records = m_saver->Import_List();
    if (record < 0 || record >= qsizetype(records.size()))
        return;
    const VM_Spell &spell = records[size_t(record)];
    const ImportReview::Version *version = m_review.libraryVersion(spell.Fetch_Spell_Name());
    if (!version)
        return;
    const ImportReview::Difference difference = m_review.difference(spell);
    if (difference.isEmpty()) {
        m_changes->setText(QStringLiteral("Your library holds this spell exactly as it is here."));
        return;
    }
    // Each changed field's label is marked, and its field tells the library's value.
    QStringList changed;
    for (ImportReview::Field field : difference.fields) {
        const QString stored = libraryValue(version->details.at(field));
        if (QLabel *label = m_fieldLabels.value(field)) {
            const QColor marked =
                ReadableColour::against(QColor(0xa3, 0x3a, 0x00), label->palette().color(QPalette::Window));
            label->setStyleSheet(QStringLiteral("color: %1; font-weight: bold;").arg(marked.name()));
            m_fieldWidgets.value(field)->setToolTip(QStringLiteral("In your library: ") + stored);
            changed.append(fieldCaption(field));
        } else {
            changed.append(fieldCaption(field) + QStringLiteral(" (your library: ") + stored +
                           QStringLiteral(")"));
        }
    }
    QString text = QStringLiteral("Changed from your library");
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
        const bool valid = record >= 0 && record < qsizetype(records.size());
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

// Spells and spellbook files opened for import, and the corrections made to their records before
// they are imported. Writing the files is in VM_SpellSaver_Export.cpp, importing in _Import.cpp.

#include "exchange/VM_SpellSaver.h"

#include "exchange/ExchangeFormat.h"
#include "store/Blanks.h"
#include "store/SpellFields.h"
#include "store/Status.h"

namespace {

using namespace ExchangeFormat;

QString acceptedCastingTimeType(const QString &value)
{
    for (QStringView type : kCastingTimeTypes) {
        if (value == type)
            return value;
    }
    return {};
}

VM_Spell recordOf(const QStringList &fields)
{
    VM_Spell record;
    record.Set_Spell_Name(fields[Name]);
    for (const SpellFields::FieldDescription &field : SpellFields::all())
        SpellFields::setValue(record, field.field, fields[field.fileField]);
    record.Set_Spell_Casting_Time_Type(acceptedCastingTimeType(fields[CastingTimeType]));
    QString description = fields[Description];
    record.Set_Spell_Description(description.replace(kLineBreak.toString(), QStringLiteral("\r\n")));
    // A school without a name is no school: a run of separators makes none.
    QStringList schools;
    for (QStringView school : QStringView(fields[Schools]).split(kSchoolSeparator, Qt::SkipEmptyParts)) {
        if (!school.trimmed().isEmpty())
            schools.append(school.toString());
    }
    record.Set_Spell_Schools_Collection(schools);
    return record;
}

void applyEdits(VM_Spell &record, const SpellEdits &edits)
{
    for (auto edit = edits.details.cbegin(); edit != edits.details.cend(); ++edit)
        SpellFields::setValue(record, edit.key(), trimBlanks(edit.value()));
    record.WasUpdated(true);
    record.Set_Spell_Schools_Collection(edits.schools);
}

QStringList blankCasterDetails()
{
    return QStringList(kCasterFields, QString());
}

} // namespace

VM_SpellSaver::VM_SpellSaver() : m_casterDetails(blankCasterDetails()) {}

VM_SpellSaver::~VM_SpellSaver() = default;

void VM_SpellSaver::OpenSpellFile2(ListRows &list, const QString &filePath)
{
    raiseAs("OpenSpellFile", [&] { open(list, filePath, ExchangeReader::Kind::SpellsFile); });
}

void VM_SpellSaver::OpenSpellbookFile2(ListRows &list, const QString &filePath)
{
    raiseAs("OpenSpellbookFile", [&] { open(list, filePath, ExchangeReader::Kind::SpellbookFile); });
}

void VM_SpellSaver::open(ListRows &list, const QString &filePath, ExchangeReader::Kind kind)
{
    list.clear();
    m_listReplaced = false;
    const ExchangeContent content = ExchangeReader::parse(ExchangeReader::load(filePath), kind);
    // A file that fails at its header (not a Vellumar file, or no number of spells) yields
    // nothing, and leaves what was read before as it was.
    if (!content.headerRead)
        throw VmError(-1, QString(), content.error);
    m_listReplaced = true;
    m_importList.clear();
    // A file that fails at its header says nothing about a caster: the details of the last
    // spellbook file read stay until a caster line is read or fails to read.
    if (kind == ExchangeReader::Kind::SpellbookFile && content.casterLineReached)
        m_casterDetails = content.caster.isEmpty() ? blankCasterDetails() : content.caster;

    // Records hold no connection: one is opened only if a record is ever saved by itself.
    m_importList.reserve(content.spells.size());
    list.reserve(content.spells.size());
    for (const QStringList &fields : content.spells) {
        m_importList.push_back(recordOf(fields));
        list.append(ListRow{fields[Name], {fields[Level], fields[Author]}, false, true});
    }
    QStringList problems = content.refused;
    if (content.refusedCount > content.refused.size())
        problems.append(QStringLiteral("%1 more lines were left out.")
                            .arg(content.refusedCount - content.refused.size()));
    if (!content.error.isEmpty())
        problems.append(content.error);
    if (!problems.isEmpty())
        throw VmError(-1, QString(), problems.join(QLatin1Char('\n')));
}

QString VM_SpellSaver::SaveScroll(const QString &, const QString &, const QString &, const QString &)
{
    return QStringLiteral("Functionality not yet implemented");
}

void VM_SpellSaver::SaveItem(const QString &spellName, const SpellEdits &edits)
{
    // Names from the list are compared without their surrounding blanks on both sides, so a
    // record whose name in the file carried blanks can still be corrected.
    const QString name = trimBlanks(spellName);
    for (VM_Spell &record : m_importList) {
        if (trimBlanks(record.Fetch_Spell_Name()) == name)
            applyEdits(record, edits);
    }
}

void VM_SpellSaver::SaveItem(qsizetype record, const SpellEdits &edits)
{
    if (record >= 0 && record < qsizetype(m_importList.size()))
        applyEdits(m_importList[size_t(record)], edits);
}

void VM_SpellSaver::Set_Caster_Details(const QStringList &details)
{
    m_casterDetails = details.mid(0, kCasterFields);
    while (m_casterDetails.size() < kCasterFields)
        m_casterDetails.append(QString());
}

// Spells and spellbook files opened for import, and the corrections made to their records before
// they are imported. Writing the files is in VM_SpellSaver_Export.cpp, importing in _Import.cpp.

#include "exchange/VM_SpellSaver.h"

#include "exchange/ExchangeFormat.h"
#include "store/Blanks.h"
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
    record.Set_Spell_Level(fields[Level]);
    record.Set_Spell_Frequency(fields[Frequency]);
    record.Set_Spell_Book_Number(fields[Book]);
    record.Set_Spell_Page_Number(fields[Page]);
    record.Set_Spell_Components(fields[Components]);
    record.Set_Spell_Range(fields[Range]);
    record.Set_Spell_Duration(fields[Duration]);
    record.Set_Spell_Area_of_Effect(fields[AreaOfEffect]);
    record.Set_Spell_Casting_Time_Type(acceptedCastingTimeType(fields[CastingTimeType]));
    record.Set_Spell_Casting_Time(fields[CastingTime]);
    record.Set_Spell_Saving_Throw(fields[SavingThrow]);
    QString description = fields[Description];
    record.Set_Spell_Description(description.replace(kLineBreak.toString(), QStringLiteral("\r\n")));
    record.Set_Spell_Author(fields[Author]);
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
    record.Set_Spell_Components(trimBlanks(edits.components));
    record.Set_Spell_Duration(trimBlanks(edits.duration));
    record.Set_Spell_Range(trimBlanks(edits.range));
    record.Set_Spell_Casting_Time(trimBlanks(edits.castingTime));
    record.Set_Spell_Casting_Time_Type(trimBlanks(edits.castingTimeType));
    record.Set_Spell_Area_of_Effect(trimBlanks(edits.areaOfEffect));
    record.Set_Spell_Saving_Throw(trimBlanks(edits.savingThrow));
    record.Set_Spell_Book_Number(trimBlanks(edits.book));
    record.Set_Spell_Page_Number(trimBlanks(edits.page));
    record.Set_Spell_Author(trimBlanks(edits.author));
    record.Set_Spell_Description(trimBlanks(edits.description));
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
    m_importList.clear();
    const ExchangeContent content = ExchangeReader::parse(ExchangeReader::load(filePath), kind);
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

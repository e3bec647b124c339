#include "exchange/VM_SpellSaver.h"

#include "exchange/ExchangeFormat.h"
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
    record.Set_Spell_Schools_Collection(
        fields[Schools].isEmpty() ? QStringList() : fields[Schools].split(kSchoolSeparator.toString()));
    return record;
}

void applyEdits(VM_Spell &record, const SpellEdits &edits)
{
    record.Set_Spell_Components(edits.components.trimmed());
    record.Set_Spell_Duration(edits.duration.trimmed());
    record.Set_Spell_Range(edits.range.trimmed());
    record.Set_Spell_Casting_Time(edits.castingTime.trimmed());
    record.Set_Spell_Casting_Time_Type(edits.castingTimeType.trimmed());
    record.Set_Spell_Area_of_Effect(edits.areaOfEffect.trimmed());
    record.Set_Spell_Saving_Throw(edits.savingThrow.trimmed());
    record.Set_Spell_Book_Number(edits.book.trimmed());
    record.Set_Spell_Page_Number(edits.page.trimmed());
    record.Set_Spell_Author(edits.author.trimmed());
    record.Set_Spell_Description(edits.description.trimmed());
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
    if (kind == ExchangeReader::Kind::SpellbookFile)
        m_casterDetails = content.caster.isEmpty() ? blankCasterDetails() : content.caster;

    // Records hold no connection: one is opened only if a record is ever saved by itself.
    m_importList.reserve(content.spells.size());
    list.reserve(content.spells.size());
    for (const QStringList &fields : content.spells) {
        m_importList.push_back(recordOf(fields));
        list.append(ListRow{fields[Name], {fields[Level], fields[Author]}, false, true});
    }
    if (!content.error.isEmpty())
        throw VmError(-1, QString(), content.error);
}

QString VM_SpellSaver::SaveScroll(const QString &, const QString &, const QString &, const QString &)
{
    return QStringLiteral("Functionality not yet implemented");
}

void VM_SpellSaver::SaveItem(const QString &spellName, const SpellEdits &edits)
{
    // Names from the list are compared without their surrounding blanks on both sides, so a
    // record whose name in the file carried blanks can still be corrected.
    const QString name = spellName.trimmed();
    for (VM_Spell &record : m_importList) {
        if (record.Fetch_Spell_Name().trimmed() == name)
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

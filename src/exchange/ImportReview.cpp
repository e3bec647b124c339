#include "exchange/ImportReview.h"

#include "store/Blanks.h"
#include "store/VM_Spell.h"

#include <QByteArray>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

QStringList trimmedSchools(const QStringList &schools)
{
    QStringList trimmed;
    trimmed.reserve(schools.size());
    for (const QString &school : schools)
        trimmed.append(trimBlanks(school));
    return trimmed;
}

// A description written by this program breaks its lines with LF, one read from a file with
// CR LF: the same text either way.
QString sameBreaks(QString text)
{
    // Most descriptions hold no CR: one quick scan finds that, where a search for CR LF is slower.
    if (!text.contains(QLatin1Char('\r')))
        return text;
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

QStringList sorted(QStringList names)
{
    std::sort(names.begin(), names.end());
    return names;
}

// The names of one list that the other lacks, each as often as it is missing.
QStringList missingFrom(const QStringList &names, QStringList others)
{
    QStringList missing;
    for (const QString &name : names) {
        if (!others.removeOne(name))
            missing.append(name);
    }
    return missing;
}

} // namespace

void ImportReview::clear()
{
    m_versions.clear();
    m_adoptedRecords = nullptr;
    m_adopted.clear();
}

void ImportReview::read(Connection &db, const std::vector<VM_Spell> &records)
{
    clear();
    // Names are matched as UTF-8 bytes, so the scan turns into text only the rows it keeps.
    QHash<QByteArray, QString> wanted;
    wanted.reserve(qsizetype(records.size()));
    for (const VM_Spell &record : records) {
        const QString name = trimBlanks(record.Fetch_Spell_Name());
        wanted.insert(name.toUtf8(), name);
    }
    if (wanted.isEmpty())
        return;
    m_versions.reserve(size_t(wanted.size()));

    Statement spells(db, QStringLiteral("SELECT Name, %1 FROM Spells").arg(SpellFields::columnList()));
    while (spells.step()) {
        const QByteArrayView stored = spells.bytes(0);
        const auto found = wanted.constFind(QByteArray::fromRawData(stored.data(), stored.size()));
        if (found == wanted.constEnd() || m_versions.contains(found.value()))
            continue; // a second row of one name: an import changes only the first
        Version version;
        version.details.reserve(SpellFields::Count);
        for (int column = 1; column <= SpellFields::Count; ++column) {
            const QString text = spells.text(column);
            version.details.append(column - 1 == SpellFields::Description ? sameBreaks(text) : text);
        }
        m_versions.emplace(found.value(), std::move(version));
    }

    Statement schools(db, "SELECT Name, Sphere FROM SpellandSphere ORDER BY rowid");
    while (schools.step()) {
        const QByteArrayView stored = schools.bytes(0);
        const auto found = wanted.constFind(QByteArray::fromRawData(stored.data(), stored.size()));
        if (found == wanted.constEnd())
            continue;
        const auto version = m_versions.find(found.value());
        if (version != m_versions.end())
            version->second.schools.append(schools.text(1));
    }
}

void ImportReview::adoptLater(const std::vector<VM_Spell> &records, std::vector<qsizetype> indexes)
{
    settle();
    m_adoptedRecords = &records;
    m_adopted = std::move(indexes);
    m_scans = 0;
}

void ImportReview::settle() const
{
    if (m_adopted.empty())
        return;
    m_versions.reserve(m_versions.size() + m_adopted.size());
    for (const qsizetype index : m_adopted)
        adopt((*m_adoptedRecords)[size_t(index)]);
    m_adopted.clear();
}

const ImportReview::Version *ImportReview::adoptedVersion(const QString &trimmedName) const
{
    constexpr int kScans = 8;
    if (++m_scans > kScans) {
        settle();
        return nullptr;
    }
    // The last record of a name is the one the library holds.
    for (auto index = m_adopted.rbegin(); index != m_adopted.rend(); ++index) {
        const VM_Spell &record = (*m_adoptedRecords)[size_t(*index)];
        if (trimBlanks(QStringView(record.Fetch_Spell_Name())) == trimmedName) {
            adopt(record);
            m_adopted.erase(std::next(index).base());
            return &m_versions.at(trimmedName);
        }
    }
    return nullptr;
}

void ImportReview::adopt(const VM_Spell &record) const
{
    Version version;
    version.details.reserve(SpellFields::Count);
    for (int field = 0; field < SpellFields::Count; ++field)
        version.details.append(detail(record, Field(field)));
    version.schools = trimmedSchools(record.Fetch_Spell_Schools_Collection());
    m_versions.insert_or_assign(trimBlanks(record.Fetch_Spell_Name()), std::move(version));
}

const ImportReview::Version *ImportReview::libraryVersion(const QString &spellName) const
{
    const QString name = trimBlanks(spellName);
    if (!m_adopted.empty()) {
        if (const Version *adopted = adoptedVersion(name))
            return adopted;
    }
    const auto found = m_versions.find(name);
    return found == m_versions.end() ? nullptr : &found->second;
}

QString ImportReview::detail(const VM_Spell &record, Field field)
{
    const QString value = trimBlanks(SpellFields::value(record, field));
    return field == SpellFields::Description ? sameBreaks(value) : value;
}

ImportReview::Difference ImportReview::difference(const VM_Spell &record) const
{
    Difference difference;
    const Version *version = libraryVersion(record.Fetch_Spell_Name());
    if (!version)
        return difference;
    for (int field = 0; field < SpellFields::Count; ++field) {
        if (detail(record, Field(field)) != version->details.at(field))
            difference.fields.append(Field(field));
    }
    // The order of a spell's schools means nothing to the user, so only names count.
    const QStringList schools = trimmedSchools(record.Fetch_Spell_Schools_Collection());
    if (sorted(schools) != sorted(version->schools)) {
        difference.schoolsAdded = missingFrom(schools, version->schools);
        difference.schoolsRemoved = missingFrom(version->schools, schools);
    }
    return difference;
}

ImportReview::Status ImportReview::status(const VM_Spell &record) const
{
    if (!libraryVersion(record.Fetch_Spell_Name()))
        return Status::New;
    return difference(record).isEmpty() ? Status::Same : Status::Changed;
}

QString ImportReview::statusText(Status status)
{
    switch (status) {
    case Status::New:
        return QStringLiteral("New");
    case Status::Same:
        return QStringLiteral("Same");
    case Status::Changed:
        return QStringLiteral("Changed");
    }
    return {};
}

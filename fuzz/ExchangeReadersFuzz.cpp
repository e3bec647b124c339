// Feeds arbitrary bytes to both exchange-file readers, as files, and checks what they promise:
// no crash, no undefined behaviour, a list row for every record read, a message naming the
// fault when reading stops early, and that whatever was read writes back and reads again the same.
#include "exchange/ExchangeFormat.h"
#include "exchange/ExchangeReader.h"
#include "exchange/ExchangeWriter.h"
#include "exchange/VM_SpellSaver.h"
#include "store/VmError.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace {

void require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

// The file a reader gets: an in-memory file, reached by its /proc path.
class MemoryFile
{
public:
    MemoryFile() : m_fd(memfd_create("exchange", 0)) { require(m_fd >= 0, "memfd_create"); }
    ~MemoryFile() { close(m_fd); }

    QString fill(const uint8_t *data, size_t size)
    {
        require(ftruncate(m_fd, 0) == 0 && pwrite(m_fd, data, size, 0) == ssize_t(size), "writing the input");
        return QStringLiteral("/proc/self/fd/%1").arg(m_fd);
    }

private:
    int m_fd;
};

void readThroughSaver(const QString &path, bool spellbook)
{
    VM_SpellSaver saver;
    ListRows list;
    try {
        if (spellbook)
            saver.OpenSpellbookFile2(list, path);
        else
            saver.OpenSpellFile2(list, path);
    } catch (const VmError &error) {
        require(!error.description.isEmpty(), "a failure without a message");
        require(error.source == QLatin1String(spellbook ? "OpenSpellbookFile" : "OpenSpellFile"),
                "the source");
    }
    require(size_t(list.size()) == saver.Import_List().size(), "one list row per record");
    require(saver.Caster_Details().size() == ExchangeFormat::kCasterFields, "thirteen caster details");
    for (qsizetype i = 0; i < list.size(); ++i) {
        require(list[i].checked && list[i].subItems.size() == 2, "a checked row with level and author");
        require(list[i].text == saver.Import_List()[size_t(i)].Fetch_Spell_Name(),
                "the row names its record");
    }
}

QString flattened(QString description)
{
    description.replace(QStringLiteral("\r\n"), QStringLiteral("^^"));
    description.replace(QLatin1Char('\r'), QStringLiteral("^^"));
    description.replace(QLatin1Char('\n'), QStringLiteral("^^"));
    return description;
}

// What was read is written as the program would write it and read again.
void roundTrip(const ExchangeContent &first, ExchangeReader::Kind kind)
{
    using namespace ExchangeFormat;
    ExchangeWriter writer;
    QList<QStringList> expected;
    try {
        if (kind == ExchangeReader::Kind::SpellbookFile)
            writer.setCaster(first.caster);
        for (const QStringList &fields : first.spells) {
            QStringList values = fields.mid(0, kSpellFields - 1);
            values[Description].replace(kLineBreak.toString(), QStringLiteral("\r\n"));
            const QStringList schools = fields[Schools].isEmpty()
                                            ? QStringList()
                                            : fields[Schools].split(kSchoolSeparator.toString());
            writer.addSpell(values, schools);
            QStringList written = values;
            written[Description] = flattened(written[Description]);
            written.append(schools.join(kSchoolSeparator));
            expected.append(written);
        }
    } catch (const VmError &error) {
        require(!error.description.isEmpty(), "a refusal without a message");
        return; // a value the format cannot carry: refused before anything is written
    }
    const ExchangeContent second = ExchangeReader::parse(writer.content(), kind);
    require(second.error.isEmpty(), "a written file reads without fault");
    require(second.caster == first.caster, "the caster reads back");
    for (qsizetype i = 0; i < expected.size() && i < second.spells.size(); ++i) {
        for (int field = 0; field < kSpellFields; ++field) {
            if (expected[i][field] != second.spells[i][field])
                std::fprintf(stderr, "spell %lld field %d: wrote \"%s\", read \"%s\"\n", (long long)i, field,
                             expected[i][field].toUtf8().constData(),
                             second.spells[i][field].toUtf8().constData());
        }
    }
    require(second.spells == expected, "the spells read back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static MemoryFile file;
    const QString path = file.fill(data, size);
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const auto kind : {ExchangeReader::Kind::SpellsFile, ExchangeReader::Kind::SpellbookFile}) {
        const bool spellbook = kind == ExchangeReader::Kind::SpellbookFile;
        readThroughSaver(path, spellbook);
        const ExchangeContent content = ExchangeReader::parse(bytes, kind);
        require(content.caster.isEmpty() || content.caster.size() == ExchangeFormat::kCasterFields,
                "caster size");
        for (const QStringList &spell : content.spells)
            require(spell.size() == ExchangeFormat::kSpellFields, "sixteen fields");
        if (content.error.isEmpty() && (!spellbook || !content.caster.isEmpty()))
            roundTrip(content, kind);
    }
    return 0;
}

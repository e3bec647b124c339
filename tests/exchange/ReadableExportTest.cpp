#include "ExchangeTestSupport.h"

#include "exchange/ReadableExport.h"
#include "exchange/VM_SpellSaver.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

// The columns of a spell and the keys a JSON export gives them, in the same order.
const QStringList kColumns =
    QStringLiteral("Name,Lvl,Frequency,In_School,Book,Page,Components,Range,Duration,[Area of Effect],"
                   "[Casting Time Type],[Casting Time],[Saving Throw],Description,Author")
        .split(QLatin1Char(','));
const QStringList kKeys =
    QStringLiteral("name,level,frequency,inSchool,book,page,components,range,duration,"
                   "areaOfEffect,castingTimeType,castingTime,savingThrow,description,author")
        .split(QLatin1Char(','));

const QString kName = QStringLiteral("Otiluke's \u00BD-Step *Shield*");
const QString kDescription = QStringLiteral("The caster's shield covers \u00BD of the body & <b>more</b>.\r\n"
                                            "1. It lasts a_round_ [or two] - #7 of the `wards`.");

class ReadableExportTest : public LibraryTest
{
protected:
    ReadableExportTest()
    {
        const QStringList values = {kName,      "2",       "Very Rare",  "Abjuration",    "Tome of \"Wards\"",
                                    "12",       "V, S, M", "10' || 20'", "1 round/level", "5' radius",
                                    "Round(s)", "2",       "Neg.",       kDescription,    "Maud"};
        Statement insert(library.db(), QStringLiteral("INSERT INTO Spells (%1) VALUES (%2)")
                                           .arg(kColumns.join(", "), Statement::placeholders(15)));
        insert.bindAll(1, values);
        insert.run();
        // Stored out of alphabetical order: the readable exports list them in it.
        for (const char *school : {"Alteration", "Abjuration"}) {
            Statement link(library.db(), "INSERT INTO SpellandSphere (Name, Sphere) VALUES (?, ?)");
            link.bind(1, kName).bind(2, QString::fromLatin1(school)).run();
        }
        library.addSpell("Candle", "1", {"Evocation"});
        library.addSpell("Old Rite", "Cantrip", {"Evocation"});
        library.addCaster("Maelis Thorn");
        for (const QString &spell : {kName, QStringLiteral("Old Rite"), QStringLiteral("Candle")})
            library.addToSpellbook("Maelis Thorn", spell);
    }

    QString fileNamed(const QString &name) const { return QDir(library.folder()).filePath(name); }

    VM_SpellSaver saver;
};

// Markdown rendered by the Markdown package Debian ships (python3-markdown): the HTML, a line
// "----", then the text a reader sees.
QStringList rendered(const QByteArray &markdown)
{
    QProcess python;
    python.start("/usr/bin/python3",
                 {"-c", "import sys, re, html, markdown\n"
                        "out = markdown.markdown(sys.stdin.read())\n"
                        "print(out)\nprint('----')\nprint(html.unescape(re.sub(r'<[^>]+>', '', out)))\n"});
    python.write(markdown);
    python.closeWriteChannel();
    if (!python.waitForFinished(30000) || python.exitCode() != 0) {
        ADD_FAILURE() << "python3-markdown is needed (scripts/install-deps.sh): "
                      << python.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(python.readAllStandardOutput()).split("\n----\n");
}

} // namespace

TEST_F(ReadableExportTest, JsonReadsBackEveryFieldOfEverySpell)
{
    const QString path = fileNamed("selected.json");
    saver.Save2("selected.json", path, {selected(kName), selected("Candle")});
    QJsonParseError error;
    const QJsonObject document = QJsonDocument::fromJson(fileBytes(path), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_EQ(document.value("version").toInt(), 1);
    EXPECT_FALSE(document.contains("caster"));
    const QJsonArray spells = document.value("spells").toArray();
    ASSERT_EQ(spells.size(), 2);

    const QStringList stored = library.rows(
        QStringLiteral("SELECT %1 FROM Spells WHERE Name = ?").arg(kColumns.join(", ")), {kName});
    ASSERT_EQ(stored.size(), 1);
    const QJsonObject spell = spells.at(0).toObject();
    QStringList read;
    for (const QString &key : kKeys)
        read.append(spell.value(key).toString());
    // "|" inside a value would blur the comparison; this spell has "||" in its range.
    EXPECT_EQ(read.join("|"), stored.at(0));
    EXPECT_EQ(spell.value("description").toString(), kDescription);
    EXPECT_EQ(spell.value("schools").toArray(), QJsonArray({"Abjuration", "Alteration"}));
    EXPECT_EQ(spells.at(1).toObject().value("name").toString(), "Candle");

    // A spellbook carries its caster, with the nine capacities as written in the record.
    library.db().exec(
        "UPDATE SpellCasters SET Race = 'Elf', Third = '4', Ninth = '' WHERE Spellbook = 'Maelis Thorn'");
    saver.SaveSpellbook2("book.json", fileNamed("book.json"), {}, "Maelis Thorn", "Full");
    const QJsonObject book = QJsonDocument::fromJson(fileBytes(fileNamed("book.json"))).object();
    EXPECT_EQ(book.value("caster").toObject().value("name").toString(), "Maelis Thorn");
    EXPECT_EQ(book.value("caster").toObject().value("race").toString(), "Elf");
    const QJsonArray capacity = book.value("caster").toObject().value("spellsPerLevel").toArray();
    ASSERT_EQ(capacity.size(), 9);
    EXPECT_EQ(capacity.at(2).toString(), "4");
    EXPECT_EQ(book.value("spells").toArray().size(), 3);
}

TEST_F(ReadableExportTest, MarkdownRendersEachSpellUnderItsLevelWithItsTextIntact)
{
    const QString path = fileNamed("book.md");
    saver.SaveSpellbook2("book.md", path, {}, "Maelis Thorn", "Full");
    const QByteArray markdown = fileBytes(path);
    const QStringList shown = rendered(markdown);
    ASSERT_EQ(shown.size(), 2) << markdown.toStdString();
    const QString &html = shown.at(0);
    const QString &text = shown.at(1);

    // Levels in order, whatever the book's order; a level that is not a number comes last.
    const qsizetype first = html.indexOf("<h2>1st-Level Spells</h2>");
    const qsizetype second = html.indexOf("<h2>2nd-Level Spells</h2>");
    const qsizetype other = html.indexOf("<h2>Level Cantrip Spells</h2>");
    EXPECT_TRUE(html.startsWith("<h1>Maelis Thorn</h1>")) << html.toStdString();
    EXPECT_TRUE(first >= 0 && first < second && second < other) << html.toStdString();
    EXPECT_LT(html.indexOf("<h3>Candle</h3>"), second);

    // The name, the fields and both paragraphs read as they are stored: no emphasis, list,
    // heading, link or markup made from the spell's own characters.
    EXPECT_TRUE(html.contains(QStringLiteral("<h3>Otiluke's \u00BD-Step *Shield*</h3>")))
        << html.toStdString();
    for (const QString &line : kDescription.split("\r\n"))
        EXPECT_TRUE(text.contains("\n" + line + "\n")) << line.toStdString() << "\n" << text.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("<p>The caster's shield covers \u00BD of the body")));
    EXPECT_TRUE(html.contains("<p>1. It lasts"));
    for (const char *markup : {"<em>", "<strong>Shield", "<ol>", "<code>", "<a ", "<b>", "<h1>7"})
        EXPECT_FALSE(html.contains(QLatin1String(markup))) << markup;
    for (const char *field :
         {"Schools: Abjuration, Alteration", "Range: 10' || 20'", "Casting Time: 2 Round(s)",
          "Source: Tome of \"Wards\", page 12", "Frequency: Very Rare"})
        EXPECT_TRUE(text.contains(QLatin1String(field))) << field;

    // A file name without .md or .json still gets the exchange file.
    EXPECT_EQ(ReadableExport::formatOf("a.MD"), ReadableExport::Format::Markdown);
    EXPECT_EQ(ReadableExport::formatOf("a.json"), ReadableExport::Format::Json);
    EXPECT_EQ(ReadableExport::formatOf("a.sbok"), std::nullopt);
    EXPECT_EQ(ReadableExport::formatOf("md"), std::nullopt);
}

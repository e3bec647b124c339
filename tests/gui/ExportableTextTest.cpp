#include "WindowTest.h"

#include "exchange/VM_SpellSaver.h"
#include "maintain/Frm_ManageSchools.h"
#include "maintain/Frm_ManageSpellbooks.h"
#include "maintain/Frm_ManageSpells.h"

// Text a Vellumar file could never carry is refused where it is typed, so that no export
// fails on it later; what the user typed stays in its box.

namespace {

const QString kSeparator = "holds \"||\", which separates the fields of a Vellumar file.";
const QString kHalfSeparator = "ends with \"|\", which would merge with the \"||\" after it.";

QString refusal(const QString &field, const QString &problem, const QString &record)
{
    return "The " + field + " " + problem + "\nChange the " + field + " so that the " + record +
           " can be exported.";
}

class ExportableText : public WindowTest
{
protected:
    ExportableText()
    {
        library.addSchool("Sun");
        library.addSpell("Ember Call", "1", {"Sun"});
        library.addCaster("Corwin");
    }
};

} // namespace

TEST_F(ExportableText, ManageSpellsRefusesWhatNoExportCouldWriteAndSavesTheRest)
{
    auto *window = openFromMenu<Frm_ManageSpells>("Main_Tools_Spells");
    ASSERT_TRUE(window);
    const struct
    {
        const char *box;
        int tab;
        QString typed;
        QString message;
    } cases[] = {
        {"Txt_New", -1, "Frost||Lance", refusal("name", kSeparator, "spell")},
        {"txt_Range", 0, "10 yards|", refusal("range", kHalfSeparator, "spell")},
        {"Txt_Author", 0, "Ann || Bo", refusal("author", kSeparator, "spell")},
        {"RTB_Desc", 1, "Sparks ^^ fly.",
         refusal("description", "holds \"^^\", which marks a line break in a Vellumar file.", "spell")},
        {"RTB_Desc", 1, "Line one^\nLine two",
         refusal("description",
                 "has \"^\" just before a line break, which would merge with the \"^^\" that marks it.",
                 "spell")},
        {"RTB_Desc", 1, "Ends in a pipe|\n", refusal("description", kHalfSeparator, "spell")},
        // Past the lengths a file is read with, or holding a control character.
        {"Txt_New", -1, QString(201, u'n'),
         refusal("name", "is 201 characters long; it may have at most 200.", "spell")},
        {"txt_Duration", 0, QString(256, u'd'),
         refusal("duration", "is 256 characters long; it may have at most 255.", "spell")},
        {"txt_ST", 0, QStringLiteral("Ne\x07g."),
         refusal("saving throw", "holds the control character U+0007, which is no part of a text.", "spell")},
        {"RTB_Desc", 1, QString(20'001, u'd'),
         refusal("description", "is 20001 characters long; it may have at most 20000.", "spell")},
    };
    // A new spell with one field typed; the rest is what any spell needs.
    QString spellName = "Frost Lance";
    const auto typeNewSpell = [&](const char *box, int tab, const QString &typed) {
        if (window->hasUnsavedChanges())
            prompt.answerSave(Prompt::Choice::Discard);
        pressButton(window, "Add");
        typeText(window, "Txt_New", spellName);
        control<QComboBox>(window, "Cmbo_Levels")->setCurrentIndex(1);
        control<QListWidget>(window, "Lst_Schools")->item(0)->setSelected(true);
        showTab(window, tab < 0 ? 0 : tab);
        typeText(window, box, typed);
        prompt.clear();
        pressButton(window, "Save");
    };
    const QStringList before = library.dump();
    for (const auto &refused : cases) {
        typeNewSpell(refused.box, refused.tab, refused.typed);
        EXPECT_EQ(prompt.messages(), QStringList{refused.message}) << refused.box;
        EXPECT_EQ(boxText(window, refused.box), refused.typed) << refused.box;
        EXPECT_EQ(library.dump(), before) << refused.box;
    }

    // A changed spell is held to the same rules.
    prompt.answerSave(Prompt::Choice::Discard);
    chooseItem(window, "cmbo_Spells", "Ember Call");
    showTab(window, 0);
    typeText(window, "txt_Page", "12|");
    prompt.clear();
    pressButton(window, "Save");
    EXPECT_EQ(prompt.messages(), QStringList{refusal("page", kHalfSeparator, "spell")});
    EXPECT_EQ(library.dump(), before);

    // Quotes, a single "|" or "^" and paragraphs are what a file carries: saved and exported.
    const QString name = "O'Brien's \"Fire\"";
    const QString description = "Flames | sparks ^ ash.\nA second paragraph.";
    spellName = name;
    typeNewSpell("RTB_Desc", 1, description);
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.lastMessage().startsWith("Spell added successfully"));
    const QString path = library.folder() + "/fire.spel";
    VM_SpellSaver().Save2("fire.spel", path, {ListRow{name, {}, true, false}});
    VM_SpellSaver reader;
    ListRows read;
    reader.OpenSpellFile2(read, path);
    ASSERT_EQ(reader.Import_List().size(), 1u);
    EXPECT_EQ(reader.Import_List()[0].Fetch_Spell_Name(), name);
    EXPECT_EQ(reader.Import_List()[0].Fetch_Spell_Description().remove('\r'), description);
}

TEST_F(ExportableText, ManageSchoolsAddsOnlyNamesASpellsLineCanHold)
{
    auto *window = openFromMenu<Frm_ManageSchools>("Main_Tools_Schools");
    ASSERT_TRUE(window);
    showTab(window, 1);
    const QString record = "spells of the school";
    const struct
    {
        QString typed;
        QString message;
    } cases[] = {
        {"Fire~~Ice",
         refusal("school name", "holds \"~~\", which separates the schools of a spell.", record)},
        {"Frost~ ",
         refusal("school name", "ends with \"~\", which would merge with the \"~~\" after it.", record)},
        {"Sea||Sky", refusal("school name", kSeparator, record)},
        {"Storm|", refusal("school name", kHalfSeparator, record)},
    };
    const QStringList before = library.dump();
    for (const auto &refused : cases) {
        typeText(window, "Txt_New", refused.typed);
        prompt.clear();
        clickButton(window, "Cmd_Add");
        EXPECT_EQ(prompt.messages(), QStringList{refused.message}) << refused.typed.toStdString();
        EXPECT_EQ(boxText(window, "Txt_New"), refused.typed);
    }
    EXPECT_EQ(library.dump(), before);

    typeText(window, "Txt_New", "Wind~Rain | Hail");
    prompt.clear();
    clickButton(window, "Cmd_Add");
    EXPECT_EQ(prompt.messages(), QStringList{"Update successful"});
    EXPECT_EQ(library.rows("SELECT COUNT(*) FROM [Sphere Names] WHERE Sphere_Name = ?", {"Wind~Rain | Hail"}),
              QStringList{"1"});
}

TEST_F(ExportableText, ManageSpellbooksRefusesCasterDetailsNoSpellbookFileCouldHold)
{
    auto *window = openFromMenu<Frm_ManageSpellbooks>("Main_Tools_Spellbooks");
    ASSERT_TRUE(window);
    const QStringList before = library.dump();
    const struct
    {
        const char *caster;
        const char *box;
        QString typed;
        QString message;
    } cases[] = {
        {"<new>", "Txt_Name", "Mira||Ann", refusal("caster name", kSeparator, "spellbook")},
        {"<new>", "Txt_Class", "Mage|", refusal("class", kHalfSeparator, "spellbook")},
        {"Corwin", "Txt_Race", "Elf || Orc", refusal("race", kSeparator, "spellbook")},
        // A figure is refused as no number before any file could refuse it.
        {"Corwin", "Txt_Levels_2", "2|",
         "The figure for third-level spells is a whole number from 0 to 99, or empty."},
    };
    for (const auto &refused : cases) {
        chooseItem(window, "Cmbo_Names", refused.caster);
        if (QString(refused.caster) == "<new>")
            typeText(window, "Txt_Name", "Mira");
        typeText(window, refused.box, refused.typed);
        prompt.clear();
        clickButton(window, "CmdApply");
        EXPECT_EQ(prompt.messages(), QStringList{refused.message}) << refused.box;
        EXPECT_EQ(boxText(window, refused.box), refused.typed) << refused.box;
        EXPECT_EQ(library.dump(), before) << refused.box;
        typeText(window, refused.box, QString());
    }
}

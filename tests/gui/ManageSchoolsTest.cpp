#include "WindowTest.h"

#include "maintain/Frm_ManageSchools.h"

namespace {

const QString kShadows = QStringLiteral("Mistress' Shadows");

class ManageSchools : public WindowTest
{
protected:
    ManageSchools()
    {
        // Built-in schools are numbered below 50; the user's own follow from 50.
        library.db().exec("INSERT INTO [Sphere Names] (Auto, Sphere_Name, Description) "
                          "VALUES (1, 'Alteration', 'Changes things'), (2, 'Sun', NULL)");
        library.addSchool(kShadows, "Dark");
        library.addSpell("Ember Call", "1", {"Sun", kShadows});
        library.addSpell("Dusk Ward", "1", {kShadows});
        library.addCaster("Corwin");
    }

    Frm_ManageSchools *open()
    {
        pressButton(&frame(), "Manage Schools");
        return OpenWindows::named<Frm_ManageSchools>(frame().area(), "Frm_ManageSchools");
    }

    static QStringList allItems(const Frm_Browser *browser)
    {
        QStringList items;
        const auto *list = browser->findChild<QListWidget *>("Lst_Schools");
        for (int row = 0; row < list->count(); ++row)
            items.append(list->item(row)->text());
        return items;
    }
};

} // namespace

TEST_F(ManageSchools, DescribesAnySchoolButOffersOnlyTheUsersOwnForDeletion)
{
    chooseMenuEntry(&frame(), "Main_Tools_Schools");
    Frm_ManageSchools *window = open(); // the same window, brought forward
    ASSERT_TRUE(window);
    EXPECT_EQ(OpenWindows::all<Frm_ManageSchools>(frame().area()).size(), 1);
    EXPECT_EQ(window->windowTitle(), "Manage Schools");
    EXPECT_EQ(comboItems(window, "Cmbo_Names"), (QStringList{"Alteration", kShadows, "Sun"}));
    EXPECT_EQ(comboItems(window, "Cmbo_Delete"), QStringList{kShadows});

    // Nothing chosen: nothing to apply, nothing to edit.
    auto *description = window->findChild<QTextEdit *>("RTB_Desc");
    EXPECT_FALSE(canClick(window, "Cmd_Apply"));
    EXPECT_TRUE(description->isReadOnly());

    chooseItem(window, "Cmbo_Names", "Sun");
    EXPECT_EQ(boxText(window, "RTB_Desc"), "");
    chooseItem(window, "Cmbo_Names", "Alteration");
    EXPECT_EQ(boxText(window, "RTB_Desc"), "Changes things");
    typeText(window, "RTB_Desc", "  It's \"changed\" || again \n");
    clickButton(window, "Cmd_Apply");
    EXPECT_EQ(prompt.messages(), QStringList{"Update Successful"});
    EXPECT_EQ(library.rows("SELECT Description FROM [Sphere Names] WHERE Sphere_Name = 'Alteration'"),
              QStringList{"It's \"changed\" || again \n"}); // blanks trimmed, not the line end

    // Apply follows the tab and the choice.
    showTab(window, 1);
    EXPECT_FALSE(canClick(window, "Cmd_Apply"));
    showTab(window, 0);
    EXPECT_TRUE(canClick(window, "Cmd_Apply"));
}

TEST_F(ManageSchools, AddsAndDeletesSchoolsAndSpellsKeepTheirOtherSchoolsAndFailuresLoseNothing)
{
    Frm_ManageSchools *window = open();
    ASSERT_TRUE(window);
    showTab(window, 1);
    // Database failures are shown and lose nothing.
    library.db().exec("CREATE TRIGGER Full BEFORE INSERT ON [Sphere Names] "
                      "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END");
    library.db().exec("CREATE TRIGGER Locked BEFORE DELETE ON SpellandSphere "
                      "BEGIN SELECT RAISE(ABORT, 'database is locked'); END");
    const QStringList unchanged = library.dump();
    typeText(window, "Txt_New", "Zephyr");
    clickButton(window, "Cmd_Add");
    chooseItem(window, "Cmbo_Delete", kShadows);
    prompt.answer(true);
    clickButton(window, "Cmd_Delete");
    ASSERT_EQ(prompt.messages().size(), 2);
    EXPECT_TRUE(prompt.messages().at(0).contains("database or disk is full"));
    // The school goes with its links to spells or not at all.
    EXPECT_TRUE(prompt.messages().at(1).contains("database is locked"));
    EXPECT_EQ(library.dump(), unchanged);
    EXPECT_EQ(comboItems(window, "Cmbo_Delete"), QStringList{kShadows});
    EXPECT_EQ(boxText(window, "Txt_New"), "Zephyr");

    // A description that cannot be read is said so and cannot be edited, so Apply cannot wipe it.
    showTab(window, 0);
    library.db().exec("ALTER TABLE [Sphere Names] RENAME TO Away");
    prompt.clear();
    chooseItem(window, "Cmbo_Names", kShadows);
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.lastMessage().contains("Sphere Names")) << prompt.lastMessage().toStdString();
    EXPECT_TRUE(window->findChild<QTextEdit *>("RTB_Desc")->isReadOnly());
    EXPECT_EQ(boxText(window, "RTB_Desc"), "");
    EXPECT_FALSE(canClick(window, "Cmd_Apply"));
    library.db().exec("ALTER TABLE Away RENAME TO [Sphere Names]");
    library.db().exec("DROP TRIGGER Full; DROP TRIGGER Locked;");
    showTab(window, 1);
    const QStringList before = library.dump();
    const struct
    {
        QString name;
        QString message;
    } refused[] = {
        {"", ""},
        {"   ", "School Name required"},
        {" Sun ", "School already exists"},
        {kShadows, "School already exists"},
    };
    for (const auto &[name, message] : refused) {
        prompt.clear();
        typeText(window, "Txt_New", name);
        clickButton(window, "Cmd_Add");
        EXPECT_EQ(prompt.messages(), message.isEmpty() ? QStringList() : QStringList{message})
            << name.toStdString();
    }
    EXPECT_EQ(library.dump(), before);

    const QString added = "Wyrm's \"Deep\" | Lore";
    prompt.clear();
    typeText(window, "Txt_New", " " + added + " ");
    clickButton(window, "Cmd_Add");
    EXPECT_EQ(prompt.messages(), QStringList{"Update successful"});
    EXPECT_EQ(boxText(window, "Txt_New"), " " + added + " ");
    EXPECT_EQ(comboItems(window, "Cmbo_Delete"), (QStringList{kShadows, added}));
    EXPECT_EQ(comboItems(window, "Cmbo_Names"), (QStringList{"Alteration", kShadows, "Sun", added}));
    EXPECT_EQ(library.count("SELECT COUNT(*) FROM [Sphere Names] WHERE Auto >= 50 AND Description IS NULL"),
              1);

    chooseItem(window, "Cmbo_Delete", kShadows);
    prompt.clear();
    prompt.answer(false);
    clickButton(window, "Cmd_Delete");
    EXPECT_EQ(comboItems(window, "Cmbo_Delete").size(), 2);
    chooseItem(window, "Cmbo_Delete", kShadows);
    prompt.answer(true);
    clickButton(window, "Cmd_Delete");
    EXPECT_EQ(prompt.questions(),
              QStringList(2, "Are you sure you want to delete Mistress' Shadows as a School?"));
    EXPECT_EQ(prompt.messages(), QStringList{"Delete successful"});
    EXPECT_EQ(comboItems(window, "Cmbo_Delete"), QStringList{added});
    EXPECT_EQ(library.rows("SELECT Name FROM Spells ORDER BY Name"),
              (QStringList{"Dusk Ward", "Ember Call"}));
    EXPECT_EQ(library.rows("SELECT Name || ':' || Sphere FROM SpellandSphere"),
              QStringList{"Ember Call:Sun"});

    // Enter in the name box adds the school.
    prompt.clear();
    typeText(window, "Txt_New", "Zephyr");
    QTest::keyClick(window->findChild<QLineEdit *>("Txt_New"), Qt::Key_Return);
    EXPECT_EQ(prompt.messages(), QStringList{"Update successful"});
    EXPECT_EQ(comboItems(window, "Cmbo_Delete"), (QStringList{added, "Zephyr"}));

    // Nothing chosen for deletion: Delete does nothing. Esc closes the window.
    prompt.clear();
    clickButton(window, "Cmd_Delete");
    EXPECT_TRUE(prompt.shown().isEmpty());

    // Enter on the school chosen for deletion means Delete, never Add.
    chooseItem(window, "Cmbo_Delete", "Zephyr");
    auto *toDelete = window->findChild<QComboBox *>("Cmbo_Delete");
    toDelete->setFocus();
    prompt.answer(false);
    QTest::keyClick(toDelete, Qt::Key_Return);
    EXPECT_EQ(prompt.questions(), QStringList{"Are you sure you want to delete Zephyr as a School?"});
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join("|").toStdString();
    QTest::keyClick(window->findChild<QLineEdit *>("Txt_New"), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(OpenWindows::all<Frm_ManageSchools>(frame().area()).isEmpty());

    // A window that cannot read the schools says why and does not open.
    library.db().exec("DROP TABLE [Sphere Names]");
    prompt.clear();
    chooseMenuEntry(&frame(), "Main_Tools_Schools");
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.lastMessage().contains("Sphere Names")) << prompt.lastMessage().toStdString();
    EXPECT_TRUE(OpenWindows::all<Frm_ManageSchools>(frame().area()).isEmpty());
}

TEST_F(ManageSchools, OpenBrowsersShowNewSchoolsSelectedAndKeepTheUsersDeselections)
{
    Frm_Browser *kxr = openBrowser("KXR");
    Frm_Browser *corwin = openBrowser("Corwin");
    auto *schools = kxr->findChild<QListWidget *>("Lst_Schools");
    schools->findItems("Alteration", Qt::MatchExactly).at(0)->setSelected(false);
    Frm_ManageSchools *window = open();
    ASSERT_TRUE(window);
    showTab(window, 1);

    typeText(window, "Txt_New", "Zephyr");
    clickButton(window, "Cmd_Add");
    EXPECT_EQ(allItems(kxr), (QStringList{"Alteration", kShadows, "Sun", "Zephyr"}));
    EXPECT_EQ(selectedItems(kxr, "Lst_Schools"), (QStringList{kShadows, "Sun", "Zephyr"}));
    EXPECT_EQ(selectedItems(corwin, "Lst_Schools"), (QStringList{"Alteration", kShadows, "Sun", "Zephyr"}));

    chooseItem(window, "Cmbo_Delete", kShadows);
    prompt.answer(true);
    clickButton(window, "Cmd_Delete");
    EXPECT_EQ(allItems(kxr), (QStringList{"Alteration", "Sun", "Zephyr"}));
    EXPECT_EQ(selectedItems(kxr, "Lst_Schools"), (QStringList{"Sun", "Zephyr"}));
    // The deleted school went from the spells, and from the rows the browsers show.
    const auto *rows = kxr->findChild<ListView *>("LV_Spells");
    ASSERT_GT(rows->rowCount(), 0);
    for (int row = 0; row < rows->rowCount(); ++row) {
        for (int column = 0; column < 6; ++column)
            EXPECT_FALSE(rows->text(row, column).contains(kShadows)) << row << " " << column;
    }
}

#pragma once

#include "browse/ReportEngine.h"
#include "store/CasterCapacity.h"
#include "store/Table.h"
#include "widgets/PrintableWindow.h"

#include "widgets/LibraryEvents.h"

#include <QWidget>

#include <memory>

class ButtonToolBar;
class CSplitter;
class ColumnSortToggle;
class FormScrollArea;
class ListStatusPanels;
class ListView;
class QListWidget;
class QPushButton;
class QStatusBar;
class VM_DragDropAssistant;
class VM_Library;
class LibraryEvents;
class Workspace;

// The browser of one spellbook: its spells with their schools, level, frequency, book and page,
// filtered by levels and schools. Spells are added by dragging them in from another browser or
// the search window, and removed here; a double click opens a spell card.
class Frm_Browser : public QWidget, public PrintableWindow
{
    Q_OBJECT

public:
    // Every browser's caption is this followed by its spellbook's name.
    static inline const QString kCaptionPrefix = QStringLiteral("Browsing Spellbook ");

    explicit Frm_Browser(QWidget *parent = nullptr);
    ~Frm_Browser() override;

    // Must run before the window is shown: loads the spellbook's spells and selects every
    // level and school.
    // False when the spellbook could not be read; the user has been told why, and the window
    // is of no use.
    bool Initialize(Workspace &workspace, const QString &spellbook);

    // The spellbook's name; windows find a browser by it.
    QString tag() const { return m_name; }
    QSize sizeHint() const override;

    void Load_Spell_List();
    void Load_Schools_List();
    void Schools_List_Select_All();
    void Schools_List_DeSelect_All();
    void Levels_List_Select_All();
    void Levels_List_DeSelect_All();
    void Requery();
    // The "Levels" filter shows each level's spells in the book against the caster's capacity.
    void showLevelCounts();
    // Ctrl+P: the whole spellbook to the printer.
    void printMain() override;

public slots:
    void B_Menu_View_Click();
    void B_Menu_Manage_Click();
    void B_Menu_Export_Click();
    void B_Menu_Deck_Click();
    void B_Menu_Remove_Click();
    void B_Menu_Tooltip_Click();

    void Toolbar1_ButtonClick(const QString &key);
    void Toolbar1_ButtonMenuClick(const QString &key);
    void Opt_Levels_All_Click();
    void Opt_Levels_None_Click();
    void Opt_Schools_All_Click();
    void Opt_Schools_None_Click();
    void LV_Spells_Click();
    void LV_Spells_DblClick();
    void LV_Spells_ColumnClick(int column);
    void LV_Spells_GotFocus();
    void LV_Spells_MouseDown(const QPoint &position);
    // A drag from this list: packing at the start (false: no drag), the assistant reset at the end.
    bool LV_Spells_OLEStartDrag();
    void LV_Spells_OLECompleteDrag();
    // Spells dragged here from another list.
    void LV_Spells_OLEDragDrop();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    // Tells the other windows of this caster that the book changed; this one already shows it.
    void announceOwnBook();
    void followLibrary(LibraryEvents &events);
    void dropSpell(const QString &spell);
    void followSchools();
    void fitColumns();
    // Moves the splitter so the filters are at least this wide, as far as the list can spare.
    void widenFilters(int wanted);
    // After the window is resized: the list never ends narrower than the filters, and the
    // filters win back the width they want when there is room again.
    void shareWidth();
    // Before the window narrows to this width: the list keeps some width however small it gets.
    void keepListInWidth(int width);
    // The levels list is as tall as its wrapped rows, so no level hides below its edge.
    void fitLevelsHeight();
    void placeControls();
    QWidget *createFilters();
    QPushButton *addFilterButton(const QString &name, const QString &caption, void (Frm_Browser::*handler)());
    bool isLibrary() const;
    QString listTooltip() const;
    void exportSpellbook(const QString &mode);
    void printSpellbook(bool preview);
    void printFiltered(ReportEngine::Destination destination);
    void printSelectedSpells();
    // False when the user declines spells that take levels past the caster's capacity.
    bool acceptOverCapacity(const QStringList &spells);
    void fillSpellbook();

    Workspace *m_workspace = nullptr;
    VM_Library *m_library = nullptr;
    VM_DragDropAssistant *m_assistant = nullptr;
    QString m_name;
    OwnAnnouncements m_own; // keeps the window from following its own announcements

    ButtonToolBar *m_toolbar = nullptr;
    ListView *m_list = nullptr;
    QWidget *m_filters = nullptr;
    FormScrollArea *m_filterPane = nullptr; // the filters, scrolled when the window is tiled small
    QListWidget *m_levels = nullptr;
    QListWidget *m_schoolsList = nullptr;
    QStatusBar *m_statusBar = nullptr;
    ListStatusPanels *m_panels = nullptr;
    QWidget *m_bar = nullptr;
    QWidget *m_ghost = nullptr;
    CSplitter *m_splitter = nullptr;
    ColumnSortToggle *m_sort = nullptr;
    ReportEngine *m_crystal = nullptr;
    bool m_columnsFitted = false;
    int m_filtersWanted = 0;
    std::unique_ptr<CasterCapacity> m_capacity;
};

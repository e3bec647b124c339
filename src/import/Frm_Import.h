#pragma once

#include "exchange/ImportReview.h"
#include "store/Database.h"
#include "store/ListRows.h"
#include "widgets/UnsavedWork.h"

#include "widgets/LibraryEvents.h"

#include <QSet>
#include <QWidget>

#include <functional>

#include <memory>

class ButtonToolBar;
class ColumnSortToggle;
class ListView;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QStatusBar;
class SpellForm;
class VM_SpellSaver;
class Workspace;

// The import window: opens a spells file or a spellbook file, shows what importing each spell
// would do to the library (new, the same, or changed, and what changed), lets the user correct
// a spell, its check box and the caster, and imports the checked spells. One exists at a time.
class Frm_Import : public QWidget, public UnsavedWork
{
    Q_OBJECT

public:
    enum FileType { SpellsFile = 1, SpellbookFile = 2, OtherFile = 3 };

    explicit Frm_Import(QWidget *parent = nullptr);
    ~Frm_Import() override;

    // Must run before the window is shown. False when the window could not read what it shows (the user has
    // been told): it is then not opened.
    bool Initialize(Workspace &workspace);

    // Opens a file as the File menu's Open does after its dialog.
    void openFile(const QString &path);

    // The type of a file by its title: only the text after the first dot counts, exactly.
    static FileType Get_File_Type(const QString &fileTitle);

    FileType fileType() const { return m_fileType; }
    const VM_SpellSaver &saver() const { return *m_saver; }

    bool hasUnsavedWork() const override { return !m_unimported.isEmpty(); }
    bool mayClose() override;

public slots:
    void Menu_File_Open_Click();
    void Menu_File_Exit_Click();
    void Toolbar1_ButtonClick(const QString &key);
    void PopUp_Check_Click();
    void PopUp_UnCheck_Click();
    void PopUp_CheckNew_Click();
    void PopUp_CheckNewChanged_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    static QString caption() { return QStringLiteral("Vellumar Import"); }
    // The caption of a caster field ("Spellbook:", "Race:", "1st:" ...), by its place in the panel.
    static QString casterCaption(qsizetype field);
    // The list's columns; the last, hidden, holds each row's position in the import list, so a row
    // finds its own record however the list is sorted and whatever names repeat.
    enum Column { NameColumn, LevelColumn, AuthorColumn, ReviewColumn, RecordColumn };

    void createControls();
    QWidget *createDetails();
    QGroupBox *createCasterPanel();

    bool Refresh_Lst_Schools();
    // The library's schools, a record's own first (so that they show without scrolling), and the
    // schools the library lacks marked as new; selected are those chosen.
    void fillSchools(const QStringList &chosen);
    QStringList chosenSchools() const;
    void Show_Spells_Layout();
    void Show_Spellbook_Layout();
    void Clear_Spell_Details();
    void Show_Spell_Details();
    void Store_Caster_Details();
    bool casterExportable();
    void cbo_CT_Click();
    void LV_Spells_MouseUp(const QPoint &position);

    void saveItem();
    void importChecked();
    // The review column and summary, read again from the library after it changed.
    void readReview();
    // sameRecords flags, by record, those just imported: they stand as the library holds them.
    void showReviewColumn(const std::vector<char> &sameRecords = {});
    void showMarks(qsizetype record);
    // The review column's text for a record: New, Changed, Same, or that it must be corrected.
    QString reviewText(const VM_Spell &record) const;
    void showPosition();
    void checkWhere(const std::function<bool(ImportReview::Status)> &wanted);

    int selectedRow() const;
    qsizetype recordOfRow(int row) const;
    // The list's rows in the order of the import list, as the import matches them.
    ListRows rowsInRecordOrder() const;

    Workspace *m_workspace = nullptr;
    std::unique_ptr<VM_SpellSaver> m_saver;
    LazyConnection m_library; // the review's reading of the library
    ImportReview m_review;
    QString m_reviewSummary; // "N spells: X new, Y changed, Z same"
    FileType m_fileType = OtherFile;
    QSet<qsizetype> m_unimported; // records corrected with Save since they were last imported
    QStringList m_librarySchools;
    QSize m_spellsLayoutSize; // the window's size before a spellbook file grew it
    OwnAnnouncements m_own;   // keeps the window from following its own announcements

    QMenuBar *m_menuBar = nullptr;
    QMenu *m_spellbookMenu = nullptr;
    QAction *m_replaceList = nullptr;
    QAction *m_replaceDetails = nullptr;
    QAction *m_overwrite = nullptr;
    QMenu *m_popup = nullptr;
    ButtonToolBar *m_toolbar = nullptr;
    ListView *m_list = nullptr;
    ColumnSortToggle *m_sort = nullptr;
    QListWidget *m_schools = nullptr;
    QLabel *m_schoolsLabel = nullptr;
    std::unique_ptr<SpellForm> m_form; // the shown record's details
    QLabel *m_changes = nullptr;
    QGroupBox *m_casterPanel = nullptr;
    QList<QLineEdit *> m_casterFields; // the 13 caster details in file order
    QStatusBar *m_statusBar = nullptr;
    QLabel *m_panel1 = nullptr;
    QLabel *m_panel2 = nullptr;
};

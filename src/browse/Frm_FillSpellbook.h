#pragma once

#include "store/ListRows.h"

#include <QDialog>

class ListView;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class VM_Library;
class Workspace;

// A random spellbook for a caster: the user chooses schools, the rarest frequency and a seed,
// "Fill at random" draws spells up to the caster's capacity per level and lists them, and only
// "Add to Spellbook" writes the ticked ones, in one transaction.
class Frm_FillSpellbook : public QDialog
{
    Q_OBJECT

public:
    explicit Frm_FillSpellbook(QWidget *parent = nullptr);
    ~Frm_FillSpellbook() override;

    // Loads the schools and frequencies; false (the user told why) when the library cannot be read.
    bool Initialize(Workspace &workspace, const QString &caster);

public slots:
    void Cmd_Draw_Click();
    void Cmd_Add_Click();
    void Opt_Schools_All_Click();
    void Opt_Schools_None_Click();

private:
    void createControls();
    void showDrawn(const ListRows &drawn);

    Workspace *m_workspace = nullptr;
    VM_Library *m_library = nullptr;
    QString m_caster;
    QListWidget *m_schools = nullptr;
    QComboBox *m_frequency = nullptr;
    QLineEdit *m_seed = nullptr;
    // The seed shown has drawn already: the next press draws with a fresh one, unless the user
    // types a seed to repeat a draw.
    bool m_seedUsed = false;
    QPushButton *m_draw = nullptr;
    QPushButton *m_add = nullptr;
    ListView *m_drawn = nullptr;
    QLabel *m_summary = nullptr;
};

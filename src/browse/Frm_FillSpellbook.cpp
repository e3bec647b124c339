#include "browse/Frm_FillSpellbook.h"

#include "store/Blanks.h"
#include "store/SpellbookFill.h"
#include "store/Undo.h"
#include "store/VM_Library.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
#include "widgets/FormControls.h"
#include "widgets/LibraryEvents.h"
#include "widgets/ListView.h"
#include "widgets/ListViewModel.h"
#include "widgets/ListViewRows.h"
#include "widgets/Prompt.h"
#include "widgets/Workspace.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

Frm_FillSpellbook::Frm_FillSpellbook(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Frm_FillSpellbook"));
    createControls();
}

Frm_FillSpellbook::~Frm_FillSpellbook() = default;

void Frm_FillSpellbook::createControls()
{
    m_schools = new QListWidget(this);
    m_schools->setObjectName(QStringLiteral("Lst_Schools"));
    m_schools->setSelectionMode(QAbstractItemView::MultiSelection);
    auto *all = new QPushButton(QStringLiteral("All"), this);
    all->setObjectName(QStringLiteral("Opt_Schools_All"));
    auto *none = new QPushButton(QStringLiteral("None"), this);
    none->setObjectName(QStringLiteral("Opt_Schools_None"));
    for (QPushButton *button : {all, none})
        button->setAutoDefault(false);
    connect(all, &QPushButton::clicked, this, &Frm_FillSpellbook::Opt_Schools_All_Click);
    connect(none, &QPushButton::clicked, this, &Frm_FillSpellbook::Opt_Schools_None_Click);

    m_frequency = new QComboBox(this);
    m_frequency->setObjectName(QStringLiteral("Cbo_Frequency"));
    m_seed = new QLineEdit(this);
    m_seed->setObjectName(QStringLiteral("Txt_Seed"));
    m_seed->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{1,9}")), m_seed));
    m_seed->setToolTip(QStringLiteral("The same seed draws the same spells again"));
    m_seed->setText(QString::number(QRandomGenerator::global()->bounded(1, 1000000000)));
    connect(m_seed, &QLineEdit::textEdited, this, [this] { m_seedUsed = false; });

    m_draw = new QPushButton(QStringLiteral("Fill at random"), this);
    m_draw->setObjectName(QStringLiteral("Cmd_Draw"));
    m_draw->setDefault(true);
    connect(m_draw, &QPushButton::clicked, this, &Frm_FillSpellbook::Cmd_Draw_Click);

    m_drawn = new ListView(QStringLiteral("LV_Drawn"),
                           {QStringLiteral("Spell Name"), QStringLiteral("Level"),
                            QStringLiteral("Frequency"), QStringLiteral("Book"), QStringLiteral("Page")},
                           this);
    // Every column shows without scrolling at the dialog's first size.
    for (const auto &[column, width] : {std::pair{0, 170}, {1, 45}, {2, 85}, {3, 70}, {4, 40}})
        m_drawn->setColumnWidth(column, width);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("Lbl_Summary"));

    auto *buttons = new QDialogButtonBox(this);
    m_add = buttons->addButton(QStringLiteral("Add to Spellbook"), QDialogButtonBox::AcceptRole);
    m_add->setObjectName(QStringLiteral("Cmd_Add"));
    m_add->setEnabled(false);
    m_add->setAutoDefault(false);
    QPushButton *cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Cmd_Cancel"));
    cancel->setAutoDefault(false);
    connect(m_add, &QPushButton::clicked, this, &Frm_FillSpellbook::Cmd_Add_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *schoolButtons = new QHBoxLayout;
    schoolButtons->addWidget(all);
    schoolButtons->addWidget(none);
    schoolButtons->addStretch();
    auto *choices = new QFormLayout;
    choices->addRow(QStringLiteral("Rarest &frequency:"), m_frequency);
    choices->addRow(QStringLiteral("&Seed:"), m_seed);

    auto *left = new QVBoxLayout;
    auto *schoolsLabel = new QLabel(QStringLiteral("S&chools"), this);
    schoolsLabel->setBuddy(m_schools);
    left->addWidget(schoolsLabel);
    left->addWidget(m_schools, 1);
    left->addLayout(schoolButtons);
    left->addLayout(choices);
    left->addWidget(m_draw);

    auto *right = new QVBoxLayout;
    auto *drawnLabel = new QLabel(QStringLiteral("&Drawn spells (untick any to leave out)"), this);
    drawnLabel->setBuddy(m_drawn);
    right->addWidget(drawnLabel);
    right->addWidget(m_drawn, 1);
    right->addWidget(m_summary);

    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 2);
    columns->addLayout(right, 3);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(buttons);
    resize(760, 440);

    setTabOrder(m_schools, all);
    setTabOrder(all, none);
    setTabOrder(none, m_frequency);
    setTabOrder(m_frequency, m_seed);
    setTabOrder(m_seed, m_draw);
    setTabOrder(m_draw, m_drawn);
    setTabOrder(m_drawn, m_add);
    setTabOrder(m_add, cancel);
}

bool Frm_FillSpellbook::Initialize(Workspace &workspace, const QString &caster)
{
    m_workspace = &workspace;
    m_library = &workspace.library();
    m_caster = trimBlanks(caster);
    setWindowTitle(QStringLiteral("Fill Spellbook ") + m_caster);
    try {
        for (const QString &school : m_library->Fetch_Schools_List())
            FormControls::addEntry(m_schools, school);
        if (Prompt::failed(parentWidget(), FormControls::fillFrequencies(m_frequency, *m_library)))
            return false;
    } catch (const VmError &error) {
        Prompt::report(parentWidget(), error);
        return false;
    }
    m_schools->selectAll();
    // Every frequency but the last (the rarest) is allowed at first.
    m_frequency->setCurrentIndex(std::max(0, m_frequency->count() - 2));
    return true;
}

void Frm_FillSpellbook::Opt_Schools_All_Click()
{
    m_schools->selectAll();
}

void Frm_FillSpellbook::Opt_Schools_None_Click()
{
    m_schools->clearSelection();
}

void Frm_FillSpellbook::Cmd_Draw_Click()
{
    QStringList schools;
    for (const QListWidgetItem *item : m_schools->selectedItems())
        schools.append(item->text());
    if (schools.isEmpty()) {
        Prompt::message(this, QStringLiteral("You must select at least 1 School"));
        return;
    }
    if (m_seedUsed)
        m_seed->setText(QString::number(QRandomGenerator::global()->bounded(1, 1000000000)));
    bool seedOk = false;
    const quint32 seed = m_seed->text().toUInt(&seedOk);
    if (!seedOk) {
        Prompt::message(this, QStringLiteral("The seed is a whole number, such as 1234"));
        return;
    }
    ListRows drawn;
    try {
        BusyCursor busy(m_workspace->progressPanel(),
                        QStringLiteral("Drawing spells for ") + m_caster + QStringLiteral("..."));
        drawn = SpellbookFill().draw(m_caster, schools, m_frequency->currentData().toInt(), seed);
    } catch (const VmError &error) {
        Prompt::report(this, error);
        return;
    }
    m_seedUsed = true;
    showDrawn(drawn);
}

void Frm_FillSpellbook::showDrawn(const ListRows &drawn)
{
    m_drawn->rows()->clear();
    ListRows rows = drawn;
    for (ListRow &row : rows) {
        row.checked = true;
        row.selected = false;
    }
    appendRows(m_drawn, rows, CheckBoxes::Yes);
    m_add->setEnabled(!rows.isEmpty());
    m_summary->setText(
        rows.isEmpty()
            ? QStringLiteral("Nothing to draw: every level with a capacity is full, or no spell fits.")
            : QString::number(rows.size()) + QStringLiteral(" spells drawn"));
}

void Frm_FillSpellbook::Cmd_Add_Click()
{
    ListRows rows = rowsOf(m_drawn);
    qsizetype ticked = 0;
    for (ListRow &row : rows) {
        row.selected = row.checked;
        ticked += row.checked ? 1 : 0;
    }
    if (ticked == 0) {
        Prompt::message(this, QStringLiteral("There are no spells ticked to add"));
        return;
    }
    try {
        BusyCursor busy(m_workspace->progressPanel(),
                        QStringLiteral("Adding spells to ") + m_caster + QStringLiteral("..."));
        const UndoStep step(QStringLiteral("Random Fill of %1 for %2")
                                .arg(UndoStep::counted(ticked, QStringLiteral("Spell")), m_caster.trimmed()));
        m_library->Add_Spells_To_Spellbook(m_caster, rows);
    } catch (const VmError &error) {
        Prompt::report(this, error);
        return;
    }
    emit m_workspace->events().spellbookChanged(m_caster);
    accept();
}

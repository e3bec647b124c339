#include "maintain/Frm_ManageSpellbooks.h"

#include "exchange/ExchangeRules.h"
#include "store/SpellLevels.h"
#include "store/VM_Library.h"
#include "store/VM_Spellbook.h"
#include "store/VmError.h"
#include "widgets/ChildDialog.h"
#include "widgets/Keyboard.h"
#include "widgets/LibraryEvents.h"
#include "widgets/OpenWindows.h"
#include "widgets/Prompt.h"
#include "widgets/ToolIcons.h"
#include "widgets/Workspace.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString kNew = QStringLiteral("<new>");

QLineEdit *addLineEdit(QWidget *parent, const QString &name, const QString &caption)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setAccessibleName(caption);
    return edit;
}

// A caster's level and figures are whole numbers from 0 to 99, or left empty; anything else is
// refused as it is typed (or pasted).
const QRegularExpression kWholeNumber(QRegularExpression::anchoredPattern(QStringLiteral("[0-9]{0,2}")));

QLineEdit *addNumberEdit(QWidget *parent, const QString &name, const QString &caption)
{
    QLineEdit *edit = addLineEdit(parent, name, caption);
    edit->setValidator(new QRegularExpressionValidator(kWholeNumber, edit));
    edit->setToolTip(QStringLiteral("A whole number from 0 to 99, or empty"));
    return edit;
}

} // namespace

Frm_ManageSpellbooks::Frm_ManageSpellbooks(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Frm_ManageSpellbooks"));
    setWindowTitle(QStringLiteral("Manage Spell Books"));
    setWindowIcon(ToolIcons::icon(ToolIcons::ManageSpellbooks));

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_tabs->addTab(createDetailsTab(), QStringLiteral("Caster Details"));
    m_tabs->addTab(createDeleteTab(), QStringLiteral("Delete Spell Book"));
    connect(m_tabs, &QTabWidget::currentChanged, this, &Frm_ManageSpellbooks::SSTab1_Click);

    m_apply = ChildDialog::button(this, QStringLiteral("&Apply"), QStringLiteral("CmdApply"));
    m_apply->setDefault(true);
    connect(m_apply, &QPushButton::clicked, this, &Frm_ManageSpellbooks::CmdApply_Click);
    m_cancel = ChildDialog::button(this, QStringLiteral("&Cancel"), QStringLiteral("CmdCancel"));
    connect(m_cancel, &QPushButton::clicked, this, &Frm_ManageSpellbooks::CmdCancel_Click);
    ChildDialog::layOutTabs(this, m_tabs, m_apply, m_cancel);

    setTabOrder(m_spellsPerLevel.back(), m_apply);
    setTabOrder(m_apply, m_cancel);
    Keyboard::addShortcut(m_apply, QKeySequence::Save);
    m_names->setFocus();
}

Frm_ManageSpellbooks::~Frm_ManageSpellbooks() = default;

QWidget *Frm_ManageSpellbooks::createDetailsTab()
{
    auto *tab = new QWidget(m_tabs);

    auto *details = new QGroupBox(QStringLiteral("Caster Details"), tab);
    details->setObjectName(QStringLiteral("Frame1"));
    m_names = ChildDialog::namesCombo(details, QStringLiteral("Cmbo_Names"), QStringLiteral("Caster Name"));
    connect(m_names, &QComboBox::currentIndexChanged, this, &Frm_ManageSpellbooks::Cmbo_Names_Click);
    m_name = addLineEdit(details, QStringLiteral("Txt_Name"), QStringLiteral("New Caster Name"));
    m_name->setPlaceholderText(QStringLiteral("Name of the new caster"));
    m_level = addNumberEdit(details, QStringLiteral("Txt_Level"), QStringLiteral("Level"));
    m_race = addLineEdit(details, QStringLiteral("Txt_Race"), QStringLiteral("Race"));
    m_class = addLineEdit(details, QStringLiteral("Txt_Class"), QStringLiteral("Class"));
    auto *form = new QFormLayout(details);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addRow(QStringLiteral("Caster Name"), m_names);
    form->addRow(QString(), m_name);
    form->addRow(QStringLiteral("Level"), m_level);
    form->addRow(QStringLiteral("Race"), m_race);
    form->addRow(QStringLiteral("Class"), m_class);

    auto *perLevel = new QGroupBox(QStringLiteral("Spells per Level"), tab);
    perLevel->setObjectName(QStringLiteral("Frame2"));
    auto *grid = new QGridLayout(perLevel);
    constexpr int kColumns = 3;
    for (int index = 0; index < SpellLevels::kCount; ++index) {
        QLineEdit *box = addNumberEdit(perLevel, QStringLiteral("Txt_Levels_%1").arg(index),
                                       SpellLevels::columnNames().at(index));
        box->setMaximumWidth(60);
        auto *label = new QLabel(SpellLevels::columnNames().at(index), perLevel);
        label->setBuddy(box);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        const int row = index / kColumns;
        const int column = (index % kColumns) * 2;
        grid->addWidget(label, row, column);
        grid->addWidget(box, row, column + 1);
        m_spellsPerLevel[index] = box;
    }
    grid->setColumnStretch(kColumns * 2, 1);

    // Spells per level read across, row by row.
    setTabOrder(m_names, m_name);
    setTabOrder(m_name, m_level);
    setTabOrder(m_level, m_race);
    setTabOrder(m_race, m_class);
    setTabOrder(m_class, m_spellsPerLevel.front());
    for (int index = 1; index < SpellLevels::kCount; ++index)
        setTabOrder(m_spellsPerLevel[index - 1], m_spellsPerLevel[index]);

    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(details);
    layout->addWidget(perLevel);
    layout->addStretch(1);
    return tab;
}

QWidget *Frm_ManageSpellbooks::createDeleteTab()
{
    auto *tab = new QWidget(m_tabs);
    auto *books = new QGroupBox(QStringLiteral("Spell Books"), tab);
    books->setObjectName(QStringLiteral("Frame3"));
    m_delete = ChildDialog::namesCombo(books, QStringLiteral("Cmbo_Delete"),
                                       QStringLiteral("Choose Spell Book for Deletion"));
    m_deleteButton = ChildDialog::button(books, QStringLiteral("&Delete"), QStringLiteral("CmdDelete"));
    connect(m_deleteButton, &QPushButton::clicked, this, &Frm_ManageSpellbooks::CmdDelete_Click);

    auto *label = new QLabel(QStringLiteral("Choose Spell Book for Deletion"), books);
    label->setBuddy(m_delete);
    auto *row = new QHBoxLayout;
    row->addWidget(m_delete, 1);
    row->addWidget(m_deleteButton);
    auto *inner = new QVBoxLayout(books);
    inner->addWidget(label);
    inner->addLayout(row);

    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(books);
    layout->addStretch(1);
    return tab;
}

bool Frm_ManageSpellbooks::Initialize(Workspace &workspace)
{
    m_workspace = &workspace;
    m_caster = std::make_unique<VM_Spellbook>();
    connect(&workspace.events(), &LibraryEvents::castersChanged, this, &Frm_ManageSpellbooks::followCasters);
    return Refresh_The_Combo_Boxes();
}

QLineEdit *Frm_ManageSpellbooks::spellsPerLevelBox(int level) const
{
    return level >= 1 && level <= SpellLevels::kCount ? m_spellsPerLevel[level - 1] : nullptr;
}

bool Frm_ManageSpellbooks::Refresh_The_Combo_Boxes()
{
    QStringList names;
    try {
        names = m_workspace->library().Get_Exisiting_Spellbook_Names();
    } catch (const VmError &error) {
        Prompt::report(this, error);
        return false;
    }
    {
        const QSignalBlocker blockNames(m_names);
        m_names->clear();
        m_delete->clear();
        m_names->addItem(kNew);
        // The reserved spellbook heads the list; it is the whole library and no caster, so it
        // can be neither edited nor deleted.
        for (qsizetype i = 1; i < names.size(); ++i) {
            m_names->addItem(names.at(i).trimmed());
            m_delete->addItem(names.at(i).trimmed());
        }
        m_names->setCurrentIndex(0);
        // No caster is put up for deletion until the user chooses one.
        m_delete->setCurrentIndex(-1);
    }
    Cmbo_Names_Click();
    return true;
}

void Frm_ManageSpellbooks::Empty_All_Text_Fields()
{
    for (QLineEdit *box : m_spellsPerLevel)
        box->clear();
    m_class->clear();
    m_race->clear();
    m_level->clear();
    m_name->clear();
}

bool Frm_ManageSpellbooks::isNewCaster() const
{
    // By place, not by text: an imported caster may well be called "<new>".
    return m_names->currentIndex() == 0;
}

void Frm_ManageSpellbooks::Cmbo_Names_Click()
{
    if (m_names->currentIndex() < 0)
        return;
    if (isNewCaster()) {
        m_name->setEnabled(true);
        Empty_All_Text_Fields();
        return;
    }
    // A name typed for a new caster does not stay behind, greyed out, while another is shown.
    m_name->clear();
    m_name->setEnabled(false);
    const QString status = m_caster->Set_Caster_Details(m_names->currentText());
    if (!status.isEmpty()) {
        // Back to a new caster: empty boxes left under the caster's name would overwrite its
        // details on Apply.
        {
            const QSignalBlocker blockNames(m_names);
            m_names->setCurrentIndex(0);
        }
        m_name->setEnabled(true);
        Empty_All_Text_Fields();
        Prompt::message(this, status.trimmed());
        return;
    }
    fillCaster();
}

void Frm_ManageSpellbooks::fillCaster()
{
    m_level->setText(m_caster->Fetch_Lvl());
    m_race->setText(m_caster->Fetch_Race());
    m_class->setText(m_caster->Fetch_Class());
    const QString perLevel[SpellLevels::kCount] = {
        m_caster->Fetch_First(),   m_caster->Fetch_Second(), m_caster->Fetch_Third(),
        m_caster->Fetch_Fourth(),  m_caster->Fetch_Fifth(),  m_caster->Fetch_Sixth(),
        m_caster->Fetch_Seventh(), m_caster->Fetch_Eighth(), m_caster->Fetch_Ninth()};
    for (int index = 0; index < SpellLevels::kCount; ++index)
        m_spellsPerLevel[index]->setText(perLevel[index]);
}

void Frm_ManageSpellbooks::setCasterFields()
{
    m_caster->Fetch_Lvl(m_level->text().trimmed());
    m_caster->Fetch_Race(m_race->text().trimmed());
    m_caster->Fetch_Class(m_class->text().trimmed());
    const auto perLevel = [this](int index) { return m_spellsPerLevel[index]->text().trimmed(); };
    m_caster->Fetch_First(perLevel(0));
    m_caster->Fetch_Second(perLevel(1));
    m_caster->Fetch_Third(perLevel(2));
    m_caster->Fetch_Fourth(perLevel(3));
    m_caster->Fetch_Fifth(perLevel(4));
    m_caster->Fetch_Sixth(perLevel(5));
    m_caster->Fetch_Seventh(perLevel(6));
    m_caster->Fetch_Eighth(perLevel(7));
    m_caster->Fetch_Ninth(perLevel(8));
}

void Frm_ManageSpellbooks::SSTab1_Click()
{
    const bool details = m_tabs->currentIndex() == 0;
    m_apply->setEnabled(details);
    // The button Enter presses is the one drawn as the default.
    m_apply->setDefault(details);
    m_deleteButton->setDefault(!details);
}

void Frm_ManageSpellbooks::CmdApply_Click()
{
    if (m_tabs->currentIndex() != 0 || m_names->currentIndex() < 0)
        return;
    if (!isNewCaster()) {
        if (exportable())
            updateCaster();
        return;
    }
    const QString typed = m_name->text();
    if (typed.isEmpty())
        return;
    const QString name = typed.trimmed();
    if (name.isEmpty()) {
        Prompt::message(this, QStringLiteral("Caster Name required"));
        return;
    }
    // The casters are read afresh: one added by another program since the list was filled
    // would otherwise be added twice, and the two would share one spellbook. "<new>" is taken
    // too, and the reserved spellbook heads what the library returns.
    QStringList taken;
    try {
        taken = m_workspace->library().Get_Exisiting_Spellbook_Names();
    } catch (const VmError &error) {
        Prompt::report(this, error);
        return;
    }
    if (name == kNew || taken.contains(name)) {
        Prompt::message(this, QStringLiteral("Please select a different Caster Name"));
        return;
    }
    if (exportable())
        addCaster(name);
}

// Details the exchange format cannot carry would stop every export of the spellbook, so they
// are refused here, before anything is stored, with the box to change.
bool Frm_ManageSpellbooks::exportable()
{
    QList<std::pair<QString, QLineEdit *>> fields = {{QStringLiteral("level"), m_level},
                                                     {QStringLiteral("race"), m_race},
                                                     {QStringLiteral("class"), m_class}};
    if (isNewCaster())
        fields.prepend({QStringLiteral("caster name"), m_name});
    for (int index = 0; index < SpellLevels::kCount; ++index)
        fields.append(
            {QStringLiteral("figure for %1-level spells").arg(SpellLevels::columnNames().at(index).toLower()),
             m_spellsPerLevel[index]});
    for (const auto &[field, box] : std::as_const(fields)) {
        // A figure read from an older record is shown as it was; it is not saved as it was.
        if (box->validator() && !kWholeNumber.match(box->text().trimmed()).hasMatch()) {
            Prompt::message(this,
                            QStringLiteral("The %1 is a whole number from 0 to 99, or empty.").arg(field));
            box->setFocus();
            box->selectAll();
            return false;
        }
        const QString problem = ExchangeRules::fieldProblem(box->text().trimmed());
        if (!problem.isEmpty()) {
            Prompt::message(this, ExchangeRules::refusal(field, problem, QStringLiteral("spellbook")));
            box->setFocus();
            return false;
        }
    }
    return true;
}

void Frm_ManageSpellbooks::updateCaster()
{
    setCasterFields();
    const QString status = m_caster->Update_Existing_Caster(m_names->currentText().trimmed());
    if (status.isEmpty()) {
        // The browsers' capacities and the memorized spells follow the new spells per level.
        announceCasters();
    }
    Prompt::message(this, status.isEmpty() ? QStringLiteral("Update successful") : status.trimmed());
}

void Frm_ManageSpellbooks::addCaster(const QString &name)
{
    m_caster->Fetch_Name(name);
    setCasterFields();
    const QString status = m_caster->Add_New_Caster();
    if (Prompt::failed(this, status)) {
        return;
    }
    Refresh_The_Combo_Boxes();
    announceCasters();
    m_workspace->openSpellbook(name);
}

void Frm_ManageSpellbooks::CmdDelete_Click()
{
    const QString name = m_delete->currentText().trimmed();
    if (name.isEmpty())
        return;
    if (m_workspace->isSpellbookOpen(name)) {
        Prompt::message(this, name + QStringLiteral(" is currently open.  You must\n"
                                                    "close the spellbook before deleting"));
        return;
    }
    if (!Prompt::ask(this, QStringLiteral("Are you sure you want to delete ") + name +
                               QStringLiteral("\nas a Spellbook?")))
        return;
    const QString status = m_caster->Delete_Existing_Caster(name);
    if (Prompt::failed(this, status)) {
        return;
    }
    Refresh_The_Combo_Boxes();
    announceCasters();
    Prompt::message(this, QStringLiteral("Delete successful"));
}

void Frm_ManageSpellbooks::CmdCancel_Click()
{
    ChildDialog::closeWindow(this);
}

void Frm_ManageSpellbooks::announceCasters()
{
    m_own.announce(m_workspace->events(), [](LibraryEvents &events) { emit events.castersChanged(); });
}

void Frm_ManageSpellbooks::followCasters()
{
    if (m_own.ours())
        return;
    const QString shown = m_names->currentText();
    const QString toDelete = m_delete->currentText();
    // What the user typed (a new caster, or edits not yet applied) is not wiped by the reload.
    QList<QLineEdit *> boxes = {m_name, m_level, m_race, m_class};
    for (QLineEdit *box : m_spellsPerLevel)
        boxes.append(box);
    QStringList typed;
    for (const QLineEdit *box : std::as_const(boxes))
        typed.append(box->text());
    if (!Refresh_The_Combo_Boxes())
        return;
    m_delete->setCurrentIndex(m_delete->findText(toDelete, Qt::MatchExactly | Qt::MatchCaseSensitive));
    // A caster that was deleted elsewhere is not left on show.
    if (shown != kNew)
        m_names->setCurrentIndex(
            qMax(0, m_names->findText(shown, Qt::MatchExactly | Qt::MatchCaseSensitive)));
    if (m_names->currentText() != shown)
        return;
    for (qsizetype index = 0; index < boxes.size(); ++index)
        boxes.at(index)->setText(typed.at(index));
}

void Frm_ManageSpellbooks::keyPressEvent(QKeyEvent *event)
{
    QPushButton *defaultButton = m_tabs->currentIndex() == 0 ? m_apply : m_deleteButton;
    if (!ChildDialog::handleKey(this, event, defaultButton))
        QWidget::keyPressEvent(event);
}

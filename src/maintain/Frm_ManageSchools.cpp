#include "maintain/Frm_ManageSchools.h"

#include "exchange/ExchangeRules.h"
#include "store/VM_Library.h"
#include "store/VmError.h"
#include "widgets/ChildDialog.h"
#include "widgets/Keyboard.h"
#include "widgets/LibraryEvents.h"
#include "widgets/Prompt.h"
#include "widgets/ToolIcons.h"
#include "widgets/Workspace.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

void chooseNothing(QComboBox *combo)
{
    combo->setCurrentIndex(-1);
}

} // namespace

Frm_ManageSchools::Frm_ManageSchools(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Frm_ManageSchools"));
    setWindowTitle(QStringLiteral("Manage Schools"));
    setWindowIcon(ToolIcons::icon(ToolIcons::ManageSchools));

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_tabs->addTab(createViewTab(), QStringLiteral("View Schools"));
    m_tabs->addTab(createNewTab(), QStringLiteral("New Schools"));
    connect(m_tabs, &QTabWidget::currentChanged, this, &Frm_ManageSchools::SSTab1_Click);

    m_apply = ChildDialog::button(this, QStringLiteral("&Apply"), QStringLiteral("Cmd_Apply"));
    m_apply->setDefault(true);
    connect(m_apply, &QPushButton::clicked, this, &Frm_ManageSchools::Cmd_Apply_Click);
    m_cancel = ChildDialog::button(this, QStringLiteral("&Cancel"), QStringLiteral("Cmd_Cancel"));
    connect(m_cancel, &QPushButton::clicked, this, &Frm_ManageSchools::Cmd_Cancel_Click);
    ChildDialog::layOutTabs(this, m_tabs, m_apply, m_cancel);

    setTabOrder(m_names, m_description);
    setTabOrder(m_description, m_apply);
    setTabOrder(m_apply, m_cancel);
    setTabOrder(m_new, m_add);
    setTabOrder(m_add, m_delete);
    setTabOrder(m_delete, m_deleteButton);
    Keyboard::addShortcut(m_apply, QKeySequence::Save);
    Keyboard::addShortcut(m_add, QKeySequence::New);
    m_names->setFocus();
}

Frm_ManageSchools::~Frm_ManageSchools() = default;

QWidget *Frm_ManageSchools::createViewTab()
{
    auto *tab = new QWidget(m_tabs);

    auto *schools = new QGroupBox(QStringLiteral("Schools"), tab);
    schools->setObjectName(QStringLiteral("Frame1"));
    m_names = ChildDialog::namesCombo(schools, QStringLiteral("Cmbo_Names"), QStringLiteral("Choose School"));
    connect(m_names, &QComboBox::currentIndexChanged, this, &Frm_ManageSchools::Cmbo_Names_Click);
    auto *choose = new QLabel(QStringLiteral("Choose School"), schools);
    choose->setBuddy(m_names);
    auto *row = new QHBoxLayout(schools);
    row->addWidget(choose);
    row->addWidget(m_names, 1);

    auto *descriptions = new QGroupBox(QStringLiteral("Descriptions"), tab);
    descriptions->setObjectName(QStringLiteral("Frame2"));
    m_description = new QTextEdit(descriptions);
    m_description->setObjectName(QStringLiteral("RTB_Desc"));
    m_description->setAccessibleName(QStringLiteral("Description"));
    m_description->setAcceptRichText(false);
    m_description->setTabChangesFocus(true);
    auto *inner = new QVBoxLayout(descriptions);
    inner->addWidget(m_description);

    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(schools);
    layout->addWidget(descriptions, 1);
    return tab;
}

QWidget *Frm_ManageSchools::createNewTab()
{
    auto *tab = new QWidget(m_tabs);

    auto *add = new QGroupBox(QStringLiteral("Add New School"), tab);
    add->setObjectName(QStringLiteral("Frame3"));
    m_new = new QLineEdit(add);
    m_new->setObjectName(QStringLiteral("Txt_New"));
    m_new->setAccessibleName(QStringLiteral("School Name"));
    m_add = ChildDialog::button(add, QStringLiteral("&Add"), QStringLiteral("Cmd_Add"));
    connect(m_add, &QPushButton::clicked, this, &Frm_ManageSchools::Cmd_Add_Click);

    auto *remove = new QGroupBox(QStringLiteral("Delete User Defined School"), tab);
    remove->setObjectName(QStringLiteral("Frame4"));
    m_delete = ChildDialog::namesCombo(remove, QStringLiteral("Cmbo_Delete"), QStringLiteral("School Name"));
    m_deleteButton = ChildDialog::button(remove, QStringLiteral("&Delete"), QStringLiteral("Cmd_Delete"));
    connect(m_deleteButton, &QPushButton::clicked, this, &Frm_ManageSchools::Cmd_Delete_Click);

    // Both frames share their columns, so the two "School Name" labels and boxes line up.
    const auto placeRow = [](QGroupBox *frame, QWidget *field, QPushButton *button) {
        auto *label = new QLabel(QStringLiteral("School Name"), frame);
        label->setBuddy(field);
        label->setMinimumWidth(label->sizeHint().width());
        auto *grid = new QGridLayout(frame);
        grid->addWidget(label, 0, 0);
        grid->addWidget(field, 0, 1);
        grid->addWidget(button, 0, 2);
        grid->setColumnStretch(1, 1);
    };
    placeRow(add, m_new, m_add);
    placeRow(remove, m_delete, m_deleteButton);

    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(add);
    layout->addWidget(remove);
    layout->addStretch(1);
    return tab;
}

bool Frm_ManageSchools::Initialize(Workspace &workspace)
{
    m_workspace = &workspace;
    connect(&workspace.events(), &LibraryEvents::schoolsChanged, this, &Frm_ManageSchools::followSchools);
    return Load_Combo_Boxes();
}

bool Frm_ManageSchools::Load_Combo_Boxes()
{
    const QSignalBlocker blockNames(m_names);
    m_names->clear();
    m_delete->clear();
    m_description->clear();
    setDescriptionEditable(false);
    m_apply->setEnabled(false);
    try {
        m_names->addItems(m_workspace->library().Fetch_Schools_List());
        m_delete->addItems(m_workspace->library().Fetch_User_Schools_List());
    } catch (const VmError &error) {
        m_names->clear();
        m_delete->clear();
        Prompt::report(this, error);
        return false;
    }
    chooseNothing(m_names);
    chooseNothing(m_delete);
    return true;
}

void Frm_ManageSchools::setDescriptionEditable(bool editable)
{
    m_description->setReadOnly(!editable);
    QPalette palette = m_description->palette();
    palette.setColor(QPalette::Base, QWidget::palette().color(editable ? QPalette::Base : QPalette::Button));
    m_description->setPalette(palette);
}

bool Frm_ManageSchools::schoolChosen() const
{
    return m_names->currentIndex() >= 0 && !m_names->currentText().isEmpty();
}

void Frm_ManageSchools::Cmbo_Names_Click()
{
    if (!schoolChosen())
        return;
    QString description;
    try {
        description = m_workspace->library().Fetch_School_Description(m_names->currentText());
    } catch (const VmError &error) {
        // Nothing to edit: Apply would write the empty box over the stored description.
        m_description->clear();
        setDescriptionEditable(false);
        m_apply->setEnabled(false);
        Prompt::report(this, error);
        return;
    }
    m_description->setPlainText(description);
    setDescriptionEditable(true);
    m_apply->setEnabled(m_tabs->currentIndex() == 0);
}

void Frm_ManageSchools::SSTab1_Click()
{
    const bool viewing = m_tabs->currentIndex() == 0;
    m_apply->setEnabled(viewing && schoolChosen());
    // The button Enter presses is the one drawn as the default.
    m_apply->setDefault(viewing);
    m_add->setDefault(!viewing);
}

void Frm_ManageSchools::Cmd_Apply_Click()
{
    if (m_tabs->currentIndex() != 0 || !schoolChosen())
        return;
    const QString status = m_workspace->library().Update_Exisiting_School_Description(
        m_names->currentText(), m_description->toPlainText());
    if (Prompt::failed(this, status)) {
        return;
    }
    ReSet_Browser_Schools_List();
    Prompt::message(this, QStringLiteral("Update Successful"));
}

void Frm_ManageSchools::Cmd_Add_Click()
{
    const QString typed = m_new->text();
    if (typed.isEmpty())
        return;
    // Blanks alone would make a school without a name, which no list could show.
    if (typed.trimmed().isEmpty()) {
        Prompt::message(this, QStringLiteral("School Name required"));
        return;
    }
    // A school that no spell of could be exported is refused while the name can still change.
    const QString problem = ExchangeRules::schoolNameProblem(typed.trimmed());
    if (!problem.isEmpty()) {
        Prompt::message(this, ExchangeRules::refusal(QStringLiteral("school name"), problem,
                                                     QStringLiteral("spells of the school")));
        m_new->setFocus();
        return;
    }
    const QString status = m_workspace->library().Add_New_School(typed.trimmed());
    if (Prompt::failed(this, status)) {
        return;
    }
    Load_Combo_Boxes();
    ReSet_Browser_Schools_List();
    Prompt::message(this, QStringLiteral("Update successful"));
}

void Frm_ManageSchools::Cmd_Delete_Click()
{
    if (m_delete->currentIndex() < 0)
        return;
    const QString school = m_delete->currentText();
    if (!Prompt::ask(this, QStringLiteral("Are you sure you want to delete ") + school +
                               QStringLiteral(" as a School?")))
        return;
    const QString status = m_workspace->library().Delete_New_School(school.trimmed());
    if (Prompt::failed(this, status)) {
        return;
    }
    Load_Combo_Boxes();
    ReSet_Browser_Schools_List();
    Prompt::message(this, QStringLiteral("Delete successful"));
}

void Frm_ManageSchools::Cmd_Cancel_Click()
{
    ChildDialog::closeWindow(this);
}

void Frm_ManageSchools::ReSet_Browser_Schools_List()
{
    m_own.announce(m_workspace->events(), [](LibraryEvents &events) { emit events.schoolsChanged(); });
}

void Frm_ManageSchools::followSchools()
{
    if (m_own.ours())
        return;
    const QString shown = schoolChosen() ? m_names->currentText() : QString();
    if (!Load_Combo_Boxes() || shown.isEmpty())
        return;
    m_names->setCurrentIndex(m_names->findText(shown, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void Frm_ManageSchools::keyPressEvent(QKeyEvent *event)
{
    QPushButton *defaultButton = m_tabs->currentIndex() == 0 ? m_apply : m_add;
    // On the delete row Enter means Delete: a school chosen there is never added.
    if (m_tabs->currentIndex() != 0 && focusWidget() == m_delete)
        defaultButton = m_deleteButton;
    if (!ChildDialog::handleKey(this, event, defaultButton))
        QWidget::keyPressEvent(event);
}

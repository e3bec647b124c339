#include "browse/Frm_Spell.h"

#include "browse/PrintCommand.h"
#include "browse/ReportEngine.h"
#include "store/NameOrder.h"
#include "store/Names.h"
#include "store/VM_Spell.h"
#include "widgets/ButtonToolBar.h"
#include "widgets/FormScrollArea.h"
#include "widgets/Prompt.h"
#include "widgets/ToolIcons.h"
#include "widgets/Workspace.h"

#include <QFormLayout>
#include <QLabel>
#include <QShortcut>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// 6105 x 5055 twips.
constexpr int kWidth = 6105 / 15;
constexpr int kHeight = 5055 / 15;
} // namespace

Frm_Spell::Frm_Spell(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Frm_Spell"));
    setWindowIcon(ToolIcons::icon(ToolIcons::ViewSpell));

    m_toolbar = new ButtonToolBar(QStringLiteral("Toolbar1"), this);
    m_toolbar->addMenuButton(QStringLiteral("Print"), QStringLiteral("Print"),
                             ToolIcons::icon(ToolIcons::Print),
                             {{QStringLiteral("Print Spell"), QStringLiteral("Print Spell")},
                              {QStringLiteral("Preview Spell"), QStringLiteral("Preview Spell")}});
    m_toolbar->addButton(QStringLiteral("Manage Spell"), QStringLiteral("Manage Spell"),
                         ToolIcons::icon(ToolIcons::ManageSpell));
    // A card stays without print until it shows a spell.
    m_toolbar->button(QStringLiteral("Print"))->setEnabled(false);
    m_crystal = new ReportEngine(this);
    connect(m_toolbar, &ButtonToolBar::buttonClicked, this, &Frm_Spell::Toolbar1_ButtonClick);
    connect(m_toolbar, &ButtonToolBar::buttonMenuClicked, this, &Frm_Spell::Toolbar1_ButtonMenuClick);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_tabs->setDocumentMode(false);

    m_details = new QWidget(m_tabs);
    auto *form = new QFormLayout(m_details);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
    form->setFormAlignment(Qt::AlignLeft | Qt::AlignTop);
    form->setHorizontalSpacing(12);
    form->setVerticalSpacing(8);
    form->setContentsMargins(14, 14, 14, 14);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    const QList<std::pair<QString, QString>> details = {
        {QStringLiteral("Lbl_Level"), QStringLiteral("Level:")},
        {QStringLiteral("Lbl_Frequency"), QStringLiteral("Frequency:")},
        {QStringLiteral("Lbl_Book"), QStringLiteral("Book:")},
        {QStringLiteral("Lbl_Page"), QStringLiteral("Page:")},
        {QStringLiteral("Lbl_Range"), QStringLiteral("Range:")},
        {QStringLiteral("Lbl_Components"), QStringLiteral("Components:")},
        {QStringLiteral("Lbl_CT"), QStringLiteral("Casting Time:")},
        {QStringLiteral("Lbl_Duration"), QStringLiteral("Duration:")},
        {QStringLiteral("Lbl_AOE"), QStringLiteral("Area of Effect:")},
        {QStringLiteral("Lbl_ST"), QStringLiteral("Saving Throw:")},
        {QStringLiteral("Lbl_Schools"), QStringLiteral("Schools:")},
        {QStringLiteral("Lbl_Author"), QStringLiteral("Author:")}};
    for (const auto &[name, caption] : details) {
        auto *captionLabel = new QLabel(caption, m_details);
        QFont bold = captionLabel->font();
        bold.setBold(true);
        captionLabel->setFont(bold);
        form->addRow(captionLabel, addDetail(name, caption));
    }
    m_tabs->addTab(m_details, QStringLiteral("Details"));

    m_description = new QTextEdit(m_tabs);
    m_description->setObjectName(QStringLiteral("RTB_Desc"));
    m_description->setReadOnly(true);
    m_description->setAcceptRichText(false);
    m_description->setAccessibleName(QStringLiteral("Description"));
    m_tabs->addTab(m_description, QStringLiteral("Description"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolbar);
    // Below the tool bar the name and the details scroll when the card is made smaller than they
    // need.
    auto *card = new QWidget(this);
    auto *body = new QVBoxLayout(card);
    body->setContentsMargins(6, 4, 6, 6);
    // The name in full, wrapped: a long one is cut off in the caption.
    auto *name = new QLabel(this);
    name->setObjectName(QStringLiteral("Lbl_Name"));
    name->setWordWrap(true);
    name->setTextFormat(Qt::PlainText);
    name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont heading = name->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.25);
    name->setFont(heading);
    name->setContentsMargins(4, 2, 4, 4);
    body->addWidget(name);
    body->addWidget(m_tabs, 1);
    layout->addWidget(new FormScrollArea(card, this), 1);
    // Once placed: a control moved into the scroll area loses the focus it had.
    m_tabs->setFocus();

    // A card is looked at and put away: Esc closes it.
    auto *escape = new QShortcut(QKeySequence::Cancel, this, this, [this] {
        if (auto *frame = qobject_cast<QWidget *>(parentWidget()))
            frame->close();
        else
            close();
    });
    escape->setContext(Qt::WidgetWithChildrenShortcut);
}

Frm_Spell::~Frm_Spell() = default;

QSize Frm_Spell::sizeHint() const
{
    return QSize(kWidth, kHeight).expandedTo(FormScrollArea::wholeSize(this, kWidth));
}

QLabel *Frm_Spell::addDetail(const QString &name, const QString &caption)
{
    auto *value = new QLabel(m_details);
    value->setObjectName(name);
    value->setAccessibleName(caption);
    value->setWordWrap(true);
    value->setTextFormat(Qt::PlainText);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return value;
}

void Frm_Spell::Initialize(const QString &spellName, QWidget *opener, Workspace &workspace)
{
    m_spellName = spellName;
    m_opener = opener;
    m_workspace = &workspace;
    m_toolbar->followCommand(QStringLiteral("Manage Spell"),
                             workspace.menuEntry(QStringLiteral("Main_Tools_Spells")));
    // A spell that is not found leaves the card empty; a caption with its name would pass the
    // card off as that spell's.
    setWindowTitle(QStringLiteral("(not in the library)"));

    m_spell = std::make_unique<VM_Spell>();
    switch (m_spell->read(spellName)) {
    case VM_Spell::Found::Read:
        fill();
        break;
    case VM_Spell::Found::Unreadable:
        // A library that cannot be read is not a spell that left it: the user is told.
        Prompt::message(opener, spellName + QStringLiteral(" could not be read from the library"));
        break;
    case VM_Spell::Found::Gone:
        break;
    }
}

void Frm_Spell::fill()
{
    const VM_Spell &spell = *m_spell;
    setWindowTitle(spell.Fetch_Spell_Name() + QStringLiteral(" (") + spell.Fetch_Spell_Level() +
                   QStringLiteral(")"));
    auto set = [this](const char *name, const QString &text) {
        findChild<QLabel *>(QLatin1String(name))->setText(text);
    };
    // In the order the browser's row shows them.
    QStringList schools = spell.Fetch_Spell_Schools_Collection();
    sortNames(schools);
    set("Lbl_Schools", schools.join(QStringLiteral(", ")));
    set("Lbl_Name", spell.Fetch_Spell_Name());
    set("Lbl_Level", spell.Fetch_Spell_Level());
    set("Lbl_Frequency", spell.Fetch_Spell_Frequency());
    set("Lbl_Book", spell.Fetch_Spell_Book_Number());
    set("Lbl_Page", spell.Fetch_Spell_Page_Number());
    set("Lbl_Range", spell.Fetch_Spell_Range());
    set("Lbl_Components", spell.Fetch_Spell_Components());
    set("Lbl_Duration", spell.Fetch_Spell_Duration());
    set("Lbl_AOE", spell.Fetch_Spell_Area_of_Effect());
    set("Lbl_ST", spell.Fetch_Spell_Saving_Throw());
    set("Lbl_CT",
        spell.Fetch_Spell_Casting_Time() + QLatin1Char(' ') + spell.Fetch_Spell_Casting_Time_Type());
    set("Lbl_Author", spell.Fetch_Spell_Author().isEmpty() ? kReservedSpellbook : spell.Fetch_Spell_Author());
    m_description->setPlainText(spell.Fetch_Spell_Description());
    m_toolbar->button(QStringLiteral("Print"))->setEnabled(true);
}

void Frm_Spell::Toolbar1_ButtonClick(const QString &key)
{
    // "Print" has no action of its own: its drop-down does the work.
    if (key == QStringLiteral("Manage Spell") && m_workspace)
        m_workspace->manageSpell(m_spell ? m_spell->Fetch_Spell_Name() : m_spellName, m_opener);
}

void Frm_Spell::Toolbar1_ButtonMenuClick(const QString &key)
{
    if (key == QStringLiteral("Print Spell"))
        printSpell(false);
    else if (key == QStringLiteral("Preview Spell"))
        printSpell(true);
}

void Frm_Spell::printMain()
{
    if (m_toolbar->button(QStringLiteral("Print"))->isEnabled())
        printSpell(false);
}

void Frm_Spell::printSpell(bool preview)
{
    if (!m_spell || m_spell->Fetch_Spell_Name().isEmpty())
        return; // the card of a spell that has left the library shows nothing to print
    PrintCommand command(this, m_workspace ? m_workspace->progressPanel() : nullptr);
    command.run([&] {
        const QString status = m_spell->Set_Spell_Hold();
        if (!status.isEmpty()) {
            command.tell(status);
            return;
        }
        if (!preview)
            command.showProgress(QStringLiteral("Printing ") + m_spell->Fetch_Spell_Name() +
                                 QStringLiteral("..."));
        m_crystal->run({QStringLiteral("singlespell.rpt"),
                        preview ? ReportEngine::Destination::Window : ReportEngine::Destination::Printer,
                        windowTitle() + QLatin1Char(' ') + QStringLiteral("Print Preview")});
    });
}

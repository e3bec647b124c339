// The failed-spells window's controls and their layout.

#include "browse/Frm_Unlearned.h"

#include "widgets/ColumnSortToggle.h"
#include "widgets/FormScrollArea.h"
#include "widgets/ListStatusPanels.h"
#include "widgets/ListView.h"
#include "widgets/ToolIcons.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

// The failed-spells window's controls and where they sit.

namespace {

constexpr QSize kUnlearnedOpeningSize(560, 360);
constexpr int kUnlearnedColumnWidths[] = {200, 44, 90, 60, 40};

} // namespace

Frm_Unlearned::Frm_Unlearned(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Frm_Unlearned"));
    setWindowTitle(QStringLiteral("Spells Failed to Learn"));
    setWindowIcon(ToolIcons::icon(ToolIcons::Unlearned));
    createControls();
}

QSize Frm_Unlearned::sizeHint() const
{
    return kUnlearnedOpeningSize.expandedTo(FormScrollArea::wholeSize(this));
}

void Frm_Unlearned::createControls()
{
    auto *label = new QLabel(QStringLiteral("Caster:"), this);
    m_casters = new QComboBox(this);
    m_casters->setObjectName(QStringLiteral("Cmbo_Casters"));
    m_casters->setMinimumContentsLength(20);
    m_casters->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    label->setBuddy(m_casters);
    connect(m_casters, &QComboBox::activated, this, &Frm_Unlearned::Cmbo_Casters_Click);

    m_list = new ListView(QStringLiteral("LV_Spells"),
                          {QStringLiteral("Spell Name"), QStringLiteral("Level"), QStringLiteral("Frequency"),
                           QStringLiteral("Book"), QStringLiteral("Page")},
                          this);
    m_list->header()->setMinimumSectionSize(24);
    for (int column = 0; column < 5; ++column)
        m_list->setColumnWidth(column, kUnlearnedColumnWidths[column]);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_sort = new ColumnSortToggle(m_list);
    connect(m_list, &ListView::rowSelectionChanged, this, &Frm_Unlearned::LV_Spells_Click);
    connect(m_list, &ListView::rowDoubleClicked, this, &Frm_Unlearned::LV_Spells_DblClick);
    connect(m_list, &QWidget::customContextMenuRequested, this, &Frm_Unlearned::LV_Spells_MouseDown);
    m_list->setAccessibleName(QStringLiteral("Failed spells"));
    m_list->setAccessibleDescription(QStringLiteral("The spells the caster failed to learn"));

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("sbr_Failed"));
    m_statusBar->setSizeGripEnabled(false);
    m_panels = new ListStatusPanels(m_statusBar, this);

    auto *casterRow = new QHBoxLayout;
    casterRow->addWidget(label);
    casterRow->addWidget(m_casters);
    casterRow->addStretch(1);

    // Above the status bar the caster and the list scroll when the window is made smaller than
    // they need.
    auto *form = new QWidget(this);
    auto *body = new QVBoxLayout(form);
    body->setContentsMargins(6, 6, 6, 0);
    body->addLayout(casterRow);
    body->addWidget(m_list, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(new FormScrollArea(form, this), 1);
    layout->addWidget(m_statusBar);
    // Once placed: a control moved into the scroll area loses the focus it had.
    m_list->setFocus();
}

#include "browse/Frm_Deck.h"

#include "browse/Deck.h"
#include "browse/DeckSheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// What was chosen last, for the next deck of the run.
DeckOptions &remembered()
{
    static DeckOptions options;
    return options;
}

QPushButton *button(QDialogButtonBox *box, const QString &name, const QString &text,
                    QDialogButtonBox::ButtonRole role)
{
    QPushButton *pushButton = box->addButton(text, role);
    pushButton->setObjectName(name);
    return pushButton;
}

} // namespace

Frm_Deck::Frm_Deck(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Frm_Deck"));
    setWindowTitle(QStringLiteral("Print Deck"));
    setModal(true);
    const DeckOptions &last = remembered();

    m_card = new QComboBox(this);
    m_card->setObjectName(QStringLiteral("Cmb_Card"));
    for (const auto card : {DeckOptions::Card::Poker, DeckOptions::Card::Bridge, DeckOptions::Card::Tarot,
                            DeckOptions::Card::A6})
        m_card->addItem(DeckOptions::cardName(card), int(card));
    m_card->setCurrentIndex(m_card->findData(int(last.card)));

    m_paper = new QComboBox(this);
    m_paper->setObjectName(QStringLiteral("Cmb_Paper"));
    m_paper->addItem(QStringLiteral("A4"), int(QPageSize::A4));
    m_paper->addItem(QStringLiteral("Letter"), int(QPageSize::Letter));
    m_paper->setCurrentIndex(m_paper->findData(int(last.paper)));

    m_band = new QComboBox(this);
    m_band->setObjectName(QStringLiteral("Cmb_Band"));
    m_band->addItem(QStringLiteral("School"), int(DeckOptions::Band::School));
    m_band->addItem(QStringLiteral("Level"), int(DeckOptions::Band::Level));
    m_band->setCurrentIndex(m_band->findData(int(last.band)));

    m_backs = new QCheckBox(QStringLiteral("Print &backs (for printing on both sides, long edge)"), this);
    m_backs->setObjectName(QStringLiteral("Chk_Backs"));
    m_backs->setChecked(last.backs);
    m_cutMarks = new QCheckBox(QStringLiteral("C&ut marks"), this);
    m_cutMarks->setObjectName(QStringLiteral("Chk_CutMarks"));
    m_cutMarks->setChecked(last.cutMarks);

    auto *which = new QGroupBox(QStringLiteral("Spells"), this);
    m_selected = new QRadioButton(which);
    m_selected->setObjectName(QStringLiteral("Opt_Selected"));
    m_all = new QRadioButton(which);
    m_all->setObjectName(QStringLiteral("Opt_All"));
    auto *whichLayout = new QVBoxLayout(which);
    whichLayout->addWidget(m_selected);
    whichLayout->addWidget(m_all);

    m_grid = new QLabel(this);
    m_grid->setObjectName(QStringLiteral("Lbl_Grid"));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Card &size:"), m_card);
    form->addRow(QStringLiteral("P&aper:"), m_paper);
    form->addRow(QStringLiteral("Colour ba&nd by:"), m_band);
    form->addRow(QString(), m_backs);
    form->addRow(QString(), m_cutMarks);
    form->addRow(QString(), m_grid);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *preview = button(buttons, QStringLiteral("Cmd_Preview"), QStringLiteral("Pre&view"),
                                  QDialogButtonBox::ActionRole);
    preview->setDefault(true);
    QPushButton *print =
        button(buttons, QStringLiteral("Cmd_Print"), QStringLiteral("&Print"), QDialogButtonBox::ActionRole);
    QPushButton *pdf = button(buttons, QStringLiteral("Cmd_Pdf"), QStringLiteral("Save as P&DF\u2026"),
                              QDialogButtonBox::ActionRole);
    QPushButton *cancel = button(buttons, QStringLiteral("Cmd_Cancel"), QStringLiteral("&Cancel"),
                                 QDialogButtonBox::RejectRole);
    connect(preview, &QPushButton::clicked, this, &Frm_Deck::Cmd_Preview_Click);
    connect(print, &QPushButton::clicked, this, &Frm_Deck::Cmd_Print_Click);
    connect(pdf, &QPushButton::clicked, this, &Frm_Deck::Cmd_Pdf_Click);
    connect(cancel, &QPushButton::clicked, this, &Frm_Deck::Cmd_Cancel_Click);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(which);
    layout->addWidget(buttons);

    connect(m_card, &QComboBox::currentIndexChanged, this, &Frm_Deck::showGrid);
    connect(m_paper, &QComboBox::currentIndexChanged, this, &Frm_Deck::showGrid);
    showGrid();
}

void Frm_Deck::Initialize(int selected, int listed)
{
    m_selected->setText(QStringLiteral("&Selected spells (%1)").arg(selected));
    m_all->setText(QStringLiteral("All &listed spells (%1)").arg(listed));
    m_selected->setEnabled(selected > 0);
    (selected > 1 ? m_selected : m_all)->setChecked(true);
    m_action = Action::None;
}

DeckOptions Frm_Deck::options() const
{
    DeckOptions options;
    options.card = DeckOptions::Card(m_card->currentData().toInt());
    options.paper = QPageSize::PageSizeId(m_paper->currentData().toInt());
    options.band = DeckOptions::Band(m_band->currentData().toInt());
    options.backs = m_backs->isChecked();
    options.cutMarks = m_cutMarks->isChecked();
    return options;
}

bool Frm_Deck::selectedOnly() const
{
    return m_selected->isChecked();
}

void Frm_Deck::showGrid()
{
    const DeckSheet sheet(options());
    m_grid->setText(
        QStringLiteral("%1 cards a sheet (%2 \u00d7 %3%4); the text shrinks to %5 pt at the least")
            .arg(sheet.perPage())
            .arg(sheet.columns())
            .arg(sheet.rows())
            .arg(sheet.landscape() ? QStringLiteral(", sideways") : QString())
            .arg(Deck::kSmallestTextSize));
}

void Frm_Deck::finish(Action action)
{
    m_action = action;
    remembered() = options();
    if (action == Action::None)
        reject();
    else
        accept();
}

void Frm_Deck::Cmd_Preview_Click()
{
    finish(Action::Preview);
}

void Frm_Deck::Cmd_Print_Click()
{
    finish(Action::Print);
}

void Frm_Deck::Cmd_Pdf_Click()
{
    finish(Action::Pdf);
}

void Frm_Deck::Cmd_Cancel_Click()
{
    finish(Action::None);
}

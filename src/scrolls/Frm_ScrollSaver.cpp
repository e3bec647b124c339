#include "scrolls/Frm_ScrollSaver.h"

#include "scrolls/ScrollDetails.h"
#include "store/Names.h"
#include "store/VM_Library.h"
#include "store/VmError.h"
#include "widgets/BusyCursor.h"
#include "widgets/Prompt.h"
#include "widgets/Workspace.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Frm_ScrollSaver::Frm_ScrollSaver(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Frm_ScrollSaver"));
    setWindowTitle(QStringLiteral("Scroll Saver"));
    setModal(true);

    const ScrollDetails details(this, QStringLiteral("Txt_Name"), QStringLiteral("Cmbo_Casters"), 20);
    m_name = details.name;
    m_casters = details.caster;

    auto *buttons = new QDialogButtonBox(this);
    m_save = buttons->addButton(QStringLiteral("&Save"), QDialogButtonBox::AcceptRole);
    m_save->setObjectName(QStringLiteral("Cmd_Save"));
    m_save->setDefault(true);
    QPushButton *cancel = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Cmd_Cancel"));
    // The buttons do the work themselves; the box only lays them out.
    connect(m_save, &QPushButton::clicked, this, &Frm_ScrollSaver::Cmd_Save_Click);
    connect(cancel, &QPushButton::clicked, this, &Frm_ScrollSaver::Cmd_Cancel_Click);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(details.box);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

void Frm_ScrollSaver::Initialize(Workspace &workspace, const ListRows &lines, std::function<void()> saved)
{
    m_library = &workspace.library();
    m_lines = lines;
    m_saved = std::move(saved);
    m_done = false;
    m_save->setEnabled(true);
    try {
        // KXR is the whole library, not a caster: it holds no scrolls.
        for (const QString &name : m_library->Get_Exisiting_Spellbook_Names()) {
            if (name.trimmed() != kReservedSpellbook)
                m_casters->addItem(name);
        }
    } catch (const VmError &error) {
        // The caster can still be typed.
        Prompt::report(this, error);
    }
    m_casters->setCurrentIndex(-1);
    m_name->setFocus();
    exec();
}

void Frm_ScrollSaver::Cmd_Save_Click()
{
    // A second click while the first one's save runs, or after it, saves nothing more.
    if (m_done || !m_library)
        return;
    const QString name = m_name->text().trimmed();
    const QString caster = m_casters->currentText().trimmed();
    if (name.isEmpty() || caster.isEmpty()) {
        Prompt::message(this, QStringLiteral("Both fields are required"));
        return;
    }
    if (!ScrollDetails::nameIsFree(this, *m_library, name, caster, m_name))
        return;

    m_done = true;
    m_save->setEnabled(false);
    QString status;
    {
        BusyCursor busy;
        status = m_library->SaveScroll(name, caster, m_lines);
    }
    if (status.isEmpty() && m_saved)
        m_saved();
    Prompt::message(this, status.isEmpty() ? QStringLiteral("Scroll saved") : status.trimmed());
    accept();
}

void Frm_ScrollSaver::Cmd_Cancel_Click()
{
    reject();
}

#pragma once

#include "widgets/PrintableWindow.h"

#include <QWidget>

#include <memory>

class ButtonToolBar;
class QLabel;
class QTabWidget;
class QTextEdit;
class ReportEngine;
class VM_Spell;
class Workspace;

// The card of one spell: every detail on the "Details" tab, the description on the other. Every
// request opens a new card, so several cards, also of one spell, can be open at once.
class Frm_Spell : public QWidget, public PrintableWindow
{
    Q_OBJECT

public:
    explicit Frm_Spell(QWidget *parent = nullptr);
    ~Frm_Spell() override;

    // Loads the spell; a name no longer in the library leaves the card empty.
    void Initialize(const QString &spellName, QWidget *opener, Workspace &workspace);

    QString spellName() const { return m_spellName; }
    QSize sizeHint() const override;
    // Ctrl+P: the card to the printer.
    void printMain() override;

public slots:
    void Toolbar1_ButtonClick(const QString &key);
    void Toolbar1_ButtonMenuClick(const QString &key);

private:
    QLabel *addDetail(const QString &name, const QString &caption);
    void fill();
    void printSpell(bool preview);

    QString m_spellName;
    QWidget *m_opener = nullptr;
    Workspace *m_workspace = nullptr;
    std::unique_ptr<VM_Spell> m_spell;

    ButtonToolBar *m_toolbar = nullptr;
    QTabWidget *m_tabs = nullptr;
    QWidget *m_details = nullptr;
    QTextEdit *m_description = nullptr;
    ReportEngine *m_crystal = nullptr;
};

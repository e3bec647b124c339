#pragma once

#include "browse/DeckOptions.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;

// Asks how a list of spells is printed as a deck of cards, and where to: a preview, the
// printer or a PDF file. The choices stay for the next deck of the run.
class Frm_Deck : public QDialog
{
    Q_OBJECT

public:
    enum class Action { None, Preview, Print, Pdf };

    explicit Frm_Deck(QWidget *parent = nullptr);

    // Offers the selected spells when there are any (chosen at first when more than one is).
    void Initialize(int selected, int listed);

    DeckOptions options() const;
    bool selectedOnly() const;
    Action action() const { return m_action; }

public slots:
    void Cmd_Preview_Click();
    void Cmd_Print_Click();
    void Cmd_Pdf_Click();
    void Cmd_Cancel_Click();

private:
    void finish(Action action);
    void showGrid();

    Action m_action = Action::None;
    QComboBox *m_card = nullptr;
    QComboBox *m_paper = nullptr;
    QRadioButton *m_selected = nullptr;
    QRadioButton *m_all = nullptr;
    QCheckBox *m_backs = nullptr;
    QCheckBox *m_cutMarks = nullptr;
    QComboBox *m_band = nullptr;
    QLabel *m_grid = nullptr;
};

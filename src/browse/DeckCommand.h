#pragma once

#include <QString>

class ListView;
class QWidget;
class Workspace;

// "Print Deck…" of a list of spells: asks how (Frm_Deck), copies the chosen spells into the
// hold the deck file reads, lays the cards out with a progress window that can cancel, and
// sends them to a preview, the printer or a PDF file through the report engine.
class DeckCommand
{
public:
    // The deck is named after the list's owner (a spellbook, a search); a deck of at least
    // this many spells shows its progress.
    static constexpr int kProgressFrom = 200;

    static void run(QWidget *window, Workspace &workspace, const ListView *list, const QString &owner);
};

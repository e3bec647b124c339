#pragma once

class Deck;
class QPagedPaintDevice;
class QPrinter;

// Paints a deck's sheets: the fronts, each sheet followed by its backs when the deck has them,
// and the cut marks. Printers, previews and PDF files all go through it.
class DeckPages
{
public:
    // Pages are counted from 1; 0 means from the first or to the last. False when the device
    // refuses to be painted on. Throws DeckCancelled when the DeckProgress listening says to stop.
    static bool paint(const Deck &deck, QPagedPaintDevice *device, int fromPage = 0, int toPage = 0);

    // The deck's paper on a printer, printing on both sides when the deck has backs.
    static void setUp(QPrinter &printer, const Deck &deck);
};

#pragma once

#include <QPageSize>
#include <QSizeF>
#include <QString>

#include <functional>

// What the user chose for a printed deck of spell cards.
struct DeckOptions
{
    enum class Card { Poker, Bridge, Tarot, A6 };
    enum class Band { School, Level };

    Card card = Card::Poker;
    QPageSize::PageSizeId paper = defaultPaper();
    bool backs = true;
    bool cutMarks = true;
    Band band = Band::School;

    // Width and height of a card, in millimetres.
    static QSizeF cardSize(Card card);
    static QString cardName(Card card);
    // The paper of the system's locale: US Letter where inches are used, else A4.
    static QPageSize::PageSizeId defaultPaper();
};

// Thrown when the user cancels a deck while it is being made; nothing is sent anywhere.
struct DeckCancelled
{};

// Hears how far a deck has come while it is laid out and painted, for as long as it lives,
// and can stop it. A preview that paints again later, when no one listens, is not stopped.
class DeckProgress
{
public:
    enum class Stage { Cards, Pages };
    // Told what is done of the whole of a stage; false stops the deck.
    using Listener = std::function<bool(Stage stage, int done, int total)>;

    explicit DeckProgress(Listener listener);
    ~DeckProgress();
    DeckProgress(const DeckProgress &) = delete;
    DeckProgress &operator=(const DeckProgress &) = delete;

    // Throws DeckCancelled when the listener says to stop.
    static void step(Stage stage, int done, int total);

private:
    Listener m_listener;
    DeckProgress *m_outer;
};

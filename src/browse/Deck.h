#pragma once

#include "browse/DeckOptions.h"
#include "browse/DeckSheet.h"
#include "browse/DeckTemplate.h"

#include <QList>
#include <QPointF>
#include <QRectF>

#include <memory>

class QTextLayout;

// One line of text on one side of a card: a line of a layout measured at the deck's
// resolution, and where the layout's origin lies on the card (in dots from its top left).
struct DeckText
{
    enum class Role { Name, Subtitle, Field, Text, Mark, Band };

    std::shared_ptr<const QTextLayout> layout;
    int line = 0;
    QPointF origin;
    Role role = Role::Text;

    QString text() const;
    // The ink of the line on its card, in dots.
    QRectF rect() const;
};

// One card: what its front and its back say, and the colour band on both.
struct DeckFace
{
    int spell = 0; // place of its spell in the deck
    QString band;
    int bandIndex = 0;
    QRectF bandRect; // on the card, in dots
    QList<DeckText> front;
    QList<DeckText> back;
    QList<qreal> rules; // heights of thin rules across the front, in dots
};

// A deck of spell cards laid out once, at one resolution, so that a preview, a printer and a
// PDF file all show the same cards with the same line breaks.
class Deck
{
public:
    static constexpr int kResolution = 600;        // dots per inch the cards are measured at
    static constexpr qreal kLargestTextSize = 8.5; // points
    // The description shrinks to fit its card, never below this; what still does not fit goes
    // on to the following cards of the spell.
    static constexpr qreal kSmallestTextSize = 6.5;

    // Throws DeckCancelled when the DeckProgress listening says to stop.
    Deck(const QList<DeckSpell> &spells, const DeckOptions &options);

    static qreal dotsPerMm() { return kResolution / 25.4; }

    const DeckOptions &options() const { return m_options; }
    const DeckSheet &sheet() const { return m_sheet; }
    const QList<DeckSpell> &spells() const { return m_spells; }
    const QList<DeckFace> &faces() const { return m_faces; }
    // The sheets of fronts, each followed by its sheet of backs when the deck has backs.
    int pageCount() const;
    // The description's size on each spell's cards, in points.
    qreal textSize(int spell) const { return m_textSizes.value(spell); }

private:
    void layOut(int spell);

    DeckOptions m_options;
    DeckSheet m_sheet;
    QList<DeckSpell> m_spells;
    QList<DeckFace> m_faces;
    QList<qreal> m_textSizes;
    QStringList m_bandKeys;
};

#include "browse/DeckOptions.h"

#include <QLocale>

QSizeF DeckOptions::cardSize(Card card)
{
    switch (card) {
    case Card::Poker:
        return {63, 88};
    case Card::Bridge:
        return {57, 89};
    case Card::Tarot:
        return {70, 120};
    case Card::A6:
        break;
    }
    return {105, 148};
}

QString DeckOptions::cardName(Card card)
{
    const QSizeF size = cardSize(card);
    const QString millimetres = QStringLiteral(" (%1 \u00d7 %2 mm)").arg(size.width()).arg(size.height());
    switch (card) {
    case Card::Poker:
        return QStringLiteral("Poker") + millimetres;
    case Card::Bridge:
        return QStringLiteral("Bridge") + millimetres;
    case Card::Tarot:
        return QStringLiteral("Tarot") + millimetres;
    case Card::A6:
        break;
    }
    return QStringLiteral("A6") + millimetres;
}

namespace {

DeckProgress *listening = nullptr;

} // namespace

DeckProgress::DeckProgress(Listener listener) : m_listener(std::move(listener)), m_outer(listening)
{
    listening = this;
}

DeckProgress::~DeckProgress()
{
    listening = m_outer;
}

void DeckProgress::step(Stage stage, int done, int total)
{
    if (listening && listening->m_listener && !listening->m_listener(stage, done, total))
        throw DeckCancelled();
}

QPageSize::PageSizeId DeckOptions::defaultPaper()
{
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                              : QPageSize::A4;
}

#pragma once

#include <QString>

#include <memory>

class Deck;

// A report ready to go out: its laid-out text and where it is going.
struct ReportJob
{
    enum class Destination { Window = 0, Printer = 1 };

    QString reportFile;
    QString html;
    QString footer; // drawn at the foot of every page, beside the page number
    QString title;  // the preview window's title; also the document name given to the printer
    Destination destination = Destination::Window;
    bool maximized = false;
    std::shared_ptr<const Deck> deck = {}; // a deck of cards, painted instead of the html
};

#pragma once

#include "browse/ReportJob.h"

#include <chrono>

class Connection;
class ReportFile;

// Fills a report's layouts with the rows of its queries.
class ReportRenderer
{
public:
    // A report file is edited by hand: a join without its condition or a recursive query
    // without an end would otherwise hold the program and fill its memory. A whole spellbook
    // of even the largest caster reads a few thousand rows.
    static constexpr int kRowLimit = 200000;              // rows of all the queries together
    static constexpr qsizetype kTextLimit = 16'000'000;   // characters of all their values together
    static constexpr std::chrono::seconds kTimeLimit{60}; // wall clock of all the queries together

    // Runs every query of the file on the connection and renders the main layout, which
    // includes the sub-reports, and the footer. Throws ReportError naming the query or the
    // layout that failed, or the query that was running when a limit was passed. The
    // connection is left as it was given, whatever happens. Tests shorten the time limit so as
    // not to wait for it.
    static ReportJob render(const ReportFile &file, Connection &library,
                            std::chrono::milliseconds timeLimit = kTimeLimit);
};

#pragma once

#include "browse/ReportJob.h"

class Connection;
class ReportFile;

// Fills a report's layouts with the rows of its queries.
class ReportRenderer
{
public:
    // Runs every query of the file on the connection and renders the main layout, which
    // includes the sub-reports, and the footer. Throws ReportError naming the query or the
    // layout that failed.
    static ReportJob render(const ReportFile &file, Connection &library);
};

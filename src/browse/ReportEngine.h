#pragma once

#include "browse/DeckOptions.h"
#include "browse/ReportJob.h"

#include <QHash>
#include <QObject>
#include <QStringList>

#include <optional>

class QWidget;

// One report to print or preview: the delivered layout, where it goes and the preview's title.
// The engine gives the library password to the report and the named sub-reports, and opens the
// preview maximized when the program's option says so (unless the request wants normal size).
struct ReportRequest
{
    QString file; // a delivered layout, "singlespell.rpt"
    ReportJob::Destination destination = ReportJob::Destination::Window;
    QString title;
    QStringList subreports = {};
    bool followPreviewOption = true;
    // A deck of cards: the file is a deck file, whose cards are laid out with these options.
    std::optional<DeckOptions> deck = {};
};

// The report control of a printing window (object name "Crystal"). The window sets the report
// file, the password, the destination and the preview's window state and title, fills the hold
// tables the report reads, and starts it. The report's queries run on a read-only connection to
// the library, so a layout can never change the data it prints.
class ReportEngine : public QObject
{
    Q_OBJECT

public:
    using Destination = ReportJob::Destination;
    enum class WindowState { Normal = 0, Maximized = 2 };

    explicit ReportEngine(QWidget *owner);

    // Full path of a delivered report file ("singlespell.rpt") in the application folder.
    static QString reportPath(const QString &fileName);

    void setReportFileName(const QString &path);
    // The library password for the report chosen by setSubreportToChange. A sub-report without
    // a password of its own uses the main report's.
    void setPassword(const QString &password);
    // Chooses the report later settings apply to: a sub-report by name, or "" for the main one.
    void setSubreportToChange(const QString &name);
    void setDestination(Destination destination);
    void setWindowState(WindowState state);
    void setWindowTitle(const QString &title);
    // Lays the report file out as a deck of cards; no value for an ordinary report.
    void setDeck(const std::optional<DeckOptions> &options);

    // Runs the report to its destination. Throws VmError (a ReportError) when there is no
    // printer for a print, when the report file is missing or malformed, when the library
    // refuses a query, and when the password is missing or wrong.
    void start();

    // Sets up the engine for the request and starts it. Throws as start() does.
    void run(const ReportRequest &request);
    // Sets up the engine for the request, for render() or start().
    void setUp(const ReportRequest &request);

    // The filled-in report without sending it anywhere. Throws as start() does.
    ReportJob render() const;

private:
    QString m_fileName;
    QString m_subreport;
    QHash<QString, QString> m_passwords; // by report name, "" for the main report
    Destination m_destination = Destination::Window;
    WindowState m_windowState = WindowState::Normal;
    QString m_title;
    std::optional<DeckOptions> m_deck;
};

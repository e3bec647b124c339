#include "browse/ReportEngine.h"

#include "browse/Deck.h"
#include "browse/ReportError.h"
#include "browse/ReportFile.h"
#include "browse/ReportOutput.h"
#include "browse/ReportRenderer.h"
#include "store/AppFolder.h"
#include "store/Database.h"
#include "widgets/Constants.h"

#include <QDir>
#include <QWidget>

ReportEngine::ReportEngine(QWidget *owner) : QObject(owner)
{
    setObjectName(QStringLiteral("Crystal"));
}

QString ReportEngine::reportPath(const QString &fileName)
{
    return QDir(appFolder()).filePath(fileName);
}

void ReportEngine::setReportFileName(const QString &path)
{
    // Sub-reports belong to the file: a password given to one of the last file's must not be
    // looked for in this one. The main report's password stays, as callers may give it first.
    if (path != m_fileName) {
        m_passwords.removeIf([](const auto &entry) { return !entry.key().isEmpty(); });
        m_subreport.clear();
    }
    m_fileName = path;
}

void ReportEngine::setPassword(const QString &password)
{
    m_passwords.insert(m_subreport, password);
}

void ReportEngine::setSubreportToChange(const QString &name)
{
    m_subreport = name;
}

void ReportEngine::setDestination(Destination destination)
{
    m_destination = destination;
}

void ReportEngine::setWindowState(WindowState state)
{
    m_windowState = state;
}

void ReportEngine::setWindowTitle(const QString &title)
{
    m_title = title;
}

void ReportEngine::setDeck(const std::optional<DeckOptions> &options)
{
    m_deck = options;
}

ReportJob ReportEngine::render() const
{
    if (m_fileName.isEmpty())
        throw ReportError(QStringLiteral("No report file was given to print."));
    const ReportFile file = ReportFile::load(m_fileName);

    for (auto it = m_passwords.constBegin(); it != m_passwords.constEnd(); ++it)
        if (!file.section(it.key()))
            throw ReportError(QStringLiteral("The report file %1 has no sub-report %2.")
                                  .arg(QDir::toNativeSeparators(m_fileName), it.key()));
    const QString mainPassword = m_passwords.value(QString());
    for (const ReportFile::Section &section : file.sections()) {
        const QString password = m_passwords.value(section.name, mainPassword);
        if (password != QLatin1String(kLibraryPassword))
            throw ReportError(QStringLiteral("The report could not log on to the library: %1")
                                  .arg(password.isEmpty() ? QStringLiteral("no password was given.")
                                                          : QStringLiteral("the password is wrong.")));
    }

    Connection library(libraryPath(), Connection::Access::ReadOnly);
    ReportJob job;
    if (m_deck) {
        job.reportFile = file.path();
        job.deck = std::make_shared<const Deck>(DeckTemplate(file).spells(library), *m_deck);
    } else {
        job = ReportRenderer::render(file, library);
    }
    job.title = m_title;
    job.destination = m_destination;
    job.maximized = m_windowState == WindowState::Maximized;
    return job;
}

void ReportEngine::start()
{
    ReportOutput &output = ReportOutput::current();
    if (m_destination == Destination::Printer && !output.hasPrinter())
        throw ReportError(QStringLiteral("No printer is installed. Use a preview to print to a PDF file."));
    const ReportJob job = render();
    if (job.destination == Destination::Printer)
        output.print(job);
    else
        output.preview(qobject_cast<QWidget *>(parent()), job);
}

void ReportEngine::run(const ReportRequest &request)
{
    setUp(request);
    start();
}

void ReportEngine::setUp(const ReportRequest &request)
{
    setReportFileName(reportPath(request.file));
    const QString password = QString::fromLatin1(kLibraryPassword);
    setSubreportToChange(QString());
    setPassword(password);
    for (const QString &subreport : request.subreports) {
        setSubreportToChange(subreport);
        setPassword(password);
    }
    setSubreportToChange(QString());
    setWindowState(request.followPreviewOption && Constants::Previews_Maximized ? WindowState::Maximized
                                                                                : WindowState::Normal);
    setWindowTitle(request.title);
    setDestination(request.destination);
    setDeck(request.deck);
}

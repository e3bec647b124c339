#include "browse/ReportFile.h"

#include "browse/ReportError.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

namespace {

const QLatin1String kSectionMark("===");
const QLatin1String kLayoutMark("---");

QString fileLabel(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void malformed(const QString &path, int line, const QString &what)
{
    const QString where = line > 0 ? QStringLiteral(" (line %1)").arg(line) : QString();
    throw ReportError(
        QStringLiteral("The report file %1 is not a valid report%2: %3").arg(fileLabel(path), where, what));
}

bool isName(const QString &text)
{
    static const QRegularExpression name(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return name.match(text).hasMatch();
}

// Checks what only the whole file can tell: names, parents, and that nothing is left empty.
void checkSections(const QList<ReportFile::Section> &sections, const QString &path)
{
    QSet<QString> sectionNames;
    for (const ReportFile::Section &section : sections)
        sectionNames.insert(section.name);

    QSet<QString> topLevel;
    for (const ReportFile::Section &section : sections) {
        QSet<QString> paths;
        for (const ReportFile::Query &query : section.queries) {
            if (paths.contains(query.path))
                malformed(path, query.line, QStringLiteral("the query %1 is defined twice.").arg(query.path));
            if (!query.parent().isEmpty() && !paths.contains(query.parent()))
                malformed(path, query.line,
                          QStringLiteral("the query %1 needs its parent %2 defined above it.")
                              .arg(query.path, query.parent()));
            if (query.parent().isEmpty()) {
                // Every section's lists and every sub-report share the one set of names.
                if (topLevel.contains(query.path) || sectionNames.contains(query.path))
                    malformed(path, query.line,
                              QStringLiteral("the name %1 is used twice in this file.").arg(query.path));
                topLevel.insert(query.path);
            }
            paths.insert(query.path);
        }
        if (section.layout.trimmed().isEmpty())
            malformed(path, 0,
                      section.name.isEmpty()
                          ? QStringLiteral("the main report has no layout after its \"---\" line.")
                          : QStringLiteral("the sub-report %1 has no layout after its \"---\" line.")
                                .arg(section.name));
    }
}

} // namespace

ReportFile ReportFile::load(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        throw ReportError(QStringLiteral("The report file %1 could not be found.").arg(fileLabel(path)));
    if (!file.open(QIODevice::ReadOnly))
        throw ReportError(QStringLiteral("The report file %1 could not be read: %2")
                              .arg(fileLabel(path), file.errorString()));
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF))) // the mark some editors put before UTF-8 text
        text.remove(0, 1);
    return parse(text, path);
}

ReportFile ReportFile::parse(const QString &text, const QString &path)
{
    static const QRegularExpression queryLine(QStringLiteral("^query\\s+([^:\\s]+)\\s*:(.*)$"));

    ReportFile report;
    report.m_path = path;
    report.m_sections.append(Section());
    bool inHead = true;
    bool sawLayoutMark = false;
    QStringList layoutLines;

    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const int number = int(i + 1);
        Section &section = report.m_sections.last();

        if (line.startsWith(kSectionMark)) {
            if (inHead)
                malformed(path, number, QStringLiteral("a sub-report starts before the \"---\" line."));
            section.layout = layoutLines.join(QLatin1Char('\n'));
            layoutLines.clear();
            const QString name = line.mid(kSectionMark.size()).trimmed();
            if (!isName(name))
                malformed(path, number, QStringLiteral("\"%1\" is not a sub-report name.").arg(name));
            if (report.section(name))
                malformed(path, number, QStringLiteral("the sub-report %1 is defined twice.").arg(name));
            Section sub;
            sub.name = name;
            report.m_sections.append(sub);
            inHead = true;
            continue;
        }
        if (!inHead) {
            layoutLines.append(line);
            continue;
        }
        if (line.trimmed() == kLayoutMark) {
            inHead = false;
            sawLayoutMark = true;
            continue;
        }
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#')))
            continue;
        if (line.front().isSpace()) {
            // A continuation line of the query above.
            if (section.queries.isEmpty())
                malformed(path, number, QStringLiteral("an indented line follows no query."));
            section.queries.last().sql += QLatin1Char('\n') + line;
            continue;
        }
        if (line.startsWith(QLatin1String("footer:"))) {
            if (!section.name.isEmpty())
                malformed(path, number, QStringLiteral("only the main report has a footer."));
            report.m_footer = line.mid(7).trimmed();
            continue;
        }
        const QRegularExpressionMatch match = queryLine.match(line);
        if (!match.hasMatch())
            malformed(path, number,
                      QStringLiteral("expected \"query NAME: SELECT ...\", \"footer: ...\" or \"---\"."));
        Query query{match.captured(1), match.captured(2).trimmed(), number};
        const QStringList parts = query.path.split(QLatin1Char('.'));
        for (const QString &part : parts)
            if (!isName(part))
                malformed(path, number, QStringLiteral("\"%1\" is not a query name.").arg(query.path));
        section.queries.append(query);
    }
    if (!sawLayoutMark || inHead)
        malformed(path, int(lines.size()), QStringLiteral("the \"---\" line before the layout is missing."));
    report.m_sections.last().layout = layoutLines.join(QLatin1Char('\n'));

    for (const Section &section : std::as_const(report.m_sections))
        for (const Query &query : section.queries)
            if (query.sql.trimmed().isEmpty())
                malformed(path, query.line, QStringLiteral("the query %1 has no SQL.").arg(query.path));
    checkSections(report.m_sections, path);
    return report;
}

const ReportFile::Section *ReportFile::section(const QString &name) const
{
    for (const Section &section : m_sections)
        if (section.name == name)
            return &section;
    return nullptr;
}

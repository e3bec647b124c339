#pragma once

#include <QList>
#include <QString>

// A report layout as it is stored in the application folder: for each section a head of
// queries and a mustache HTML template (the format is described in data/reports/README.md).
// Section 0 is the main report; the others are sub-reports the main template includes by name.
class ReportFile
{
public:
    struct Query
    {
        QString path; // "Levels.Spells": a child query runs once per row of its parent
        QString sql;
        int line = 0;

        QString name() const { return path.section(QLatin1Char('.'), -1); }
        QString parent() const { return path.section(QLatin1Char('.'), 0, -2); }
    };

    struct Section
    {
        QString name; // "" for the main report
        QList<Query> queries;
        QString layout;
    };

    // Both throw VmError naming the file and the line when the file is missing or malformed.
    static ReportFile load(const QString &path);
    static ReportFile parse(const QString &text, const QString &path);

    const QString &path() const { return m_path; }
    const QString &footer() const { return m_footer; }
    const QList<Section> &sections() const { return m_sections; }
    const Section *section(const QString &name) const; // nullptr when the file has no such section

private:
    QString m_path;
    QString m_footer;
    QList<Section> m_sections;
};

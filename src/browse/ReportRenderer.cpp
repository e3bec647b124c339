#include "browse/ReportRenderer.h"

#include "browse/ReportError.h"
#include "browse/ReportFile.h"
#include "store/Database.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>

#include <functional>

#include <kainjow/mustache.hpp>
#include <sqlite3.h>

#include <map>
#include <memory>
#include <vector>

namespace mu = kainjow::mustache;

namespace {

using Row = QHash<QString, QString>;

// Column names become mustache names: "Area of Effect" is {{Area_of_Effect}}.
QString keyOf(const QString &column)
{
    return column.simplified().replace(QLatin1Char(' '), QLatin1Char('_'));
}

std::string utf8(const QString &text)
{
    return text.toStdString();
}

// An empty value is false to mustache, so {{#Author}}…{{/Author}} leaves out what is blank
// and {{^Author}}…{{/Author}} stands in for it.
mu::data valueOf(const QString &text)
{
    return text.isEmpty() ? mu::data(false) : mu::data(utf8(text));
}

// {{#paragraphs}}{{Description}}{{/paragraphs}}: every line of the text becomes a paragraph,
// the way a description was typed.
mu::data paragraphsLambda()
{
    return mu::data(mu::lambda2([](const std::string &text, const mu::renderer &render) {
        const QString rendered = QString::fromStdString(render(text, false));
        QString html;
        const QStringList lines = rendered.split(QLatin1Char('\n'));
        for (const QString &line : lines) {
            const QString trimmed = line.trimmed();
            if (!trimmed.isEmpty())
                html += QStringLiteral("<p>") + trimmed + QStringLiteral("</p>\n");
        }
        return utf8(html);
    }));
}

// Interrupts the connection's statements once the time is up, and only while it lives: the
// connection outlasts the report.
class Deadline
{
public:
    Deadline(Connection &library, std::chrono::milliseconds limit)
        : m_db(library.handle()), m_limit(limit), m_end(std::chrono::steady_clock::now() + limit)
    {
        // Reading the clock costs far less than the instructions between two looks at it.
        sqlite3_progress_handler(m_db, 1000, &Deadline::check, this);
    }
    ~Deadline() { sqlite3_progress_handler(m_db, 0, nullptr, nullptr); }
    Deadline(const Deadline &) = delete;
    Deadline &operator=(const Deadline &) = delete;

    // Whether a statement failed because the time was up, not for a fault of its own.
    bool passed() const { return m_passed; }

    QString limitText() const
    {
        const double seconds = double(m_limit.count()) / 1000.0;
        return QStringLiteral("%1 %2").arg(seconds).arg(seconds == 1.0 ? QStringLiteral("second")
                                                                       : QStringLiteral("seconds"));
    }

private:
    static int check(void *self)
    {
        auto *deadline = static_cast<Deadline *>(self);
        if (std::chrono::steady_clock::now() >= deadline->m_end)
            deadline->m_passed = true;
        return deadline->m_passed ? 1 : 0;
    }

    sqlite3 *m_db;
    std::chrono::milliseconds m_limit;
    std::chrono::steady_clock::time_point m_end;
    bool m_passed = false;
};

class QueryRunner
{
public:
    QueryRunner(const ReportFile &file, Connection &library, std::chrono::milliseconds timeLimit)
        : m_file(file), m_library(library), m_deadline(library, timeLimit)
    {}

    // Each top-level query's rows as a list, its child queries' rows nested in every row.
    void addSection(const ReportFile::Section &section, mu::data &root)
    {
        for (const ReportFile::Query &query : section.queries)
            if (query.parent().isEmpty()) {
                QList<const Row *> ancestors;
                root.set(utf8(query.path), run(section, query, ancestors));
            }
    }

private:
    mu::data run(const ReportFile::Section &section, const ReportFile::Query &query,
                 QList<const Row *> &ancestors)
    {
        Statement &statement = prepared(query);
        bindParameters(statement, query, ancestors);
        QStringList keys;
        for (int column = 0; column < statement.columnCount(); ++column)
            keys.append(keyOf(statement.columnName(column)));

        std::vector<mu::data> objects;
        try {
            while (statement.step()) {
                if (++m_rowsRead > ReportRenderer::kRowLimit)
                    failed(query, QStringLiteral("the report's queries return more than %1 rows in all, "
                                                 "more than a report may read.")
                                      .arg(ReportRenderer::kRowLimit));
                Row row;
                mu::data object(mu::data::type::object);
                for (int column = 0; column < keys.size(); ++column) {
                    const QString value = statement.text(column);
                    // Few rows of long values (a join repeating every description) can fill the
                    // memory before the row limit is reached.
                    m_textRead += value.size();
                    if (m_textRead > ReportRenderer::kTextLimit)
                        failed(query, QStringLiteral("the report's queries return more than %1 characters of "
                                                     "text in all, more than a report may read.")
                                          .arg(ReportRenderer::kTextLimit));
                    row.insert(keys.at(column), value);
                    object.set(utf8(keys.at(column)), valueOf(value));
                }
                ancestors.prepend(&row);
                for (const ReportFile::Query &child : section.queries)
                    if (child.parent() == query.path)
                        object.set(utf8(child.name()), run(section, child, ancestors));
                ancestors.removeFirst();
                objects.push_back(std::move(object));
            }
        } catch (const ReportError &) {
            throw; // a child query's failure, which already names that query
        } catch (const VmError &error) {
            failed(query, error);
        }
        statement.reset();

        // {{#_first}} and {{#_last}} mark the ends of a list: a separator between rows, a page
        // break before every group but the first.
        mu::data rows(mu::data::type::list);
        for (std::size_t i = 0; i < objects.size(); ++i) {
            objects[i].set("_first", mu::data(i == 0));
            objects[i].set("_last", mu::data(i + 1 == objects.size()));
            rows.push_back(objects[i]);
        }
        return rows;
    }

    Statement &prepared(const ReportFile::Query &query)
    {
        auto it = m_statements.find(query.path);
        if (it != m_statements.end())
            return *it->second;
        try {
            auto statement = std::make_unique<Statement>(m_library, query.sql);
            return *m_statements.emplace(query.path, std::move(statement)).first->second;
        } catch (const VmError &error) {
            failed(query, error);
        }
    }

    // A child query names the columns of the rows it belongs to: ":Lvl" is the parent's Lvl,
    // or the grandparent's when the parent has none.
    void bindParameters(Statement &statement, const ReportFile::Query &query,
                        const QList<const Row *> &ancestors)
    {
        for (int index = 1; index <= statement.parameterCount(); ++index) {
            const QString name = statement.parameterName(index).mid(1);
            if (name.isEmpty())
                failed(query, QStringLiteral("parameters must be named after a column, as in :Lvl."));
            const Row *owner = nullptr;
            for (const Row *row : ancestors)
                if (row->contains(name)) {
                    owner = row;
                    break;
                }
            if (!owner)
                failed(query,
                       QStringLiteral(":%1 is not a column of the rows this query belongs to.").arg(name));
            statement.bind(index, owner->value(name));
        }
    }

    [[noreturn]] void failed(const ReportFile::Query &query, const VmError &error) const
    {
        if (m_deadline.passed())
            failed(query, QStringLiteral("the report's queries ran for more than %1 in all, "
                                         "longer than a report may run.")
                              .arg(m_deadline.limitText()));
        failed(query, error.description);
    }

    [[noreturn]] void failed(const ReportFile::Query &query, const QString &why) const
    {
        throw ReportError(QStringLiteral("The report file %1 could not be run: query %2 (line %3): %4")
                              .arg(QDir::toNativeSeparators(m_file.path()), query.path)
                              .arg(query.line)
                              .arg(why));
    }

    const ReportFile &m_file;
    Connection &m_library;
    Deadline m_deadline;
    int m_rowsRead = 0;
    qsizetype m_textRead = 0;
    // Declared after the deadline, so finalized before its handler is taken off the connection.
    std::map<QString, std::unique_ptr<Statement>> m_statements;
};

[[noreturn]] void badLayout(const ReportFile &file, const QString &section, const std::string &why)
{
    const QString where = section.isEmpty() ? QStringLiteral("its layout")
                                            : QStringLiteral("the layout of the sub-report %1").arg(section);
    throw ReportError(QStringLiteral("The report file %1 could not be laid out: %2: %3")
                          .arg(QDir::toNativeSeparators(file.path()), where, QString::fromStdString(why)));
}

// The sub-reports a layout includes. Mustache passes over an unknown one in silence; a layout
// that names one is a mistake.
QStringList includesOf(const ReportFile &file, const ReportFile::Section &section)
{
    static const QRegularExpression include(QStringLiteral("\\{\\{\\s*>\\s*([^}\\s]+)\\s*\\}\\}"));
    QStringList names;
    auto matches = include.globalMatch(section.layout);
    while (matches.hasNext()) {
        const QString name = matches.next().captured(1);
        if (name.isEmpty() || !file.section(name))
            badLayout(file, section.name, "there is no sub-report " + utf8(name) + " in this file");
        names.append(name);
    }
    return names;
}

// A sub-report that includes itself, directly or through others, would be expanded without end.
void checkIncludes(const ReportFile &file)
{
    QHash<QString, QStringList> includes;
    for (const ReportFile::Section &section : file.sections())
        includes.insert(section.name, includesOf(file, section));

    enum class Visit { Open, Done };
    QHash<QString, Visit> visits;
    const std::function<void(const QString &)> visit = [&](const QString &name) {
        visits.insert(name, Visit::Open);
        for (const QString &included : includes.value(name)) {
            const auto seen = visits.constFind(included);
            if (seen == visits.constEnd())
                visit(included);
            else if (*seen == Visit::Open)
                badLayout(file, included, "it includes itself, directly or through another sub-report");
        }
        visits.insert(name, Visit::Done);
    };
    for (const ReportFile::Section &section : file.sections()) {
        if (!visits.contains(section.name))
            visit(section.name);
    }
}

void checkCompiles(const ReportFile &file, const QString &section, const QString &layout)
{
    const mu::mustache compiled(utf8(layout));
    if (!compiled.is_valid())
        badLayout(file, section, compiled.error_message());
}

std::string renderLayout(const ReportFile &file, const QString &section, const QString &layout,
                         const mu::data &root, bool escapeHtml)
{
    mu::mustache compiled(utf8(layout));
    if (!compiled.is_valid())
        badLayout(file, section, compiled.error_message());
    if (!escapeHtml)
        compiled.set_custom_escape([](const std::string &text) { return text; });
    const std::string text = compiled.render(root);
    if (!compiled.is_valid())
        badLayout(file, section, compiled.error_message());
    return text;
}

} // namespace

ReportJob ReportRenderer::render(const ReportFile &file, Connection &library,
                                 std::chrono::milliseconds timeLimit)
{
    mu::data root(mu::data::type::object);
    root.set("paragraphs", paragraphsLambda());

    checkIncludes(file);
    QueryRunner runner(file, library, timeLimit);
    for (const ReportFile::Section &section : file.sections()) {
        runner.addSection(section, root);
        if (!section.name.isEmpty()) {
            // Compiled once here so that a fault names the sub-report, not the main layout.
            checkCompiles(file, section.name, section.layout);
            const std::string layout = utf8(section.layout);
            root.set(utf8(section.name), mu::data(mu::partial([layout] { return layout; })));
        }
    }

    ReportJob job;
    job.reportFile = file.path();
    job.html =
        QString::fromStdString(renderLayout(file, QString(), file.sections().first().layout, root, true));
    if (!file.footer().isEmpty())
        job.footer =
            QString::fromStdString(renderLayout(file, QString(), file.footer(), root, false)).simplified();
    return job;
}

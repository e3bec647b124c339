#include "browse/DeckTemplate.h"

#include "browse/ReportError.h"
#include "browse/ReportFile.h"
#include "store/Database.h"

#include <QDir>
#include <QRegularExpression>

namespace {

const QStringList kKinds = {QStringLiteral("name"),        QStringLiteral("subtitle"),
                            QStringLiteral("field"),       QStringLiteral("text"),
                            QStringLiteral("band school"), QStringLiteral("band level")};

const QRegularExpression &placeholder()
{
    static const QRegularExpression pattern(QStringLiteral("\\{\\{\\s*([^}\\s]+)\\s*\\}\\}"));
    return pattern;
}

// "3rd-level · " of a spell without a school ends at its level.
QString trailingSeparators(QString text)
{
    static const QRegularExpression trailing(QStringLiteral("[\\s\u00b7,;:]+$"));
    return text.remove(trailing);
}

QString mustacheKey(const QString &column)
{
    return column.simplified().replace(QLatin1Char(' '), QLatin1Char('_'));
}

} // namespace

DeckTemplate::DeckTemplate(const ReportFile &file) : m_file(file)
{
    const QString where = QDir::toNativeSeparators(file.path());
    const QStringList lines = file.sections().first().layout.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        const QString head = colon < 0 ? line : line.left(colon).simplified();
        Part part{head, QString(), colon < 0 ? QString() : line.mid(colon + 1).trimmed(), int(i + 1)};
        if (head.startsWith(QLatin1String("field "))) {
            part.kind = QStringLiteral("field");
            part.label = head.mid(6).trimmed();
        }
        if (colon < 0 || !kKinds.contains(part.kind))
            throw ReportError(
                QStringLiteral("The deck file %1 is not a valid card description (line %2 after "
                               "\"---\"): expected one of \"name:\", \"subtitle:\", "
                               "\"field LABEL:\", \"text:\", \"band school:\" or \"band level:\".")
                    .arg(where)
                    .arg(part.line));
        m_parts.append(part);
    }
}

QList<DeckSpell> DeckTemplate::spells(Connection &library) const
{
    const ReportFile::Query *cards = nullptr;
    for (const ReportFile::Query &query : m_file.sections().first().queries)
        if (query.path == QLatin1String("Cards"))
            cards = &query;
    const QString where = QDir::toNativeSeparators(m_file.path());
    if (!cards)
        throw ReportError(QStringLiteral("The deck file %1 has no query Cards.").arg(where));

    QList<DeckSpell> spells;
    try {
        Statement statement(library, cards->sql);
        QStringList keys;
        for (int column = 0; column < statement.columnCount(); ++column)
            keys.append(mustacheKey(statement.columnName(column)));
        for (const Part &part : m_parts) {
            auto names = placeholder().globalMatch(part.text);
            while (names.hasNext()) {
                const QString name = names.next().captured(1);
                if (!keys.contains(name))
                    throw ReportError(QStringLiteral("The deck file %1 names {{%2}} (line %3 after \"---\"), "
                                                     "which is no column of the query Cards.")
                                          .arg(where, name)
                                          .arg(part.line));
            }
        }
        QHash<QString, QString> row;
        while (statement.step()) {
            for (int column = 0; column < keys.size(); ++column)
                row.insert(keys.at(column), statement.text(column));
            spells.append(fill(row));
        }
    } catch (const ReportError &) {
        throw;
    } catch (const VmError &error) {
        throw ReportError(QStringLiteral("The deck file %1 could not be run: query Cards (line %2): %3")
                              .arg(where)
                              .arg(cards->line)
                              .arg(error.description));
    }
    return spells;
}

DeckSpell DeckTemplate::fill(const QHash<QString, QString> &row) const
{
    DeckSpell spell;
    for (const Part &part : m_parts) {
        QString text;
        bool anyValue = false;
        qsizetype from = 0;
        auto names = placeholder().globalMatch(part.text);
        while (names.hasNext()) {
            const QRegularExpressionMatch match = names.next();
            const QString value = row.value(match.captured(1)).trimmed();
            anyValue = anyValue || !value.isEmpty();
            text += part.text.mid(from, match.capturedStart() - from) + value;
            from = match.capturedEnd();
        }
        text += part.text.mid(from);
        if (!anyValue && part.text.contains(QLatin1String("{{")))
            text.clear();
        if (part.kind == QLatin1String("name"))
            spell.name = text.simplified();
        else if (part.kind == QLatin1String("subtitle"))
            spell.subtitle = trailingSeparators(text.simplified());
        else if (part.kind == QLatin1String("field") && !text.trimmed().isEmpty())
            spell.fields.append({part.label, text.simplified()});
        else if (part.kind == QLatin1String("text"))
            spell.text = text;
        else if (part.kind == QLatin1String("band school"))
            spell.school = text.simplified();
        else if (part.kind == QLatin1String("band level"))
            spell.level = text.simplified();
    }
    return spell;
}

#include "widgets/SpellForm.h"

#include "store/Blanks.h"
#include "store/VM_Spell.h"
#include "widgets/FormControls.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>

using namespace SpellFields;

namespace {

const QString kSpecial = QStringLiteral("Special");

} // namespace

SpellForm::SpellForm(QWidget *parent, Window window, const QList<Field> &fields)
    : m_window(window), m_fields(fields)
{
    for (Field field : fields) {
        const FieldDescription &described = of(field);
        const bool manage = window == Window::ManageSpells;
        QWidget *control = nullptr;
        switch (described.control) {
        case Control::Choice: {
            auto *combo = new QComboBox(parent);
            combo->setEditable(false);
            control = combo;
            break;
        }
        case Control::Line:
            control = new QLineEdit(parent);
            break;
        case Control::Text: {
            auto *text = new QTextEdit(parent);
            text->setAcceptRichText(false);
            text->setTabChangesFocus(true);
            control = text;
            break;
        }
        }
        control->setObjectName(QLatin1String(manage ? described.manageName : described.importName));
        m_controls.insert(field, control);
        const QLatin1String caption(manage ? described.manageLabel : described.importLabel);
        if (caption.size() > 0) {
            auto *label = new QLabel(caption, parent);
            label->setBuddy(control);
            m_labels.insert(field, label);
        }
    }
    refill();
}

void SpellForm::refill()
{
    for (Field field : std::as_const(m_fields)) {
        if (auto *combo = qobject_cast<QComboBox *>(control(field)))
            FormControls::refill(combo, of(field).choices());
    }
}

void SpellForm::clear()
{
    for (QWidget *control : std::as_const(m_controls)) {
        if (auto *combo = qobject_cast<QComboBox *>(control))
            FormControls::choose(combo, QString());
        else if (auto *line = qobject_cast<QLineEdit *>(control))
            line->clear();
        else if (auto *text = qobject_cast<QTextEdit *>(control))
            text->clear();
    }
    if (QWidget *castingTime = control(CastingTime))
        castingTime->setEnabled(true);
}

void SpellForm::show(const VM_Spell &spell)
{
    for (Field field : std::as_const(m_fields)) {
        QWidget *shown = control(field);
        const QString stored = value(spell, field);
        if (auto *combo = qobject_cast<QComboBox *>(shown)) {
            FormControls::choose(combo, stored.trimmed());
        } else if (auto *line = qobject_cast<QLineEdit *>(shown)) {
            line->setText(stored);
            line->setCursorPosition(0);
        } else if (auto *text = qobject_cast<QTextEdit *>(shown)) {
            text->setPlainText(stored);
        }
    }
    if (QWidget *castingTime = control(CastingTime))
        castingTime->setEnabled(text(CastingTimeType) != kSpecial);
}

QString SpellForm::text(Field field) const
{
    const QWidget *shown = control(field);
    if (const auto *combo = qobject_cast<const QComboBox *>(shown))
        return FormControls::chosenValue(combo);
    if (const auto *line = qobject_cast<const QLineEdit *>(shown))
        return line->text();
    if (const auto *text = qobject_cast<const QTextEdit *>(shown))
        return text->toPlainText();
    return {};
}

QString SpellForm::storedText(Field field) const
{
    QString shown = text(field);
    if (m_window == Window::ManageSpells)
        return shown.trimmed();
    if (field == Description)
        shown.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return trimBlanks(shown);
}

QStringList SpellForm::texts() const
{
    QStringList shown;
    for (Field field : m_fields)
        shown.append(text(field));
    return shown;
}

void SpellForm::storeInto(VM_Spell &spell) const
{
    for (Field field : m_fields)
        setValue(spell, field, storedText(field));
}

std::optional<SpellForm::Problem> SpellForm::problem(const Refusal &refusalOf) const
{
    for (Field field : m_fields) {
        const QString message = refusalOf(field, storedText(field));
        if (!message.isEmpty())
            return Problem{field, message};
    }
    return std::nullopt;
}

void SpellForm::castingTimeTypeChosen()
{
    auto *castingTime = qobject_cast<QLineEdit *>(control(CastingTime));
    if (!castingTime)
        return;
    const bool special = text(CastingTimeType) == kSpecial;
    if (special)
        castingTime->clear();
    castingTime->setEnabled(!special);
}

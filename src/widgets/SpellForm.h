#pragma once

#include "store/SpellFields.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QLabel;
class QWidget;
class VM_Spell;

// The controls of a spell's details in one form, made, filled, read back and checked from the
// field description (store/SpellFields.h). A window places the controls; everything else it
// does with a detail goes through here. Drop-downs keep a stored value they do not offer, shown
// greyed and read back unchanged (FormControls::choose).
class SpellForm
{
public:
    // The two forms differ in the names and labels of their controls and in how they store a
    // value: the manage-spells window trims all white space, the import window trims blanks only
    // and keeps a description's line breaks as a file carries them (CR LF).
    enum class Window { ManageSpells, Import };

    // Makes the controls of these details, in this order (the order they are checked in).
    SpellForm(QWidget *parent, Window window, const QList<SpellFields::Field> &fields);

    const QList<SpellFields::Field> &fields() const { return m_fields; }
    QWidget *control(SpellFields::Field field) const { return m_controls.value(field); }
    // The label that names the control; none for a detail its window names otherwise.
    QLabel *label(SpellFields::Field field) const { return m_labels.value(field); }

    // The drop-downs refilled from their lists, without a choice.
    void refill();
    // Every detail emptied; the casting time may be typed.
    void clear();
    // The spell's details, a long value shown from its beginning.
    void show(const VM_Spell &spell);
    // A detail as shown: the choice (or the stored value kept), the text typed.
    QString text(SpellFields::Field field) const;
    // A detail as it would be stored.
    QString storedText(SpellFields::Field field) const;
    // Every detail as shown, in form order: what the user could have changed.
    QStringList texts() const;
    // Writes every detail, as it would be stored, into the spell.
    void storeInto(VM_Spell &spell) const;

    // The first detail whose stored value the rules refuse (ExchangeRules::detailRefusal: too
    // long, a control character, what no spells file could carry), with the message saying what
    // to change.
    struct Problem
    {
        SpellFields::Field field;
        QString message;
    };
    using Refusal = std::function<QString(SpellFields::Field, const QString &stored)>;
    std::optional<Problem> problem(const Refusal &refusalOf) const;

    // A unit chosen by the user: "Special" empties the casting time and closes it, any other opens it.
    void castingTimeTypeChosen();

private:
    Window m_window;
    QList<SpellFields::Field> m_fields;
    QHash<SpellFields::Field, QWidget *> m_controls;
    QHash<SpellFields::Field, QLabel *> m_labels;
};

#include "scrolls/ScrollDetails.h"

#include "store/VM_Library.h"
#include "widgets/BusyCursor.h"
#include "widgets/Prompt.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>

ScrollDetails::ScrollDetails(QWidget *parent, const QString &nameObject, const QString &casterObject,
                             int casterWidth)
{
    box = new QGroupBox(QStringLiteral("Scroll Details"), parent);
    box->setObjectName(QStringLiteral("Frame_Details"));
    name = new QLineEdit(box);
    name->setObjectName(nameObject);
    caster = new QComboBox(box);
    caster->setObjectName(casterObject);
    caster->setEditable(true);
    caster->setInsertPolicy(QComboBox::NoInsert);
    caster->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    caster->setMinimumContentsLength(casterWidth);
    auto *form = new QFormLayout(box);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(QStringLiteral("Scroll Name"), name);
    form->addRow(QStringLiteral("Caster Name"), caster);
}

bool ScrollDetails::nameIsFree(QWidget *window, VM_Library &library, const QString &name,
                               const QString &caster, QWidget *nameBox)
{
    QString status;
    {
        BusyCursor busy;
        status = library.DoesScrollExist(name, caster);
    }
    if (!Prompt::failed(window, status))
        return true;
    nameBox->setFocus();
    return false;
}

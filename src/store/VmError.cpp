#include "store/VmError.h"

VmError::VmError(int number, QString source, QString description)
    : number(number)
    , source(std::move(source))
    , description(std::move(description))
    , m_what(this->description.toUtf8())
{}

const char *VmError::what() const noexcept
{
    return m_what.isNull() ? "" : m_what.constData();
}

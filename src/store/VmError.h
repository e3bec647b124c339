#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// An error raised to a window: the window shows description, the others say where it came from.
struct VmError : std::exception
{
    VmError() = default;
    VmError(int number, QString source, QString description);

    int number = 0;
    QString source;
    QString description;

    const char *what() const noexcept override;

private:
    QByteArray m_what;
};

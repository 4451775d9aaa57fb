#include "ScratchDir.h"

#include <QFile>

#include <stdexcept>

ScratchDir::ScratchDir()
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a scratch folder");
}

void ScratchDir::write(const QString& name, const QByteArray& bytes) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write scratch file");
}

QByteArray ScratchDir::read(const QString& name) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

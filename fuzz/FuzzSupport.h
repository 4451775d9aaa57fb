#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// Readers that take a path get the fuzz input through a file in a private
// scratch folder (on tmpfs when there is one), rewritten for every input.
class FuzzFile
{
public:
    FuzzFile(const char* name);
    ~FuzzFile();
    FuzzFile(const FuzzFile&) = delete;
    FuzzFile& operator=(const FuzzFile&) = delete;

    // Replaces the file's contents; returns its path.
    const QString& Write(const std::uint8_t* data, std::size_t size);
    const QString& Path() const { return path_; }
    const QString& Folder() const { return folder_; }

private:
    QString folder_;
    QString path_;
};

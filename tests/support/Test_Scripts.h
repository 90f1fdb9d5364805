#pragma once

#include <QFile>
#include <QString>

#include "support/Test_Files.h"

// Writes an executable shell script.
inline void Write_Script(const QString& path, const QString& body) {
    Write_Text(path, QStringLiteral("#!/bin/sh\n") + body);
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner |
                                    QFileDevice::ExeGroup | QFileDevice::ExeOther);
}

#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <gtest/gtest.h>
#include <optional>

#include "support/Test_Files.h"

// The tree that the package lays out, inside a temporary folder: the executables in usr/bin, the
// shipped files in usr/share/tessaro, and a home whose per-user data folder is
// home/.local/share/Tessaro.
class Installed_Tree {
public:
    Installed_Tree() {
        EXPECT_TRUE(QDir().mkpath(Bin()));
        EXPECT_TRUE(QDir().mkpath(Shipped_Languages()));
    }
    QString Root() const { return root_.Path(); }
    QString Bin() const { return root_.File("usr/bin"); }
    QString Share() const { return root_.File("usr/share/tessaro"); }
    QString Shipped_Languages() const { return Share() + "/LANGUAGE"; }
    QString Data_Home() const { return root_.File("home/.local/share"); }
    QString Data() const { return Data_Home() + "/Tessaro"; }
    // Entries of the bin folder, to show that the program put nothing there.
    QStringList Bin_Entries() const {
        return QDir(Bin()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                     QDir::Name);
    }

private:
    Temp_Folder root_;
};

// Sets an environment variable for the life of the object.
class Scoped_Env {
public:
    Scoped_Env(const char* name, const QString& value)
        : name_(name) {
        if (qEnvironmentVariableIsSet(name))
            old_ = qgetenv(name);
        qputenv(name, value.toLocal8Bit());
    }
    ~Scoped_Env() {
        if (old_)
            qputenv(name_, *old_);
        else
            qunsetenv(name_);
    }
    Scoped_Env(const Scoped_Env&) = delete;
    Scoped_Env& operator=(const Scoped_Env&) = delete;

private:
    const char* name_;
    std::optional<QByteArray> old_;
};

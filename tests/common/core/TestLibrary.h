#pragma once

// With what nearly every library test reads its results through.
#include "Files.h"
#include "QtPrinters.h"
#include "Raised.h"
#include "TableText.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/VM_Library.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

// A fresh, empty library in a temporary application folder for one test. Helpers add rows
// directly with SQL, so a test states its starting point without going through the code under
// test.
class TestLibrary
{
public:
    TestLibrary();
    ~TestLibrary();

    QString folder() const { return m_dir.path(); }
    QString path() const;
    Connection &db();

    void addSchool(const QString &name, const QString &description = QString());
    // A spell with the given level and schools; the other columns get plain values.
    void addSpell(const QString &name, const QString &level, const QStringList &schools,
                  const QString &frequency = QStringLiteral("Common"));
    void addCaster(const QString &name);
    void addToSpellbook(const QString &caster, const QString &spell, const QString &level = QString());
    void addFailed(const QString &caster, const QString &spell, const QString &level = QString());
    // The report layouts the program delivers, copied into the application folder.
    void addReportFiles();

    // Sets columns of one spell, {column, value} each; a null value stores NULL.
    void setSpell(const QString &name, const QList<std::pair<QString, QString>> &columns);

    // Rows of a query, its "?" bound to the values in order, each row's columns joined with "|".
    QStringList rows(const QString &sql, const QStringList &values = {});
    int count(const QString &sql);
    // Every row of every table, to prove an operation left the library as it was.
    QStringList dump();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Connection> m_connection;
};

// Runs a test body's store objects against a library of its own.
class LibraryTest : public ::testing::Test
{
protected:
    TestLibrary library;
};

#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// Runs a test in a fresh temporary working directory and restores the old one.
class ScopedWorkDir
{
public:
    ScopedWorkDir();
    ~ScopedWorkDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Replaces the message, input and beep boxes for the lifetime of the object:
// every text shown is recorded, input boxes are answered from `answers` in
// order (a null QString stands for Cancel), beeps are counted.
class MessageRecorder
{
public:
    MessageRecorder();
    ~MessageRecorder();
    QStringList shown;
    QStringList titles;
    QStringList prompts;
    QStringList answers;
    int beeps = 0;
};

#include "support/testsupport.h"

#include "data/messages.h"

#include <QDir>

ScopedWorkDir::ScopedWorkDir() : m_previous(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
}

ScopedWorkDir::~ScopedWorkDir()
{
    QDir::setCurrent(m_previous);
}

MessageRecorder::MessageRecorder()
{
    Messages::setShowHandler([this](const QString &text, const QString &title) {
        shown << text;
        titles << title;
    });
    Messages::setInputHandler([this](const QString &prompt, const QString &, const QString &) {
        prompts << prompt;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    });
    Messages::setBeepHandler([this] { ++beeps; });
}

MessageRecorder::~MessageRecorder()
{
    Messages::setShowHandler([](const QString &, const QString &) {});
    Messages::setInputHandler([](const QString &, const QString &, const QString &) { return QString(); });
    Messages::setBeepHandler([] {});
}

#include "data/dataformcommands.h"

#include "data/command.h"
#include "data/messages.h"
#include "data/recordsource.h"

bool DataFormCommands::add()
{
    return runCommand([this] { m_source->addNew(); });
}

bool DataFormCommands::deleteRecord()
{
    return runCommand([this] {
        m_source->deleteCurrent();
        m_source->moveNext();
        if (m_source->isEOF() && m_source->recordCount() > 0)
            m_source->moveLast();
    });
}

bool DataFormCommands::refresh()
{
    return runCommand([this] {
        m_source->requery();
        if (m_afterRefresh)
            m_afterRefresh();
    });
}

bool DataFormCommands::update()
{
    return runCommand([this] { m_source->updateBatch(); }, m_updateFailure);
}

bool BeepingNavigator::first()
{
    return runCommand([this] {
        m_source->moveFirst();
    });
}

bool BeepingNavigator::last()
{
    return runCommand([this] {
        m_source->moveLast();
    });
}

bool BeepingNavigator::next()
{
    return runCommand([this] {
        if (!m_source->isEOF()) {
            m_source->moveNext();
            if (m_source->isEOF() && m_source->recordCount() > 0) {
                Messages::beep();
                m_source->moveLast();
            }
        }
    });
}

bool BeepingNavigator::previous()
{
    return runCommand([this] {
        if (!m_source->isBOF()) {
            m_source->movePrevious();
            if (m_source->isBOF() && m_source->recordCount() > 0) {
                Messages::beep();
                m_source->moveFirst();
            }
        }
    });
}

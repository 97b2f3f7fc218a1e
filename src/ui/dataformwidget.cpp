#include "ui/dataformwidget.h"

#include <QHBoxLayout>
#include <QPushButton>

DataFormWidget::DataFormWidget(RecordSource *source, int commands, QWidget *parent)
    : QWidget(parent), m_commands(source)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    static const struct { Command command; const char *name; const char *caption; } defs[] = {
        {Add, "cmdAdd", "&Add"},           {Delete, "cmdDelete", "&Delete"},
        {Refresh, "cmdRefresh", "&Refresh"}, {Update, "cmdUpdate", "&Update"},
        {Close, "cmdClose", "&Close"}};
    for (int i = 0; i < 5; ++i) {
        if (!(commands & defs[i].command))
            continue;
        auto *b = new QPushButton(QString::fromLatin1(defs[i].caption), this);
        b->setObjectName(QString::fromLatin1(defs[i].name));
        layout->addWidget(b);
        m_buttons[i] = b;
        switch (defs[i].command) {
        case Add: connect(b, &QPushButton::clicked, this, [this] { m_commands.add(); }); break;
        case Delete: connect(b, &QPushButton::clicked, this, [this] { m_commands.deleteRecord(); }); break;
        case Refresh: connect(b, &QPushButton::clicked, this, [this] { m_commands.refresh(); }); break;
        case Update: connect(b, &QPushButton::clicked, this, [this] { m_commands.update(); }); break;
        default: connect(b, &QPushButton::clicked, this, &DataFormWidget::closeRequested); break;
        }
    }
}

QPushButton *DataFormWidget::button(Command command) const
{
    for (int i = 0; i < 5; ++i)
        if ((1 << i) == command)
            return m_buttons[i];
    return nullptr;
}

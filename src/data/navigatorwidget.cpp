#include "data/navigatorwidget.h"

#include "data/recordsource.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

NavigatorWidget::NavigatorWidget(RecordSource *source, QWidget *parent) : QWidget(parent), m_source(source)
{
    setObjectName(source->objectName());
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_caption = new QLabel(source->caption(), this);
    m_caption->setObjectName(source->objectName() + "_caption");
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setFrameShape(QFrame::StyledPanel);
    m_caption->setMinimumWidth(m_caption->fontMetrics().horizontalAdvance("Record: 00000") + 12);
    layout->addWidget(button("First", "First", QStyle::SP_MediaSkipBackward));
    layout->addWidget(button("Previous", "Previous", QStyle::SP_MediaSeekBackward));
    layout->addWidget(m_caption, 1);
    layout->addWidget(button("Next", "Next", QStyle::SP_MediaSeekForward));
    layout->addWidget(button("Last", "Last", QStyle::SP_MediaSkipForward));
    connect(source, &RecordSource::captionChanged, m_caption, &QLabel::setText);
}

QToolButton *NavigatorWidget::button(const QString &name, const QString &accessible, int icon)
{
    auto *b = new QToolButton(this);
    b->setObjectName(objectName() + "_" + name);
    b->setIcon(style()->standardIcon(QStyle::StandardPixmap(icon)));
    b->setAccessibleName(accessible);
    b->setToolTip(accessible);
    b->setAutoRaise(true);
    RecordSource::Move move = RecordSource::Move::First;
    if (name == "Previous")
        move = RecordSource::Move::Previous;
    else if (name == "Next")
        move = RecordSource::Move::Next;
    else if (name == "Last")
        move = RecordSource::Move::Last;
    connect(b, &QToolButton::clicked, this, [this, move] { m_source->navigate(move); });
    return b;
}

#include "ui/navigatorwidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

NavigatorWidget::NavigatorWidget(RecordSource *source, QWidget *parent)
    : NavigatorWidget(source,
                      {source->objectName() + "_First", source->objectName() + "_Previous",
                       source->objectName() + "_Next", source->objectName() + "_Last"},
                      parent)
{
    connect(this, &NavigatorWidget::moveRequested, source, &RecordSource::navigate);
}

NavigatorWidget::NavigatorWidget(RecordSource *source, const QStringList &buttonNames, QWidget *parent)
    : QWidget(parent), m_source(source)
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
    // A screen reader reads the caption itself ("Record: 12"): a label that
    // shows a value keeps its text as its name; what it is goes to the description.
    m_caption->setAccessibleDescription("Record position");
    using M = RecordSource::Move;
    // A window without a first or last button leaves its name empty.
    auto add = [&](int index, M move) {
        if (!buttonNames.value(index).isEmpty())
            layout->addWidget(button(buttonNames.value(index), move));
    };
    add(0, M::First);
    add(1, M::Previous);
    layout->addWidget(m_caption, 1);
    add(2, M::Next);
    add(3, M::Last);
    connect(source, &RecordSource::captionChanged, m_caption, &QLabel::setText);
}

QToolButton *NavigatorWidget::button(const QString &name, RecordSource::Move move)
{
    static const struct { const char *label; QStyle::StandardPixmap icon; } faces[] = {
        {"First", QStyle::SP_MediaSkipBackward},
        {"Previous", QStyle::SP_MediaSeekBackward},
        {"Next", QStyle::SP_MediaSeekForward},
        {"Last", QStyle::SP_MediaSkipForward}};
    const auto &face = faces[int(move)];
    auto *b = new QToolButton(this);
    b->setObjectName(name);
    b->setIcon(style()->standardIcon(face.icon));
    b->setAccessibleName(face.label);
    b->setToolTip(face.label);
    b->setAutoRaise(true);
    connect(b, &QToolButton::clicked, this, [this, move] { emit moveRequested(move); });
    return b;
}

#pragma once

#include "data/recordsource.h"

#include <QStringList>
#include <QWidget>

class QLabel;
class QToolButton;

// The visible face of a bound record source: first, previous, next and last
// buttons around its caption. By default a button makes the clamped move
// itself, reporting errors through the record source's Error event; a window
// that moves in steps of its own names the buttons and takes moveRequested.
class NavigatorWidget : public QWidget
{
    Q_OBJECT
public:
    explicit NavigatorWidget(RecordSource *source, QWidget *parent = nullptr);
    // buttonNames: first, previous, next, last.
    NavigatorWidget(RecordSource *source, const QStringList &buttonNames, QWidget *parent = nullptr);
    RecordSource *source() const { return m_source; }
    QLabel *captionLabel() const { return m_caption; }

signals:
    void moveRequested(RecordSource::Move move);

private:
    QToolButton *button(const QString &name, RecordSource::Move move);
    RecordSource *m_source;
    QLabel *m_caption;
};

#pragma once

#include <QWidget>

class QLabel;
class QToolButton;
class RecordSource;

// The visible face of a bound record source: first, previous, next and last
// buttons around its caption. Moves clamp at the ends and report errors
// through the record source's Error event.
class NavigatorWidget : public QWidget
{
    Q_OBJECT
public:
    explicit NavigatorWidget(RecordSource *source, QWidget *parent = nullptr);
    RecordSource *source() const { return m_source; }
    QLabel *captionLabel() const { return m_caption; }

private:
    QToolButton *button(const QString &name, const QString &accessible, int icon);
    RecordSource *m_source;
    QLabel *m_caption;
};

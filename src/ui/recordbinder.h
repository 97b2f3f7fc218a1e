#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <vector>

class QWidget;
class RecordSource;

// Binds text boxes (QLineEdit, QPlainTextEdit, QTextEdit), combo boxes (their
// current text) and check boxes to a record source by column name. Controls
// show the current row after every move; what the user typed is handed to the
// record source just before it leaves the row or writes it. Read-only
// controls and the table's integer key are shown, never written back.
class RecordBinder : public QObject
{
    Q_OBJECT
public:
    explicit RecordBinder(RecordSource *source, QObject *parent = nullptr);

    void bind(QWidget *control, const QString &column);
    // Shows the current row in every bound control.
    void load();
    // Hands every changed control's text to the record source.
    void save();
    QString columnOf(const QWidget *control) const;

private:
    struct Binding
    {
        QPointer<QWidget> control;
        QString column;
    };
    void loadOne(const Binding &b);
    void saveOne(const Binding &b);

    RecordSource *m_source;
    std::vector<Binding> m_bindings;
    bool m_loading = false;
};

#pragma once

#include <QSortFilterProxyModel>
#include <QStringList>
#include <QTime>

#include <vector>

class RecordSource;
class RecordTableModel;

// A grid's rows of a record source in the order the user asks for by clicking
// a heading, ordered by typed values (dates as dates, clock times as times,
// numbers as numbers) rather than by their texts; values that cannot be read
// as the column's kind come last either way, and ties fall to the
// tie-breaking columns in turn.
class SortedRecordModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    enum class Order { Auto, Text, Number, ClockTime };
    struct Column
    {
        QString name;    // column of the source
        QString heading; // header text
        Order order = Order::Auto;
        Qt::Alignment alignment = {};
    };

    explicit SortedRecordModel(QObject *parent = nullptr);

    void setColumns(const std::vector<Column> &columns);
    void setTieBreakers(const QStringList &columns);
    void setSource(RecordSource *source);
    RecordTableModel *table() const { return m_table; }

    // The text a cell shows, by shown row and column name.
    QString text(int row, const QString &column) const;

    // A clock time as the logbooks write it: "8:15 PM", "08:15pm", "20:15",
    // "9:05:30 AM"; invalid when the text is none.
    static QTime clockTime(const QString &text);

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    struct Kind
    {
        QString name;
        Order order = Order::Text;
        bool date = false;
    };
    Kind kindOf(const QString &name, Order wanted) const;
    void resolveKinds();
    bool readable(int row, const Kind &k) const;
    int compare(int a, int b, const Kind &k) const;

    RecordTableModel *m_table;
    std::vector<Column> m_columns;
    QStringList m_tieBreakers;
    std::vector<Kind> m_kinds; // one a shown column
    std::vector<Kind> m_ties;
};

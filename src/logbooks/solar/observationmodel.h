#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>
#include <QTime>

#include <vector>

class RecordSource;

// A read-only table over the rows of a record source, for a grid beside a
// form: the columns a window chooses, under readable headings, dates shown
// M/d/yyyy, rows ordered by typed values (dates as dates, clock times as
// times, numbers as numbers) rather than by their texts. Rebinding to another
// source, or to the same one after it moved, rereads the rows.
class ObservationModel : public QAbstractTableModel
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

    explicit ObservationModel(QObject *parent = nullptr);

    // The shown columns; without any, every column of the source under its name.
    void setColumns(const std::vector<Column> &columns);
    // Columns that break ties, in turn, after the one sorted on.
    void setTieBreakers(const QStringList &columns);
    void setSource(RecordSource *source);
    RecordSource *source() const { return m_source; }
    // Rereads the rows of the source (after it was requeried or moved).
    void reload();

    // The text a cell shows, by shown row and column name.
    QString text(int row, const QString &column) const;
    int columnOf(const QString &name) const;
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    // A clock time as the logbooks write it: "8:15 PM", "08:15pm", "20:15",
    // "9:05:30 AM"; invalid when the text is none.
    static QTime clockTime(const QString &text);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    struct Shown
    {
        Column column;
        int sourceIndex = -1;
        Order order = Order::Text;
        bool date = false;
    };
    void resolveColumns();
    void order();
    QVariant rawValue(int sourceRow, const Shown &c) const;
    QString shownText(int sourceRow, const Shown &c) const;
    bool readable(int row, const Shown &c) const;
    int compare(int a, int b, const Shown &c) const;

    QPointer<RecordSource> m_source;
    std::vector<Column> m_wanted;
    QStringList m_tieBreakers;
    std::vector<Shown> m_columns;
    std::vector<Shown> m_ties;
    std::vector<int> m_rows; // shown row -> row of the source
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

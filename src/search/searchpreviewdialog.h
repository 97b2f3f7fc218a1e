#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QTableView;
class RecordSource;
class RecordTableModel;

// frmSac725, "Screen Preview": the search of Module1::Search run on a
// connection of its own, in a grid with the count of the rows retrieved.
class SearchPreviewDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SearchPreviewDialog(QWidget *parent = nullptr);
    ~SearchPreviewDialog() override;

    RecordSource *rows() const { return m_rows; }

    // Grid widths are given in twips; the screen has 15 to the pixel.
    static int twips(int value) { return value / 15; }

public slots:
    void printSearch();
    void done(int result) override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void load();

    RecordSource *m_rows;
    RecordTableModel *m_model;
    QTableView *m_grid;
    QLineEdit *m_count;
    QPushButton *m_print;
    QPushButton *m_close;
};

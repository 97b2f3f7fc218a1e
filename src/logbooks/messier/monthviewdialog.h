#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;
class RecordSource;
class RecordBinder;
class BeepingNavigator;

// frmmonth_view: the observing notes of the month in MonthKey, on a row set
// of its own.
class MonthViewDialog : public QDialog
{
    Q_OBJECT
public:
    explicit MonthViewDialog(QWidget *parent = nullptr);
    ~MonthViewDialog() override;

    static QString queryFor(const QString &monthKey);
    RecordSource *rows() const { return m_rows; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    RecordSource *m_rows;
    RecordBinder *m_binder;
    BeepingNavigator *m_nav;
    bool moveByKey(const QKeyEvent *event);

    QLabel *m_status;
    QPlainTextEdit *m_notes = nullptr;
};

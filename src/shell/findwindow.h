#pragma once

#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;
class Store;

// "Find": one box for every logbook. What is typed is looked up at once in
// every catalogue by any name (designations, other designations, common,
// Bayer and Flamsteed names); a double-click, Enter or "Open" opens the
// object's logbook on its row.
class FindWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr const char *kWindowName = "frmfind";

    explicit FindWindow(QWidget *parent = nullptr);
    ~FindWindow() override;

    // Looks up `text` as typing it does.
    void findText(const QString &text);
    int rowCount() const;
    // Opens the logbook of the row shown at `row`; false when it could not.
    bool openRow(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void lookUp();

    QLineEdit *m_text;
    QTableView *m_table;
    QStandardItemModel *m_model;
    QLabel *m_status;
    QPushButton *m_open;
    std::shared_ptr<Store> m_store;
};

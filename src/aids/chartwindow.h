#pragma once

#include "aids/objectchart.h"
#include "data/equipment.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPrinter;
class Store;

// frmchart: a chart of any object, with the fields of the register's
// telescope and eyepiece and of a finder drawn about it; printable. The
// logbooks and Tonight open it through the registry and name the object.
class ChartWindow : public QWidget
{
    Q_OBJECT
public:
    explicit ChartWindow(QWidget *parent = nullptr);

    // Charts the object a designation or name gives ("NGC 891", "m 31").
    Q_INVOKABLE void showObject(const QString &designation);

    const ObjectChart &chart() const { return m_chart; }
    bool hasChart() const { return m_drawn; }
    // The chart on the printer's page, as large as the page allows.
    void printTo(QPrinter &printer) const;

private:
    void fillEquipment();
    void redraw();
    void print();

    std::shared_ptr<Store> m_store;
    ObjectChart m_chart;
    bool m_drawn = false;
    std::vector<EquipmentItem> m_scopes, m_eyepieces, m_finders;

    QLineEdit *m_object = nullptr;
    QComboBox *m_scope = nullptr;
    QComboBox *m_eyepiece = nullptr;
    QComboBox *m_finder = nullptr;
    QLabel *m_picture = nullptr;
    QLabel *m_status = nullptr;
};

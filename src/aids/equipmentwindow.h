#pragma once

#include "data/equipment.h"

#include <QWidget>

#include <map>
#include <memory>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;
class QTableWidget;
class Store;
namespace SQLite {
class Database;
}

// "Equipment and Sites": the register, one list per kind beside the form of
// the chosen item. Like a logbook, moving to another item or closing writes
// what was typed; a refused write keeps the form as it is.
class EquipmentWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr const char *kWindowName = "frmequipment";
    static constexpr const char *kDeleteWindow = "frmequipment_delete";
    static constexpr const char *kUsesWindow = "frmequipment_uses";
    // This window, its delete confirmation and its grid of observations.
    static void registerWindows();

    explicit EquipmentWindow(QWidget *parent = nullptr);

    void showKind(EquipmentItem::Kind kind);
    // Selects the item of the current kind by name; false when there is none.
    bool selectItem(const QString &name);
    // Starts a new item of the current kind (writing the form first).
    bool newItem();
    // Writes the form; false (with a message, nothing stored) on bad input.
    bool save();
    // The question "Yes, Delete" answers, for the current item.
    QString deleteQuestion() const;
    // Deletes the current item; false (with a message) when observations use it.
    bool deleteCurrent();
    qint64 currentId() const { return m_current.id; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildList();
    void buildForm();
    void loadList(qint64 select);
    void loadForm(const EquipmentItem &item);
    bool readForm(EquipmentItem &item);
    bool formChanged() const;
    bool leaveForm(); // writes pending edits; false keeps the form
    void updateRows();
    void askDelete();
    void showUses();
    SQLite::Database &db() const;

    std::shared_ptr<Store> m_store;

    QTabBar *m_kinds;
    QTableWidget *m_list;
    QFormLayout *m_form;
    QLineEdit *m_name;
    QCheckBox *m_default;
    std::map<QString, QLineEdit *> m_numbers; // by objectName
    QLineEdit *m_surname, *m_mount, *m_wratten;
    QComboBox *m_type, *m_zone;
    QLabel *m_usage;
    QPushButton *m_new, *m_save, *m_delete, *m_close;

    EquipmentItem::Kind m_kind = EquipmentItem::Kind::Observer;
    EquipmentItem m_current; // as stored (id 0: a new item)
    bool m_loading = false;
    bool m_dirty = false; // typed since the form was loaded
};

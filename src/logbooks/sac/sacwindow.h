#pragma once

#include "ui/logbookwindow.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolBar;
class QWidget;

namespace SacLogbook {
struct CatalogFilterItem;
}

// frmngc: the SAC deep-sky catalogue, one object at a time, with the
// catalogue filter, the jumps by NGC number and by other designation, the
// simple search, the worksheet marks and the editing mode of the catalogue's
// own columns.
class SacWindow : public LogbookWindow
{
    Q_OBJECT
public:
    explicit SacWindow(QWidget *parent = nullptr);

    // How many rows came with the catalogue; rows after them are the user's.
    int originalRows() const { return m_originalRows; }
    bool isEditing() const { return m_editing; }

    void applyCatalogFilter(const QString &menuItem); // "all", "messier", ...
    void goToNgcNumber();                             // Command1
    void goToDesignation(const QString &entry);       // Combo1, Combo2
    void simpleSearch();                              // Command8
    void clearReportSelections();                     // Command23
    void singleItemReport(const QString &file, bool testWindow);

    // The editing mode: unlocks the catalogue's columns and shows the editing row.
    void setEditing(bool on);
    void addRecord();         // Command16
    void updateRecord();      // Command17
    void deleteAddedRecord(); // Command20

protected:
    void ownAction(const QString &key) override;
    bool keepsLastRow(const QString &remembered) const override;
    void unload() override;
    void showAllRows() override { applyCatalogFilter("all"); }

private:
    void buildOwnParts();
    void buildFindBar();
    void buildSearch();
    void buildWorksheet();
    void buildEditRow();
    void fillDesignationLists();
    void startWorksheetTimer(QTimer *timer);
    void busy(bool on);

    int m_originalRows = 0;
    bool m_editing = false;
    int m_heightBeforeEditing = 0;
    QLineEdit *m_text16 = nullptr;
    QLineEdit *m_text30 = nullptr;
    QLineEdit *m_text13 = nullptr;
    QLineEdit *m_text14 = nullptr;
    QComboBox *m_combo1 = nullptr;
    QComboBox *m_combo2 = nullptr;
    QComboBox *m_combo3 = nullptr;
    QPushButton *m_command1 = nullptr;
    QTimer *m_timer1 = nullptr;
    QTimer *m_timer2 = nullptr;
    QWidget *m_editRow = nullptr;
    QToolBar *m_editBar = nullptr;
};

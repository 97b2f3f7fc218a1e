#pragma once

#include "ui/logbookwindow.h"

class QComboBox;
class QLineEdit;
class QTimer;

// frmgeneric: the user's own objects. New rows are entered in an add mode
// with their own save and cancel buttons; a text search looks through the
// notes or the descriptions; "Refresh Data" saves the row and finds it again
// by its ID.
class CustomWindow : public LogbookWindow
{
    Q_OBJECT
public:
    explicit CustomWindow(QWidget *parent = nullptr);

    bool inAddMode() const { return m_addMode; }

    void search();        // Command7 "&Go"
    void startAdd();      // Command3 "Add &New Item"
    void saveAdded();     // Command5 "Update Record"
    void cancelAdd();     // Command6 "&Cancel Add"
    void refreshData();   // Command8 "&Refresh Data"
    void confirmDelete(); // Command4 "&Delete Item"

protected:
    bool navigate(Nav nav) override;
    void unload() override;

private:
    void buildOwnParts();
    void leaveAddMode();
    void onSaved();  // Timer1
    void onRefind(); // Timer2

    QLineEdit *m_text1;
    QComboBox *m_combo1;
    QLineEdit *m_text2;
    QTimer *m_timer1;
    QTimer *m_timer2;
    bool m_addMode = false;
    bool m_newRowUnsaved = false;
};

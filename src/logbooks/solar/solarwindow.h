#pragma once

#include "ui/logbookwindow.h"

class DataFormWidget;
class SortedRecordModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class PictureBox;
class QTableView;

// frmplanet: the bodies of the solar system in `sort` order with their
// physical data and picture, and below them the grid of the current body's
// observations, which are added and edited in windows of their own.
class SolarWindow : public LogbookWindow
{
    Q_OBJECT
public:
    explicit SolarWindow(QWidget *parent = nullptr);

    void chooseBody(const QString &name); // Combo1
    void nextBody();                      // Command11
    void previousBody();                  // Command12
    // Re-runs the query and comes back to the body it was on, re-reading the
    // grid; runs on activation and focus, and after an observation window.
    bool refind();
    void addRecord();  // Command1
    void editRecord(); // Command3
    void objectReport();

    QSize formSizeHint() const override;
    QTableView *grid() const { return m_grid; }
    SortedRecordModel *observations() const { return m_model; }

protected:
    void afterMove() override;
    void ownAction(const QString &key) override;
    void unload() override;
    bool event(QEvent *event) override;

private:
    void buildOwnParts();
    void bindGrid();
    void loadPicture();
    void showName();

    QComboBox *m_combo1;
    QLineEdit *m_text2;
    QLineEdit *m_text5;
    QLineEdit *m_sort;
    PictureBox *m_picture;
    QTableView *m_grid;
    SortedRecordModel *m_model;
    QPushButton *m_edit;
    DataFormWidget *m_commands;
    RecordBinder *m_hiddenBinder;
    bool m_refinding = false;
    bool m_skipActivation = false;
};

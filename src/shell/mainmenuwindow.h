#pragma once

#include <QMainWindow>

class QLabel;
class QPushButton;
class RecordSource;
class ReportEngine;

// first: the main menu. Opens every logbook by its button (which stays
// disabled while the logbook is open) and hosts the report engine's place.
//
// The report engine control CrystalReport1 and its record source Data1 are
// program-wide objects of the reports subsystem (they outlive any window);
// first only shows them to the windows that start reports.
class MainMenuWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainMenuWindow(QWidget *parent = nullptr);
    ~MainMenuWindow() override;

    static ReportEngine *CrystalReport1();
    static RecordSource *Data1();

    // The logbook window tied to each logbook button.
    static QString buttonForLogbook(const QString &logbook);
    static QString logbookForButton(const QString &button);


    static QString webAddress();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addSessionMenu();
    void openLogbook(QPushButton *button);
    void logbookOpened(const QString &logbook);
    void logbookClosed(const QString &logbook);
    QPushButton *addButton(const QString &name, const QString &caption);
    QLabel *m_label1;
    QLabel *m_label2;
    QLabel *m_image1;
};

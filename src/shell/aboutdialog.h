#pragma once

#include <QDialog>
#include <QString>

// frmAbout: the program's title, its version in three numbers, the credit
// lines and a button that starts the system's information program.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *parent = nullptr);

    // "Version " and major.minor.revision of the build; parts it lacks are 0.
    static QString versionText(const QString &version);
    static QString versionText();

private:
    void showSystemInfo();
};

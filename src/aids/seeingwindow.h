#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class RecordSource;
struct LogbookDeclaration;

// The seeing and transparency picker: both scales start at their first step,
// the arrows step through them without wrapping, "Add" pastes the two step
// numbers into the asking logbook's record and closes. The general picker
// (no logbook of its own) serves the logbook SeeingCaller names.
class SeeingWindow : public QDialog
{
    Q_OBJECT
public:
    SeeingWindow(const QString &name, const LogbookDeclaration *ownLogbook, QWidget *parent = nullptr);

    RecordSource *transparency() const { return m_data1; }
    RecordSource *seeing() const { return m_data2; }

    enum class Step { Back, Forward };
    void step(RecordSource *scale, Step direction);
    // "Add".
    void paste();

private:
    RecordSource *openScale(const QString &name, const QString &caption, const QString &sql);

    const LogbookDeclaration *m_ownLogbook;
    RecordSource *m_data1;
    RecordSource *m_data2;
};

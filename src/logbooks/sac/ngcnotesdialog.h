#pragma once

#include <QDialog>

class RecordSource;

// frm_ngc_notes ("NGC Notes"): the SAC browser's current object and its coded
// description above the legend of the NGC abbreviations.
class NgcNotesDialog : public QDialog
{
    Q_OBJECT
public:
    explicit NgcNotesDialog(QWidget *parent = nullptr);

    RecordSource *notes() const { return m_notes; }

protected:
    void done(int result) override;

private:
    RecordSource *m_notes;
};

#pragma once

#include <QDialog>

// ngc_examples ("Description Examples"): seven NGC descriptions decoded.
class NgcExamplesDialog : public QDialog
{
    Q_OBJECT
public:
    explicit NgcExamplesDialog(QWidget *parent = nullptr);

    // The text of Text1: the examples in three columns.
    static QString examplesText();
};

#pragma once

#include "search/searchsql.h"

#include <QWidget>

// search_options, "Retrieved": what to do with the criteria just retrieved:
// print them as a list or a worksheet, look at them on screen, or go back.
class SearchOptionsWindow : public QWidget
{
    Q_OBJECT
public:
    explicit SearchOptionsWindow(QWidget *parent = nullptr);

    // Completes Module1::Search for the print (with the description
    // abbreviations the criteria window shows now), builds its statement and
    // starts "sacsearch2.rpt" (the list) or "ngc_work.rpt" (the worksheet)
    // over it. Needs no output window: the preview's print request calls it
    // directly.
    static void print(SearchOutput output);
    static QString reportFile(SearchOutput output);

public slots:
    void printPreview();
    void worksheet();
    void screenPreview();

private:
    void printAndHide(SearchOutput output);
};

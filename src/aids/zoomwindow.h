#pragma once

#include <QDialog>

// `zoom` and `zoomngc`: the enlarged picture of the map code with a zoom.
class ZoomWindow : public QDialog
{
    Q_OBJECT
public:
    ZoomWindow(const QString &name, const QString &title, const QString &picture, QWidget *parent = nullptr);
};

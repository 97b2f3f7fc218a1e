#pragma once

#include <QDialog>

// The finder map windows: `maps` (a Messier object), `maps3` (a Best of the
// NGC object) and `maps2` (the circumpolar charts, for either logbook). Each
// shows the picture of MapCode and the object's data copied from the logbook
// that asked; it writes nothing back.
class MapWindow : public QDialog
{
    Q_OBJECT
public:
    enum class Kind { Messier, Shared, Ngc };
    explicit MapWindow(Kind kind, QWidget *parent = nullptr);

    Kind kind() const { return m_kind; }
    static QString windowName(Kind kind);

private:
    Kind m_kind;
};

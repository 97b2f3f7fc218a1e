#pragma once

#include <QDialog>

class QLabel;
class QPixmap;
class QPushButton;

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

    // The Map buttons: set MapCode and MapSource and show the window of the
    // object's map code; a number that no row lists opens nothing. True when
    // a window was shown.
    static bool ShowMessierMap(const QString &messierNumber);
    static bool ShowBestMap(const QString &designation);

    // Loads a picture into a picture box; a missing or unreadable file leaves
    // a notice in the box instead.
    static bool loadPicture(QLabel *box, const QString &file);
    // A picture, or its twice-sized drawing ("map/3012map@2x.gif" beside
    // "map/3012map.gif") when the screen's pixel ratio is 2 or more; null
    // when neither can be read.
    static QPixmap sharpPixmap(const QString &file, qreal ratio);
    static QString doubleSizeFile(const QString &file);

private:
    Kind m_kind;
};

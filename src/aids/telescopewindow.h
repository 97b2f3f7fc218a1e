#pragma once

#include "aids/telescope.h"
#include "aids/telescopesky.h"

#include <QWidget>

#include <memory>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class Store;
class TelescopeLink;

// "Telescope": where the mount points (of date and J2000, altitude and
// azimuth at the register's site) and the catalogue objects within the
// default eyepiece's field, nearest first; "Open" shows one in its logbook.
class TelescopeWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr const char *kWindowName = "frmtelescope";

    explicit TelescopeWindow(QWidget *parent = nullptr);
    ~TelescopeWindow() override;

    // Connects to the server and device the boxes name.
    void connectTelescope();
    // Opens the object of the list's row in its logbook; false when it could not.
    bool openRow(int row);
    int rowCount() const;

private:
    void showPointing(const Telescope::Pointing &p);

    TelescopeLink *m_link;
    std::shared_ptr<Store> m_store;
    Site m_site;
    double m_field = 1;
    std::vector<TelescopeSky::Object> m_objects;
    QLineEdit *m_server;
    QLineEdit *m_device;
    QLabel *m_status;
    QLabel *m_fieldTitle;
    QLabel *m_values[6];
    QTreeWidget *m_near;
    QPushButton *m_open;
};

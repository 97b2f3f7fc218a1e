#pragma once

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include <functional>
#include <map>
#include <utility>
#include <vector>

class QTcpSocket;

// A client of an INDI server over a plain socket: the server streams the
// properties of its devices as XML elements, the client sends new values.
// Both ways of use work on one object: the blocking calls (open, waitUntil)
// for the command line and a worker thread, the signals for an event loop.
class IndiClient : public QObject
{
    Q_OBJECT
public:
    // One property of a device, its members' values as the server wrote them.
    struct Vector
    {
        QString device;
        QString name;
        QString kind;  // Number, Switch, Text, Light or BLOB
        QString state; // Idle, Ok, Busy or Alert
        std::vector<std::pair<QString, QString>> members;

        QString value(const QString &member) const;
        double number(const QString &member, bool *ok = nullptr) const;
        bool isOn(const QString &member) const;
    };

    explicit IndiClient(QObject *parent = nullptr);
    ~IndiClient() override;

    void setServer(const QString &host, quint16 port);
    QString host() const { return m_host; }
    quint16 port() const { return m_port; }

    // Connects and asks for every property; false (error() says why) when the
    // server cannot be reached within `timeoutMs`.
    bool open(int timeoutMs);
    void close();
    bool isOpen() const;
    // Reads what the server sends until `done` holds; false when the time
    // runs out first or the connection is lost.
    bool waitUntil(const std::function<bool()> &done, int timeoutMs);
    // One line: the server and what failed.
    QString error() const { return m_error; }

    const Vector *vector(const QString &device, const QString &name) const;
    QStringList devices() const;
    // The devices that say they drive a mount, or that have its position.
    QStringList telescopes() const;

    void sendSwitch(const QString &device, const QString &name, const QString &onMember);
    void sendNumbers(const QString &device, const QString &name,
                     const std::vector<std::pair<QString, double>> &values);

    // "5.6", "5:36:00" or "5 36 00" as a number; false on anything else.
    static double parseNumber(const QString &text, bool *ok);

signals:
    void vectorChanged(const QString &device, const QString &name);
    void message(const QString &device, const QString &text);
    void lost(const QString &error);

private:
    void readAvailable();
    void parse();
    void startElement();
    void endElement();
    void send(const QByteArray &xml);
    void fail(const QString &what);

    QTcpSocket *m_socket;
    QString m_host = QStringLiteral("localhost");
    quint16 m_port = 7624;
    QString m_error;
    QXmlStreamReader m_xml;
    int m_depth = 0;
    Vector m_current;
    QString m_member;
    QString m_text;
    std::map<std::pair<QString, QString>, Vector> m_vectors;
};

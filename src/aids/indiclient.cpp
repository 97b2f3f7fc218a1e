#include "aids/indiclient.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QXmlStreamWriter>

#include <cmath>

namespace {

// The driver's interface bits: 1 is a telescope mount.
constexpr int kTelescopeInterface = 1;

} // namespace

QString IndiClient::Vector::value(const QString &member) const
{
    for (const auto &[name, text] : members)
        if (name == member)
            return text;
    return QString();
}

double IndiClient::Vector::number(const QString &member, bool *ok) const
{
    return parseNumber(value(member), ok);
}

bool IndiClient::Vector::isOn(const QString &member) const
{
    return value(member).compare(QLatin1String("On"), Qt::CaseInsensitive) == 0;
}

IndiClient::IndiClient(QObject *parent) : QObject(parent), m_socket(new QTcpSocket(this))
{
    connect(m_socket, &QTcpSocket::readyRead, this, &IndiClient::readAvailable);
    connect(m_socket, &QTcpSocket::disconnected, this, [this] {
        if (m_error.isEmpty())
            fail(QStringLiteral("the server closed the connection"));
        emit lost(m_error);
    });
}

IndiClient::~IndiClient() = default;

void IndiClient::setServer(const QString &host, quint16 port)
{
    m_host = host;
    m_port = port;
}

bool IndiClient::open(int timeoutMs)
{
    close();
    m_error.clear();
    m_vectors.clear();
    m_xml.clear();
    // The stream is a run of elements without a root: give it one.
    m_xml.addData(QByteArrayLiteral("<indi>"));
    m_depth = 0;
    m_socket->connectToHost(m_host, m_port);
    if (!m_socket->waitForConnected(timeoutMs)) {
        const auto why = m_socket->error();
        m_socket->abort();
        if (why == QAbstractSocket::ConnectionRefusedError)
            fail(QStringLiteral("connection refused (is indiserver running?)"));
        else if (why == QAbstractSocket::HostNotFoundError)
            fail(QStringLiteral("host not found"));
        else if (why == QAbstractSocket::SocketTimeoutError)
            fail(QStringLiteral("no answer within %1 s").arg(timeoutMs / 1000.0));
        else
            fail(m_socket->errorString());
        return false;
    }
    send(QByteArrayLiteral("<getProperties version=\"1.7\"/>\n"));
    return true;
}

void IndiClient::close()
{
    if (m_socket->state() == QAbstractSocket::UnconnectedState)
        return;
    const QSignalBlocker quiet(m_socket); // a closing asked for is no loss
    m_socket->abort();
}

bool IndiClient::isOpen() const
{
    return m_socket->state() == QAbstractSocket::ConnectedState;
}

bool IndiClient::waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (done())
            return true;
        if (!isOpen())
            return false;
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            return false;
        m_socket->waitForReadyRead(int(std::min<qint64>(left, 200)));
    }
}

const IndiClient::Vector *IndiClient::vector(const QString &device, const QString &name) const
{
    const auto it = m_vectors.find({device, name});
    return it == m_vectors.end() ? nullptr : &it->second;
}

QStringList IndiClient::devices() const
{
    QStringList out;
    for (const auto &[key, v] : m_vectors)
        if (!out.contains(key.first))
            out << key.first;
    return out;
}

QStringList IndiClient::telescopes() const
{
    QStringList out;
    for (const QString &device : devices()) {
        const Vector *info = vector(device, QStringLiteral("DRIVER_INFO"));
        const bool says = info && (info->value(QStringLiteral("DRIVER_INTERFACE")).toInt() & kTelescopeInterface);
        if (says || vector(device, QStringLiteral("EQUATORIAL_EOD_COORD")))
            out << device;
    }
    return out;
}

void IndiClient::sendSwitch(const QString &device, const QString &name, const QString &onMember)
{
    QByteArray xml;
    QXmlStreamWriter w(&xml);
    w.writeStartElement(QStringLiteral("newSwitchVector"));
    w.writeAttribute(QStringLiteral("device"), device);
    w.writeAttribute(QStringLiteral("name"), name);
    w.writeStartElement(QStringLiteral("oneSwitch"));
    w.writeAttribute(QStringLiteral("name"), onMember);
    w.writeCharacters(QStringLiteral("On"));
    w.writeEndElement();
    w.writeEndElement();
    send(xml + '\n');
}

void IndiClient::sendNumbers(const QString &device, const QString &name,
                             const std::vector<std::pair<QString, double>> &values)
{
    QByteArray xml;
    QXmlStreamWriter w(&xml);
    w.writeStartElement(QStringLiteral("newNumberVector"));
    w.writeAttribute(QStringLiteral("device"), device);
    w.writeAttribute(QStringLiteral("name"), name);
    for (const auto &[member, value] : values) {
        w.writeStartElement(QStringLiteral("oneNumber"));
        w.writeAttribute(QStringLiteral("name"), member);
        w.writeCharacters(QString::number(value, 'f', 8));
        w.writeEndElement();
    }
    w.writeEndElement();
    send(xml + '\n');
}

double IndiClient::parseNumber(const QString &text, bool *ok)
{
    bool good = false;
    double value = text.trimmed().toDouble(&good);
    if (!good) {
        // Drivers may write numbers sexagesimally: "-5:24:00", "5 36 0".
        const QStringList parts =
            text.trimmed().split(QRegularExpression(QStringLiteral("[:\\s]+")), Qt::SkipEmptyParts);
        if (parts.size() >= 2 && parts.size() <= 3) {
            const bool negative = parts.at(0).startsWith('-');
            double scale = 1;
            value = 0;
            good = true;
            for (const QString &p : parts) {
                bool partOk = false;
                value += std::abs(p.toDouble(&partOk)) / scale;
                good = good && partOk;
                scale *= 60;
            }
            if (negative)
                value = -value;
        }
    }
    if (ok)
        *ok = good;
    return good ? value : 0;
}

void IndiClient::readAvailable()
{
    m_xml.addData(m_socket->readAll());
    parse();
}

void IndiClient::parse()
{
    while (!m_xml.atEnd()) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::StartElement:
            startElement();
            break;
        case QXmlStreamReader::EndElement:
            endElement();
            break;
        case QXmlStreamReader::Characters:
            if (m_depth == 3)
                m_text += m_xml.text();
            break;
        default:
            break;
        }
    }
    if (m_xml.hasError() && m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
        fail(QStringLiteral("unreadable reply (%1)").arg(m_xml.errorString()));
        close();
        emit lost(m_error);
    }
}

void IndiClient::startElement()
{
    ++m_depth;
    const QXmlStreamAttributes a = m_xml.attributes();
    const QString tag = m_xml.name().toString();
    if (m_depth == 2) {
        const QString device = a.value(QLatin1String("device")).toString();
        const QString name = a.value(QLatin1String("name")).toString();
        m_current = Vector();
        if ((tag.startsWith(QLatin1String("def")) || tag.startsWith(QLatin1String("set")))
            && tag.endsWith(QLatin1String("Vector"))) {
            // A set names only the members that changed.
            if (const Vector *known = vector(device, name); known && tag.startsWith(QLatin1String("set")))
                m_current = *known;
            m_current.device = device;
            m_current.name = name;
            m_current.kind = tag.mid(3, tag.size() - 9);
            if (a.hasAttribute(QLatin1String("state")))
                m_current.state = a.value(QLatin1String("state")).toString();
        } else if (tag == QLatin1String("delProperty")) {
            for (auto it = m_vectors.begin(); it != m_vectors.end();)
                it = it->first.first == device && (name.isEmpty() || it->first.second == name) ? m_vectors.erase(it)
                                                                                              : std::next(it);
        }
        if (a.hasAttribute(QLatin1String("message")))
            emit message(device, a.value(QLatin1String("message")).toString());
    } else if (m_depth == 3) {
        m_member = a.value(QLatin1String("name")).toString();
        m_text.clear();
    }
}

void IndiClient::endElement()
{
    if (m_depth == 3 && !m_current.name.isEmpty() && m_current.kind != QLatin1String("BLOB")) {
        const QString value = m_text.trimmed();
        bool found = false;
        for (auto &[name, text] : m_current.members)
            if (name == m_member) {
                text = value;
                found = true;
            }
        if (!found)
            m_current.members.emplace_back(m_member, value);
    } else if (m_depth == 2 && !m_current.name.isEmpty()) {
        const std::pair<QString, QString> key{m_current.device, m_current.name};
        m_vectors[key] = m_current;
        m_current = Vector();
        emit vectorChanged(key.first, key.second);
    }
    --m_depth;
}

void IndiClient::send(const QByteArray &xml)
{
    if (!isOpen())
        return;
    m_socket->write(xml);
    m_socket->flush();
}

void IndiClient::fail(const QString &what)
{
    m_error = QStringLiteral("INDI server %1:%2: %3.").arg(m_host).arg(m_port).arg(what);
}

#include "Traffic.h"

#include "PbxMessages.h"
#include "PbxModel.h"

#include <cmath>

namespace pbxsim {

TrafficGenerator::TrafficGenerator(PbxModel &model)
    : m_model(model)
    , m_timer(model.scheduler())
{
}

void TrafficGenerator::setRate(double eventsPerSecond)
{
    m_rate = qMax(0.0, eventsPerSecond);
    m_timer.stop();
    if (m_rate > 0)
        schedule();
}

void TrafficGenerator::schedule()
{
    // Exponential gaps give a Poisson stream of events at the mean rate.
    const double u = qMax(1e-9, 1.0 - m_model.random().generateDouble());
    const qint64 ms = qMax<qint64>(1, qint64(-std::log(u) * 1000.0 / m_rate));
    m_timer.start(ms, [this] {
        step();
        schedule();
    });
}

void TrafficGenerator::step()
{
    ++m_events;
    QRandomGenerator &rng = m_model.random();
    const auto pick = [&rng](const QList<int> &from) { return from.isEmpty() ? -1 : from.at(int(rng.bounded(int(from.size())))); };
    const QList<int> idle = m_model.idleStations();
    const int n = int(rng.bounded(100));
    if (n < 25) {
        const int a = pick(idle);
        const int b = pick(idle);
        if (a >= 0 && b >= 0 && a != b)
            m_model.stationCall(a, b);
    } else if (n < 45) {
        const int a = pick(idle);
        if (a >= 0)
            m_model.stationOutgoing(a, -1);
    } else if (n < 60) {
        const int l = pick(m_model.idleLines());
        if (l >= 0) {
            const QString digits = QStringLiteral("0%1").arg(rng.bounded(1000000, 99999999));
            m_model.coRing(l, 1, digits);
        }
    } else if (n < 66) {
        const int a = pick(idle);
        if (a >= 0)
            m_model.icmRing(a);
    } else if (n < 74) {
        const int a = pick(m_model.stationsInState(Status::ExtCol));
        if (a >= 0)
            m_model.stationHold(a);
    } else if (n < 80) {
        const int a = pick(m_model.stationsInState(Status::ExtCol));
        if (a >= 0)
            m_model.stationTransferToAttendant(a);
    } else if (n < 88) {
        const int a = pick(idle);
        if (a >= 0)
            m_model.setStationDnd(a, true);
        const int b = pick(m_model.stationsInState(Status::ExtIdleDnd));
        if (b >= 0 && rng.bounded(2))
            m_model.setStationDnd(b, false);
    } else if (n < 94) {
        const int l = pick(m_model.linesRingingAtAttendant());
        if (l >= 0)
            m_model.coRingEnd(l);
    } else {
        const int a = pick(m_model.stationsInState(Status::ExtIcm));
        if (a >= 0 && m_model.station(a).peer.kind != PbxModel::Party::Attendant)
            m_model.hangUp(a);
    }
}

} // namespace pbxsim
